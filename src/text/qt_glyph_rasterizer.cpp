// Text glyphs drawn with Qt's fonts.
#include "text/qt_glyph_rasterizer.h"

namespace lumexa {

Glyph QtGlyphRasterizer::drawText(const std::u32string&, const std::string&, int, int)
{
    return {};
}

} // namespace lumexa
