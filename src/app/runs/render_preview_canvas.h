// The reduced picture a run draws while it works: the run's thread writes rows into it,
// and the window's timer takes a copy whenever something new was drawn.
#pragma once

#include "app/runs/backdrop.h"

#include <QImage>

#include <cstdint>
#include <mutex>

namespace lumexa
{

// Where the result lands in the preview area: reduced by area averaging by the smallest
// whole factor that fits it in, and centred.
struct PreviewPlacement {
    int factor = 1; // result pixels per preview pixel, across and down
    int width = 0;  // the reduced result's size
    int height = 0;
    int left = 0; // its place in the area
    int top = 0;
};

PreviewPlacement PlacePreview(int resultWidth, int resultHeight, int areaWidth, int areaHeight);

class PreviewCanvas
{
  public:
    // A black picture of width x height.
    PreviewCanvas(int width, int height);

    int width() const { return width_; }
    int height() const { return height_; }

    // What transparent pixels are drawn over from now on (a checkerboard at first).
    void setBackdrop(Backdrop backdrop) { backdrop_ = backdrop; }
    Backdrop backdrop() const { return backdrop_; }
    // Sets `count` pixels of row `row` from column `left` on, given as red, green, blue,
    // coverage, laid over the backdrop by their coverage; pixels outside the picture are
    // left out.
    void drawRgbaRow(int row, int left, const uint8_t* rgba, int count);
    // A copy of the picture when it changed since the last call.
    bool takeIfChanged(QImage& out);
    QImage snapshot();

  private:
    std::mutex mutex_;
    QImage image_;
    int width_;
    int height_;
    bool changed_ = true;
    Backdrop backdrop_ = Backdrop::Checkerboard;
};

} // namespace lumexa
