// The glyph of a layout: one pixel per grid cell, drawn black on white for a text
// (or made from the logo), with the column map that tells which character covers
// each column. Text is drawn through a rasteriser that the caller supplies.
#pragma once

#include "core/pictures/picture.h"

#include <cstdint>
#include <stop_token>
#include <string>
#include <vector>

namespace lumexa
{

// The largest dot grid a layout builds (columns x rows). A text or logo past it is refused
// before its glyph is made: a grid this size already means a result of gigabytes, and a
// larger one would exhaust memory long before it could be rendered.
inline constexpr int64_t kMaxGridCells = int64_t{1} << 24;

// Throws "The dot grid of C x R cells is too large ..." when columns x rows passes the limit.
void CheckGridSize(int64_t columns, int64_t rows);

struct Glyph {
    Picture image;
    // For each column, the 1-based index into the stripped text of the character whose
    // cell covers it (text glyphs only).
    std::vector<int32_t> columnMap;
};

class GlyphRasterizer
{
  public:
    virtual ~GlyphRasterizer() = default;
    // Draws `text` in the face `fontName` at the cell height `fontSize` pixels; each
    // character's cell is its own advance width plus `kerning`. A long text takes a while:
    // drawing throws Stopped once `stop` is requested.
    virtual Glyph drawText(const std::u32string& text, const std::string& fontName, int fontSize,
                           int kerning, const std::stop_token& stop = {}) = 0;
};

} // namespace lumexa
