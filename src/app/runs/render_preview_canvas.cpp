// The preview picture shared between a run's thread and the window.
#include "app/runs/render_preview_canvas.h"

#include "core/view/reduced_view.h"

#include <algorithm>

namespace lumexa
{

PreviewPlacement PlacePreview(int resultWidth, int resultHeight, int areaWidth, int areaHeight)
{
    PreviewPlacement p;
    areaWidth = std::max(areaWidth, 1);
    areaHeight = std::max(areaHeight, 1);
    p.factor = std::max(
        {1, ReducedLength(resultWidth, areaWidth), ReducedLength(resultHeight, areaHeight)});
    p.width = ReducedLength(resultWidth, p.factor);
    p.height = ReducedLength(resultHeight, p.factor);
    p.left = (areaWidth - p.width) / 2;
    p.top = (areaHeight - p.height) / 2;
    return p;
}

PreviewCanvas::PreviewCanvas(int width, int height)
    : image_(width, height, QImage::Format_RGB888), width_(width), height_(height)
{
    image_.fill(Qt::black);
}

void PreviewCanvas::drawRgbaRow(int row, int left, const uint8_t* rgba, int count)
{
    if (row < 0 || row >= height_)
        return;
    const int first = std::max(0, -left);
    const int end = std::min(count, width_ - left);
    std::lock_guard lock(mutex_);
    uint8_t* line = image_.scanLine(row);
    for (int i = first; i < end; ++i) {
        uint8_t* p = line + static_cast<ptrdiff_t>(left + i) * 3;
        const QRgb shown = OverBackdrop(rgba + i * 4, BackdropAt(backdrop_, left + i, row));
        p[0] = static_cast<uint8_t>(qRed(shown));
        p[1] = static_cast<uint8_t>(qGreen(shown));
        p[2] = static_cast<uint8_t>(qBlue(shown));
    }
    changed_ = true;
}

bool PreviewCanvas::takeIfChanged(QImage& out)
{
    std::lock_guard lock(mutex_);
    if (!changed_)
        return false;
    out = image_.copy();
    changed_ = false;
    return true;
}

QImage PreviewCanvas::snapshot()
{
    std::lock_guard lock(mutex_);
    return image_.copy();
}

} // namespace lumexa
