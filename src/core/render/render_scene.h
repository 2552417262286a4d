// What the dot renderer composes: the dots and the background cells of a render layout,
// the LED images they name, the result size and the render window's options.
#pragma once

#include "core/layout/dot_grid.h"
#include "core/layout/render_dot_list.h"
#include "core/pictures/led_image.h"

#include <vector>

namespace lumexa
{

struct RenderOptions {
    bool background = true; // "background" checked (and enabled)
    bool useMask = false;   // "use mask" checked and enabled
    bool additive = false;  // "additive mask" checked
    bool rotate = false;    // "rotate bitmaps" checked
    // Every pixel a background cell covers gets coverage 255 (only with `background`).
    bool opaqueBackground = false;
};

// Paper has no transparency: a page shows the unlit LEDs wherever the background is drawn,
// whatever the choice for picture files.
inline RenderOptions PrintedOptions(RenderOptions options)
{
    options.opaqueBackground = true;
    return options;
}

struct RenderScene {
    std::vector<const LedImage*> leds; // LED image n at index n; all of LED image 0's size
    RenderDotList dots;                // drawing order, all of the cell's size
    // The grid the dots were laid out on; it fills the result from its top-left corner.
    int columns = 0;
    int rows = 0;
    CellSize cell;
    bool backgroundCells = false; // one background cell per grid cell (RenderLayout)
    int width = 0;                // W
    int height = 0;               // H
    RenderOptions options;
};

} // namespace lumexa
