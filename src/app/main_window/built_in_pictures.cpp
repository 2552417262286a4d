// Drawing of the built-in dot pictures. They are made pixel by pixel so that every build
// gives the same bytes, whatever the platform's antialiasing does.
#include "app/main_window/built_in_pictures.h"

#include <array>
#include <cmath>

namespace lumexa
{

namespace
{

QImage blank()
{
    QImage image(kBuiltInPictureSize, kBuiltInPictureSize, QImage::Format_RGB888);
    image.fill(Qt::white);
    return image;
}

QImage flatSquare()
{
    QImage image = blank();
    for (int y = 0; y < 15; ++y)
        for (int x = 0; x < 15; ++x)
            image.setPixelColor(x, y, Qt::black);
    return image;
}

QImage bevelledButton()
{
    // A 15 x 15 button: light top-left edge, dark bottom-right edge, grey face; the right
    // column and bottom row stay white so the background stays white as for Flat.
    QImage image = blank();
    for (int y = 0; y < 15; ++y) {
        for (int x = 0; x < 15; ++x) {
            QColor c(160, 160, 160);
            const int edge = std::min({x, y, 14 - x, 14 - y});
            if (edge < 2)
                c = (x + y < 14) ? QColor(224, 224, 224) : QColor(64, 64, 64);
            if (edge == 0 && (x == 14 || y == 14))
                c = QColor(32, 32, 32);
            image.setPixelColor(x, y, c);
        }
    }
    return image;
}

QImage shadedDot()
{
    // A round dot lit from the top left: grey falling from light to dark with the
    // distance from the highlight, on white.
    QImage image = blank();
    const double cx = 7.5, cy = 7.5, radius = 7.0;
    for (int y = 0; y < 16; ++y) {
        for (int x = 0; x < 16; ++x) {
            const double dx = x + 0.5 - cx, dy = y + 0.5 - cy;
            if (dx * dx + dy * dy > radius * radius)
                continue;
            const double hx = x + 0.5 - 5.0, hy = y + 0.5 - 5.0;
            const double d = std::sqrt(hx * hx + hy * hy) / 12.0;
            const int grey = 200 - static_cast<int>(std::min(1.0, d) * 140.0);
            image.setPixelColor(x, y, QColor(grey, grey, grey));
        }
    }
    return image;
}

QImage scatteredSquares()
{
    QImage image(kBuiltInPictureSize, kBuiltInPictureSize, QImage::Format_RGB888);
    image.fill(Qt::black);
    constexpr std::array<std::array<int, 2>, 6> squares{
        {{2, 2}, {10, 3}, {6, 7}, {12, 10}, {3, 12}, {9, 13}}};
    for (const auto& s : squares)
        for (int y = 0; y < 2; ++y)
            for (int x = 0; x < 2; ++x)
                image.setPixelColor(s[0] + x, s[1] + y, Qt::white);
    return image;
}

} // namespace

QImage BuiltInPicture(int index)
{
    switch (index) {
    case 0:
        return flatSquare();
    case 1:
        return bevelledButton();
    case 2:
        return shadedDot();
    case 3:
        return scatteredSquares();
    default:
        return {};
    }
}

QColor PreviewBackground(int style)
{
    const QImage picture = BuiltInPicture(style - 1);
    if (picture.isNull())
        return Qt::white;
    return picture.pixelColor(0, kBuiltInPictureSize - 1);
}

} // namespace lumexa
