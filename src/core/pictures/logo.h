// The logo: a small picture laid out as dots instead of text, its file name and
// whether it is in use, with the rectangle it is shown in on the Logo page.
#pragma once

#include "core/pictures/decoded_picture.h"
#include "core/pictures/led_image_set.h"
#include "core/pictures/picture.h"

#include <string>

namespace lumexa
{

inline constexpr int kMaxLogoSize = 512;
inline constexpr int kStringLogoTooLarge = 44;

struct Logo {
    Picture picture;      // laid over white, where the page shows through transparent pixels
    std::string fileName; // the last file accepted as logo
    bool loaded = false;  // the layout uses the logo only while this is true
};

// Loads `file` as logo. Up to 512 x 512 is accepted. A larger picture replaces the
// picture but clears `loaded` (language string 44) and keeps the former file name; a
// file that cannot be decoded, or decodes to nothing, leaves the logo as it was.
LoadOutcome LoadLogoFile(Logo& logo, const std::string& file, const PictureLoader& load);

// Right and bottom are exclusive.
struct Rect {
    int left = 0, top = 0, right = 0, bottom = 0;
    friend bool operator==(const Rect&, const Rect&) = default;
};

// Where a logo of logoW x logoH is drawn in a box of boxW x boxH: shrunk to fit, never
// enlarged, keeping its proportions, centred.
Rect ShowLogoRect(int boxW, int boxH, int logoW, int logoH);

} // namespace lumexa
