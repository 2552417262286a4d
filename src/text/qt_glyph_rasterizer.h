// Text glyphs drawn with Qt's fonts.
#pragma once

#include "core/glyph.h"

namespace lumexa {

class QtGlyphRasterizer : public GlyphRasterizer {
public:
    Glyph drawText(const std::u32string& text, const std::string& fontName, int fontSize,
                   int kerning) override;
};

} // namespace lumexa
