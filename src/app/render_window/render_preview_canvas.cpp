// The preview picture shared between a run's thread and the window.
#include "app/render_window/render_preview_canvas.h"

namespace lumexa
{

PreviewCanvas::PreviewCanvas(int width, int height)
    : image_(width, height, QImage::Format_RGB888), width_(width), height_(height)
{
    image_.fill(Qt::black);
}

void PreviewCanvas::drawBgrRow(int row, const int* columns, const uint8_t* bgr, int count)
{
    std::lock_guard lock(mutex_);
    uint8_t* line = image_.scanLine(row);
    for (int i = 0; i < count; ++i) {
        uint8_t* p = line + static_cast<ptrdiff_t>(columns[i]) * 3;
        p[0] = bgr[i * 3 + 2];
        p[1] = bgr[i * 3 + 1];
        p[2] = bgr[i * 3];
    }
    changed_ = true;
}

void PreviewCanvas::drawRgbaRow(int row, const int* columns, const uint8_t* rgba, int count)
{
    std::lock_guard lock(mutex_);
    uint8_t* line = image_.scanLine(row);
    for (int i = 0; i < count; ++i) {
        uint8_t* p = line + static_cast<ptrdiff_t>(columns[i]) * 3;
        p[0] = rgba[i * 4];
        p[1] = rgba[i * 4 + 1];
        p[2] = rgba[i * 4 + 2];
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
