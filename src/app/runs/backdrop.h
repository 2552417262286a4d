// What the windows show under a result's transparent pixels, so that the picture looks as
// its output will: a checkerboard for picture files, whose viewers let through what has
// coverage 0; white for paper, where a PDF's soft mask leaves the page bare.
#pragma once

#include <QRgb>

#include <cstdint>

namespace lumexa
{

enum class Backdrop { Checkerboard, Paper };

// Side of the checkerboard's squares, in screen pixels.
inline constexpr int kCheckerSquare = 8;

// The backdrop's colour at pixel (x, y) of the area it is drawn in.
QRgb BackdropAt(Backdrop backdrop, int x, int y);

// A result pixel (red, green, blue, coverage) laid over `under` by its coverage, rounded to
// nearest.
QRgb OverBackdrop(const uint8_t* rgba, QRgb under);

} // namespace lumexa
