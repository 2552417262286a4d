// Corner mending and background composition of decoded pictures.
#include "core/pictures/picture_pipeline.h"

#include <cstddef>

namespace lumexa
{

void FixCornerPixel(Picture& picture)
{
    const int w = picture.width();
    const Rgb a = picture.pixel(w - 2, 0);
    const Rgb b = picture.pixel(w - 2, 1);
    const Rgb c = picture.pixel(w - 1, 1);
    const auto mean = [](int x, int y, int z) { return static_cast<uint8_t>((x + y + z) / 3); };
    picture.setPixel(w - 1, 0, {mean(a.r, b.r, c.r), mean(a.g, b.g, c.g), mean(a.b, b.b, c.b)});
}

Picture DecodedToPicture(const DecodedPicture& decoded, Rgb background)
{
    const int w = decoded.width;
    const int h = decoded.height;
    if (w <= 0 || h <= 0 ||
        decoded.rgba.size() < static_cast<size_t>(w) * static_cast<size_t>(h) * 4)
        return {};

    Picture picture(w, h);
    for (int y = 0; y < h; ++y) {
        const uint8_t* src = decoded.rgba.data() + static_cast<size_t>(y) * w * 4;
        uint8_t* dst = picture.row(y);
        for (int x = 0; x < w; ++x, src += 4, dst += 3) {
            dst[0] = src[2];
            dst[1] = src[1];
            dst[2] = src[0];
        }
    }
    // The corner is mended on the stored colours, before any opacity is applied.
    FixCornerPixel(picture);

    const auto over = [](int c, int a, int b) {
        return static_cast<uint8_t>((c * a + b * (255 - a) + 127) / 255);
    };
    for (int y = 0; y < h; ++y) {
        const uint8_t* src = decoded.rgba.data() + static_cast<size_t>(y) * w * 4;
        uint8_t* dst = picture.row(y);
        for (int x = 0; x < w; ++x, src += 4, dst += 3) {
            const int a = src[3];
            if (a == 255)
                continue;
            dst[0] = over(dst[0], a, background.b);
            dst[1] = over(dst[1], a, background.g);
            dst[2] = over(dst[2], a, background.r);
        }
    }
    return picture;
}

} // namespace lumexa
