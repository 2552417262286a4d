// Drawing of the preview. Every record's picture is the same Scale x Scale square for a
// given kind, so the squares are stretched once per kind and then only copied.
#include "app/main_window/preview_painter.h"

#include "app/main_window/built_in_pictures.h"

#include <QPainter>

#include <map>

namespace lumexa
{

int PreviewScrollMaximum(int outputWidth, int scale, int cellWidth, int boxWidth, int minimum)
{
    const int maximum = (cellWidth > 0 ? outputWidth * scale / cellWidth : 0) - boxWidth;
    return maximum < minimum ? minimum + 1 : maximum;
}

int PreviewVerticalOffset(int boxHeight, int rows, int scale)
{
    return boxHeight / 2 - rows * scale / 2;
}

namespace
{

// White outline and diagonals on black; black is then made transparent so that only
// the white lines show over the canvas.
QImage pointsMarker(int scale)
{
    QImage cell(scale, scale, QImage::Format_ARGB32);
    cell.fill(Qt::transparent);
    QPainter p(&cell);
    p.setPen(Qt::white);
    p.drawRect(0, 0, scale - 1, scale - 1);
    p.drawLine(0, 0, scale - 1, scale - 1);
    p.drawLine(0, scale - 1, scale - 1, 0);
    return cell;
}

QImage stretched(const QImage& source, int scale)
{
    return source.scaled(scale, scale); // stretched, nearest pixel
}

// The LED picture over red: a picture that does not cover its square leaves red.
QImage ledSquare(const QImage& led, int scale)
{
    QImage cell(scale, scale, QImage::Format_RGB888);
    cell.fill(QColor(255, 0, 0));
    if (!led.isNull()) {
        QPainter p(&cell);
        p.drawImage(0, 0, stretched(led, scale));
    }
    return cell;
}

} // namespace

QImage PaintPreview(const PreviewScene& scene)
{
    QImage canvas(scene.box.expandedTo(QSize(1, 1)), QImage::Format_RGB888);
    canvas.fill(PreviewBackground(scene.style));
    if (!scene.dots || scene.cellWidth <= 0 || scene.scale <= 0)
        return canvas;

    const int scale = scene.scale;
    const int offset = PreviewVerticalOffset(scene.box.height(), scene.rows, scale);
    const bool withLeds = scene.ledCount >= 2;
    QImage marker;
    if (scene.style == 4 && !withLeds)
        marker = pointsMarker(scale);

    std::map<int, QImage> squares;
    auto squareFor = [&](int kind) -> const QImage* {
        auto found = squares.find(kind);
        if (found != squares.end())
            return &found->second;
        QImage square;
        if (kind < 0)
            square = stretched(BuiltInPicture(-kind - 1), scale);
        else if (withLeds && kind < static_cast<int>(scene.ledPictures.size()))
            square = ledSquare(scene.ledPictures[static_cast<size_t>(kind)], scale);
        else if (withLeds)
            square = ledSquare(QImage(), scale);
        else
            square = marker;
        return &squares.emplace(kind, std::move(square)).first->second;
    };

    QPainter p(&canvas);
    for (const TDotRecord& dot : *scene.dots) {
        const QImage* square = squareFor(dot.kind);
        if (!square || square->isNull())
            continue;
        const int left = dot.x * scale / scene.cellWidth - scene.scrollOffset;
        const int top = dot.y * scale / scene.cellWidth + offset;
        p.drawImage(left, top, *square);
    }
    return canvas;
}

} // namespace lumexa
