// Reading a result back through GraphicsMagick.
#include "support/picture_pixels.h"

#include <Magick++.h>

namespace lumexa::testing
{

Pixels ReadPixels(const std::filesystem::path& file)
{
    Magick::Image image;
    image.read(file.string());
    Pixels p{static_cast<int>(image.columns()), static_cast<int>(image.rows()), {}};
    p.rgba.resize(static_cast<size_t>(p.width) * p.height * 4);
    image.write(0, 0, image.columns(), image.rows(), "RGBA", Magick::CharPixel, p.rgba.data());
    return p;
}

} // namespace lumexa::testing
