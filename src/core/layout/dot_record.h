// One dot of a layout: where its LED picture goes, which picture, how it is turned,
// and the bounding square of the circle through the cell's corners; and the compact form
// the render keeps of it.
#pragma once

#include <cstdint>
#include <vector>

namespace lumexa
{

struct TDotRecord {
    int32_t x = 0;        // left edge of the LED picture in output pixels
    int32_t y = 0;        // top edge
    int32_t width = 0;    // cell width
    int32_t height = 0;   // cell height
    int32_t kind = 0;     // 0 background LED, 1.. lit LED image, -1..-3 built-in picture
    int32_t rotation = 0; // whole degrees
    float left = 0;       // bounding square, whole numbers held in floats
    float top = 0;
    float right = 0;
    float bottom = 0;

    friend bool operator==(const TDotRecord&, const TDotRecord&) = default;
};
static_assert(sizeof(TDotRecord) == 40, "a dot record is 40 bytes");

// The dot list grows with the work; there is no fixed capacity.
using DotList = std::vector<TDotRecord>;

// A dot of the render layout. Every dot of a render has the cell's size, so the size and
// the bounding square follow from the position, the cell and the result's size
// (BoundingSquareOf in dot_grid.h) and are not stored: a long text has millions of dots.
struct RenderDot {
    int32_t x = 0;        // left edge of the LED picture, inside the result
    int32_t y = 0;        // top edge
    int32_t kind = 0;     // LED image number
    int32_t rotation = 0; // whole degrees

    friend bool operator==(const RenderDot&, const RenderDot&) = default;
};
// A layout keeps its render dots packed (RenderDotList in render_dot_list.h).

// A candidate point of the Points scatter, in output pixels.
struct TScatterPoint {
    int32_t x = 0;
    int32_t y = 0;
};

} // namespace lumexa
