// Reading an LED picture at a cell position, turned by a whole-degree angle about the
// LED's rotation centre, with bilinear interpolation. The renderer, its sample tables
// and the render-window preview all read LED pictures through this one function, so
// that every path gives the same bytes.
#pragma once

#include "core/pictures/led_image.h"

#include <cstddef>
#include <cstdint>
#include <optional>

namespace lumexa
{

// Blue, green and red, as stored in the picture.
struct LedSample {
    uint8_t blue = 0;
    uint8_t green = 0;
    uint8_t red = 0;
    friend bool operator==(const LedSample&, const LedSample&) = default;
};

// Where cell position (u, v) turned by `angle` falls in an LED picture: the pixel (ix, iy)
// and the fractions towards the next column and row.
struct LedSamplePoint {
    int ix = 0;
    int iy = 0;
    double fx = 0;
    double fy = 0;
};

// The position of the sample, or nothing when it falls outside led.picture.
inline std::optional<LedSamplePoint> LocateLedSample(const LedImage& led, int u, int v, int angle)
{
    if (angle < 0 || angle > 359)
        angle = 0;
    const float c = led.cosTable[static_cast<size_t>(angle)];
    const float s = led.sinTable[static_cast<size_t>(angle)];
    const float du = static_cast<float>(u - led.halfWidth);
    const float dv = static_cast<float>(v - led.halfHeight);
    const double X = static_cast<double>(c) * du - static_cast<double>(s) * dv + led.halfWidth;
    const double Y = static_cast<double>(s) * du + static_cast<double>(c) * dv + led.halfHeight;
    // floor(X) lies in 0..width - 1 exactly when X lies in [0, width); comparing X itself needs
    // no floor and cannot overflow an int. Inside, floor is the truncation.
    if (!(X >= 0 && X < led.picture.width() && Y >= 0 && Y < led.picture.height()))
        return std::nullopt;
    const int ix = static_cast<int>(X);
    const int iy = static_cast<int>(Y);
    return LedSamplePoint{ix, iy, X - ix, Y - iy};
}

// The bilinear weights of the pixels around `point`: (ix, iy), (ix + 1, iy), (ix + 1, iy + 1)
// and (ix, iy + 1).
struct LedSampleWeights {
    double w00 = 0;
    double w10 = 0;
    double w11 = 0;
    double w01 = 0;
};

inline LedSampleWeights WeightsAt(const LedSamplePoint& point)
{
    const double fx = point.fx;
    const double fy = point.fy;
    return {(1 - fx) * (1 - fy), fx * (1 - fy), fx * fy, (1 - fx) * fy};
}

// The bilinear value at `point` of `picture`, which holds at least led.picture's size; the
// last column and row stand in for the ones past them.
inline LedSample InterpolateLedSample(const LedImage& led, const Picture& picture,
                                      const LedSamplePoint& point)
{
    const LedSampleWeights w = WeightsAt(point);
    const int lowerRow = point.iy == led.picture.height() - 1 ? point.iy : point.iy + 1;
    const int nextColumn = point.ix == led.picture.width() - 1 ? 0 : 3; // bytes to pixel ix + 1
    const uint8_t* upper = picture.row(point.iy) + static_cast<size_t>(point.ix) * 3;
    const uint8_t* lower = picture.row(lowerRow) + static_cast<size_t>(point.ix) * 3;
    // The three channels written out, so that their independent sums can overlap.
    auto channel = [&](int k) {
        const double p00 = upper[k];
        const double p10 = upper[nextColumn + k];
        const double p01 = lower[k];
        const double p11 = lower[nextColumn + k];
        return static_cast<uint8_t>(
            static_cast<int>(p00 * w.w00 + p10 * w.w10 + p11 * w.w11 + p01 * w.w01));
    };
    const uint8_t blue = channel(0);
    const uint8_t green = channel(1);
    const uint8_t red = channel(2);
    return LedSample{blue, green, red};
}

// Samples `picture` (the LED's picture or its alpha picture) at cell position (u, v)
// turned by `angle` degrees; an angle outside 0..359 counts as 0. The bounds are those of
// led.picture for both pictures. No sample where the position falls outside, and none
// where `picture` is too small to hold the pixels that would be read.
std::optional<LedSample> SampleLedPicture(const LedImage& led, const Picture& picture, int u, int v,
                                          int angle);

// The opacity factor of the mask step: m x 0.00392 kept as a 32-bit float (deliberately not
// 1/255, so that alpha 255 over black gives 254).
inline float MaskFactor(int m)
{
    return static_cast<float>(m * 0.00392);
}

} // namespace lumexa
