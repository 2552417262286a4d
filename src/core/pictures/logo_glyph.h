// The glyph of the Logo page: the logo picture scaled down by the logo size, one glyph
// pixel per grid cell, inverted unless "Negative" is checked.
#pragma once

#include "core/pictures/glyph.h"
#include "core/pictures/picture.h"

namespace lumexa
{

// s = logoSize x 0.1; the glyph is trunc(width x s) by trunc(height x s) and every logo
// pixel (x, y) is written to (trunc(s x x), trunc(s x y)) as |k - channel|, k = 255 when
// `negative` is false and 0 when it is true. Columns run outer, rows inner, so the last
// logo pixel that lands on a glyph pixel wins; pixels landing outside are dropped.
// The column map stays empty: a logo has no characters.
Glyph MakeLogoGlyph(const Picture& logo, int logoSize, bool negative);

} // namespace lumexa
