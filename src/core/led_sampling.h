// Reading an LED picture at a cell position, turned by a whole-degree angle about the
// LED's rotation centre, with bilinear interpolation. The renderer, its sample tables
// and the render-window preview all read LED pictures through this one function, so
// that every path gives the same bytes.
#pragma once

#include "core/led_image.h"

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
