// Text glyphs drawn with Qt's fonts: one pixel per grid cell, black on white, exactly
// the font size in rows.
#pragma once

#include "core/pictures/glyph.h"

#include <string>
#include <vector>

namespace lumexa
{

class QtGlyphRasterizer : public GlyphRasterizer
{
  public:
    // Makes sure a Qt application exists (see EnsureGuiApplication).
    QtGlyphRasterizer();

    // The glyph is `fontSize` rows high: the face is scaled so that its ascent plus its
    // descent (unrounded design metrics) equal `fontSize`, and the baseline lies at the
    // rounded ascent. Each character gets a cell of its own rounded advance width plus
    // `kerning`, is drawn at the cell's left edge with the platform's default smoothing
    // and is clipped to its cell. Unknown faces fall back to Qt's default font.
    Glyph drawText(const std::u32string& text, const std::string& fontName, int fontSize,
                   int kerning, const std::stop_token& stop = {}) override;
};

// The families of the installed fonts, as the font list shows them.
std::vector<std::string> InstalledFontNames();

} // namespace lumexa
