// The reduced picture a run draws while it works: the run's thread writes rows into it,
// and the window's timer takes a copy whenever something new was drawn.
#pragma once

#include <QImage>

#include <cstdint>
#include <mutex>

namespace lumexa
{

class PreviewCanvas
{
  public:
    // A black picture of width x height.
    PreviewCanvas(int width, int height);

    int width() const { return width_; }
    int height() const { return height_; }

    // Sets preview row `row` from `count` pixels in drawing order, pixel i going to column
    // columns[i]; a later pixel of the same column wins. Pixels are given as blue, green,
    // red (the sampled preview) or red, green, blue, coverage (a rendered row).
    void drawBgrRow(int row, const int* columns, const uint8_t* bgr, int count);
    void drawRgbaRow(int row, const int* columns, const uint8_t* rgba, int count);
    // A copy of the picture when it changed since the last call.
    bool takeIfChanged(QImage& out);
    QImage snapshot();

  private:
    std::mutex mutex_;
    QImage image_;
    int width_;
    int height_;
    bool changed_ = true;
};

} // namespace lumexa
