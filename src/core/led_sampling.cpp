// Bilinear sampling of LED pictures.
#include "core/led_sampling.h"

#include <cmath>

namespace lumexa
{

std::optional<LedSample> SampleLedPicture(const LedImage& led, const Picture& picture, int u, int v,
                                          int angle)
{
    if (angle < 0 || angle > 359)
        angle = 0;
    const float c = led.cosTable[static_cast<size_t>(angle)];
    const float s = led.sinTable[static_cast<size_t>(angle)];
    const float du = static_cast<float>(u - led.halfWidth);
    const float dv = static_cast<float>(v - led.halfHeight);
    const double X = static_cast<double>(c) * du - static_cast<double>(s) * dv + led.halfWidth;
    const double Y = static_cast<double>(s) * du + static_cast<double>(c) * dv + led.halfHeight;

    const int width = led.picture.width();
    const int height = led.picture.height();
    // Compare before converting, so that a far-away position cannot overflow the int.
    const double fX = std::floor(X);
    const double fY = std::floor(Y);
    if (!(fX >= 0 && fX < width && fY >= 0 && fY < height))
        return std::nullopt;
    const int ix = static_cast<int>(fX);
    const int iy = static_cast<int>(fY);
    // An alpha picture smaller than the LED picture would be read past its end.
    if (picture.width() < width || picture.height() < height)
        return std::nullopt;

    const double fx = X - ix;
    const double fy = Y - iy;
    const double w00 = (1 - fx) * (1 - fy);
    const double w10 = fx * (1 - fy);
    const double w11 = fx * fy;
    const double w01 = (1 - fx) * fy;

    const int lowerRow = iy == height - 1 ? iy : iy + 1;
    const int nextColumn = ix == width - 1 ? 0 : 3; // byte offset of pixel ix + 1
    const uint8_t* upper = picture.row(iy) + static_cast<size_t>(ix) * 3;
    const uint8_t* lower = picture.row(lowerRow) + static_cast<size_t>(ix) * 3;

    uint8_t out[3];
    for (int k = 0; k < 3; ++k) {
        const double p00 = upper[k];
        const double p10 = upper[nextColumn + k];
        const double p01 = lower[k];
        const double p11 = lower[nextColumn + k];
        out[k] =
            static_cast<uint8_t>(static_cast<int>(p00 * w00 + p10 * w10 + p11 * w11 + p01 * w01));
    }
    return LedSample{out[0], out[1], out[2]};
}

} // namespace lumexa
