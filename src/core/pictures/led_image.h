// An LED image: one LED picture with its optional alpha picture and the tables the
// renderer turns it with. All LED images of a set have the size of LED image 0.
#pragma once

#include "core/pictures/picture.h"

#include <array>
#include <string>

namespace lumexa
{

inline constexpr int kMaxLedSize = 512;

struct LedImage {
    int width = 0;
    int height = 0;
    int number = 0;            // the slot that holds it
    Picture picture;           // the LED laid over black
    Picture alphaPicture;      // empty until an alpha file is given; blue is the opacity
    std::string fileName;      // full path of the LED file
    std::string alphaFileName; // full path of the alpha file, empty when none
    bool alphaInUse = false;   // Add Alpha sets it, Clear Alpha clears it
    bool selected = false;     // the strip panel is lowered
    std::array<float, 360> sinTable{};
    std::array<float, 360> cosTable{};
    int halfWidth = 0; // rotation centre
    int halfHeight = 0;
};

// Fills sinTable and cosTable with the angle step 3.14 / 180 (not pi / 180).
void BuildRotationTables(LedImage& led);
// A record for `picture` (already laid over black): sizes, rotation tables, centre.
LedImage MakeLedImage(Picture picture, int number, std::string fileName);

} // namespace lumexa
