// LED image records.
#include "core/pictures/led_image.h"

#include <cmath>

namespace lumexa
{

void BuildRotationTables(LedImage& led)
{
    for (int i = 0; i < 360; ++i) {
        const double angle = i * 3.14 * (1.0 / 180);
        led.sinTable[static_cast<size_t>(i)] = static_cast<float>(std::sin(angle));
        led.cosTable[static_cast<size_t>(i)] = static_cast<float>(std::cos(angle));
    }
}

LedImage MakeLedImage(Picture picture, int number, std::string fileName)
{
    LedImage led;
    led.width = picture.width();
    led.height = picture.height();
    led.number = number;
    led.picture = std::move(picture);
    led.fileName = std::move(fileName);
    led.halfWidth = led.width / 2;
    led.halfHeight = led.height / 2;
    BuildRotationTables(led);
    return led;
}

} // namespace lumexa
