// Pictures in PDF files: a strip of result rows becomes an image XObject of its red, green
// and blue bytes, with the coverage bytes as a soft mask where any pixel is not fully
// covered, so that uncovered parts print as the paper (as they show in a PNG result).
// Both are Flate streams of the bytes as they are: the printed dots are the rendered dots.
#pragma once

#include "imaging/pdf/pdf_document.h"

#include <cstdint>
#include <string>

namespace lumexa
{

// Writes `rows` rows of `width` pixels (red, green, blue, coverage; `width` x 4 bytes per
// row) and returns the image's object number.
int WriteImageStrip(PdfDocument& pdf, const uint8_t* rgba, int width, int rows);

// Content that paints image `name` (a resource name such as "/S0") over the rectangle
// x, y (lower-left), w, h in the page's units.
std::string PaintImage(const std::string& name, double x, double y, double w, double h);

} // namespace lumexa
