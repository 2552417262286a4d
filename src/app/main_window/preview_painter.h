// The preview drawing: the dot list at a small scale in an off-screen picture, with
// the background colour of the style, vertical centring and horizontal scrolling.
#pragma once

#include "core/layout/dot_record.h"

#include <QImage>
#include <QSize>

#include <vector>

namespace lumexa
{

struct PreviewScene {
    const DotList* dots = nullptr;
    int style = 1;
    int cellWidth = 16; // output pixels per cell; also the divisor of both axes
    int rows = 0;       // grid rows
    int ledCount = 0;
    // LED image n at index n; used when ledCount is 2 or more.
    std::vector<QImage> ledPictures;
    int scale = 5; // screen pixels per cell
    QSize box;     // the preview area
    int scrollOffset = 0;
};

// The maximum of the horizontal scroll bar: the scaled output width less the box
// width, or minimum + 1 when that is smaller than the minimum.
int PreviewScrollMaximum(int outputWidth, int scale, int cellWidth, int boxWidth, int minimum);

// (box height div 2) - (rows x scale div 2).
int PreviewVerticalOffset(int boxHeight, int rows, int scale);

// The canvas of the box's size. Records are drawn in list order as scale x scale
// squares at (x x scale div cellWidth - scroll, y x scale div cellWidth + offset).
QImage PaintPreview(const PreviewScene& scene);

} // namespace lumexa
