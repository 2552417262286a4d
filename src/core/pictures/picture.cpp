// The in-memory 24-bit picture.
#include "core/pictures/picture.h"

namespace lumexa
{

Picture::Picture(int width, int height, Rgb fillColour)
    : width_(width > 0 ? width : 0), height_(height > 0 ? height : 0),
      data_(static_cast<size_t>(width_) * static_cast<size_t>(height_) * 3)
{
    fill(fillColour);
}

Rgb Picture::pixel(int x, int y) const
{
    if (!inside(x, y))
        return {255, 255, 255};
    const uint8_t* p = row(y) + static_cast<size_t>(x) * 3;
    return {p[2], p[1], p[0]};
}

void Picture::setPixel(int x, int y, Rgb c)
{
    if (!inside(x, y))
        return;
    uint8_t* p = row(y) + static_cast<size_t>(x) * 3;
    p[0] = c.b;
    p[1] = c.g;
    p[2] = c.r;
}

void Picture::fill(Rgb c)
{
    for (size_t i = 0; i + 2 < data_.size(); i += 3) {
        data_[i] = c.b;
        data_[i + 1] = c.g;
        data_[i + 2] = c.r;
    }
}

} // namespace lumexa
