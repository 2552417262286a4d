// A rectangle of result pixels: where a region, a tile or a view lies in the full-size
// result, counted from its top-left pixel.
#pragma once

#include <algorithm>

namespace lumexa
{

struct PixelRect {
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;

    bool empty() const { return width <= 0 || height <= 0; }
    int right() const { return x + width; }   // one past the last column
    int bottom() const { return y + height; } // one past the last row

    // The part of this rectangle that lies within `other` (empty when they do not meet).
    PixelRect intersected(const PixelRect& other) const
    {
        const int left = std::max(x, other.x);
        const int top = std::max(y, other.y);
        const int r = std::min(right(), other.right());
        const int b = std::min(bottom(), other.bottom());
        if (r <= left || b <= top)
            return {left, top, 0, 0};
        return {left, top, r - left, b - top};
    }

    bool operator==(const PixelRect&) const = default;
};

} // namespace lumexa
