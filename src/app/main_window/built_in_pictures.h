// The four 16 x 16 pictures that the Flat, Button, Dot and Points styles draw dots with,
// and the preview's background colour that follows from them.
#pragma once

#include <QColor>
#include <QImage>

namespace lumexa
{

inline constexpr int kBuiltInPictureCount = 4;
inline constexpr int kBuiltInPictureSize = 16;

// Picture `index` (0..3): 0 a black square with a white right column and bottom row,
// 1 a grey bevelled button, 2 a grey shaded round dot, 3 black with scattered white
// squares. 24-bit, opaque.
QImage BuiltInPicture(int index);

// The colour of the bottom-left pixel of built-in picture style - 1; white for styles
// without a built-in picture.
QColor PreviewBackground(int style);

} // namespace lumexa
