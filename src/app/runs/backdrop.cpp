// The backdrops under transparent pixels.
#include "app/runs/backdrop.h"

namespace lumexa
{

namespace
{

// Two mid greys, apart from black and from the dark panel of unlit LEDs.
constexpr int kCheckerLight = 0xB4;
constexpr int kCheckerDark = 0x80;

int over(int value, int coverage, int under)
{
    return (value * coverage + under * (255 - coverage) + 127) / 255;
}

} // namespace

QRgb BackdropAt(Backdrop backdrop, int x, int y)
{
    if (backdrop == Backdrop::Paper)
        return qRgb(255, 255, 255);
    const int g = ((x / kCheckerSquare + y / kCheckerSquare) & 1) ? kCheckerDark : kCheckerLight;
    return qRgb(g, g, g);
}

QRgb OverBackdrop(const uint8_t* rgba, QRgb under)
{
    const int c = rgba[3];
    return qRgb(over(rgba[0], c, qRed(under)), over(rgba[1], c, qGreen(under)),
                over(rgba[2], c, qBlue(under)));
}

} // namespace lumexa
