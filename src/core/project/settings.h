// The project settings: every value a project file keeps, with its range and default.
// Scroll-bar values behave as scroll bars do: a position is clamped into the current
// range, and a new range moves the position into it.
#pragma once

#include "core/project/background_opacity.h"
#include "core/project/compression.h"
#include <string>

namespace lumexa
{

class ScrollSetting
{
  public:
    constexpr ScrollSetting(int min, int max, int position)
        : min_(min), max_(max), position_(position < min ? min : (position > max ? max : position))
    {
    }

    int min() const { return min_; }
    int max() const { return max_; }
    int position() const { return position_; }

    void setPosition(int position);
    // Sets the range and moves the position into it. A range whose minimum lies above
    // its maximum is refused with an error, and nothing changes.
    void setRange(int min, int max);

    friend bool operator==(const ScrollSetting&, const ScrollSetting&) = default;

  private:
    int min_, max_, position_;
};

// Preview styles, numbered as the style buttons.
enum Style { kFlat = 1, kButton, kDot, kPoints, kRandom, kPreview, kBitmap };

// The render types of the render window.
enum RenderType { kRandomPoints = 0, kRandomBitmaps = 1, kFullRender = 2 };

// The print resolution of new projects and of projects saved before it was kept.
inline constexpr int kDefaultPrintDpi = 300;
inline constexpr int kMaxPrintDpi = 100000;

struct ProjectSettings {
    ScrollSetting scale{2, 16, 5};        // preview cell size in screen pixels
    ScrollSetting fontSize{6, 32, 20};    // font height in pixels
    ScrollSetting brightnes{0, 255, 128}; // darkness threshold
    ScrollSetting density{1, 30, 10};     // Points density
    ScrollSetting shufle{0, 200, 0};      // random displacement in percent
    ScrollSetting kerning{0, 10, 0};      // extra pixels after every character
    ScrollSetting logoSize{1, 10, 10};    // logo scale in tenths

    std::string text = "1234567890";   // the text with LED tags, UTF-8
    std::string fontName;              // the selected font face
    std::string seedText = "25071971"; // the seed field as typed
    bool logoInvert = false;           // the "Negative" box
    int activePage = 0;                // 0 Text, 1 Logo
    int previewButton = kFlat;         // style number 1..7

    // Render window options.
    bool useMaskEnabled = true;
    bool useMaskChecked = false;
    bool useAddEnabled = true;
    bool useAddChecked = false;
    bool useBackground = true;
    // What the background cells' pixels hold in Targa, PNG and TIFF files; print (the
    // print-shop PDF and posters) shows the unlit LEDs whenever the background is on.
    BackgroundOpacity backgroundOpacity = BackgroundOpacity::Transparent;
    bool rotateBitmaps = false;
    int renderType = kFullRender;
    // Pixels per inch when the result is printed: its physical size.
    int printDpi = kDefaultPrintDpi;
    Compression compression = Compression::Fast; // of PNG and TIFF results

    // "use mask" and "additive mask" exclude each other: checking one unchecks the other.
    void setUseMaskChecked(bool checked);
    void setUseAddChecked(bool checked);

    friend bool operator==(const ProjectSettings&, const ProjectSettings&) = default;
};

} // namespace lumexa
