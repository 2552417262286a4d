// Bilinear sampling of LED pictures.
#include "core/render/led_sampling.h"

namespace lumexa
{

std::optional<LedSample> SampleLedPicture(const LedImage& led, const Picture& picture, int u, int v,
                                          int angle)
{
    const std::optional<LedSamplePoint> point = LocateLedSample(led, u, v, angle);
    if (!point)
        return std::nullopt;
    // An alpha picture smaller than the LED picture would be read past its end.
    if (picture.width() < led.picture.width() || picture.height() < led.picture.height())
        return std::nullopt;
    return InterpolateLedSample(led, picture, *point);
}

} // namespace lumexa
