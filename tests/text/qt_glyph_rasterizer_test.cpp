// Text glyphs through Qt: height, cell widths with kerning, the column map, black on
// white with grey smoothing.
#include "text/qt_glyph_rasterizer.h"

#include "text/gui_application.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace lumexa
{
namespace
{

const char* const kFace = "DejaVu Sans";

// Rows holding a pixel darker than mid-grey.
std::pair<int, int> inkRows(const Picture& p)
{
    int first = -1, last = -1;
    for (int y = 0; y < p.height(); ++y)
        for (int x = 0; x < p.width(); ++x)
            if (p.pixel(x, y).r < 128) {
                if (first < 0)
                    first = y;
                last = y;
                break;
            }
    return {first, last};
}

TEST(QtGlyphRasterizer, GlyphIsExactlyTheFontSizeHigh)
{
    QtGlyphRasterizer rasterizer;
    for (int size : {6, 12, 20, 31, 32}) {
        const Glyph g = rasterizer.drawText(U"Wy|", kFace, size, 0);
        EXPECT_EQ(g.image.height(), size) << size;
        EXPECT_GT(g.image.width(), 0);
        // The face fills the cell: the capitals start in its top quarter and the bar
        // reaches down to its last rows.
        const auto [first, last] = inkRows(g.image);
        EXPECT_LE(first, size / 4 + 1) << size;
        EXPECT_GE(last, size - 2) << size;
    }
}

TEST(QtGlyphRasterizer, CellsAreAdvancePlusKerningAndMapColumns)
{
    QtGlyphRasterizer rasterizer;
    const int a = rasterizer.drawText(U"A", kFace, 20, 0).image.width();
    const int b = rasterizer.drawText(U"B", kFace, 20, 0).image.width();
    const Glyph g = rasterizer.drawText(U"AB", kFace, 20, 3);
    ASSERT_EQ(g.image.width(), a + 3 + b + 3);
    ASSERT_EQ(g.columnMap.size(), static_cast<size_t>(g.image.width()));
    for (int x = 0; x < g.image.width(); ++x)
        EXPECT_EQ(g.columnMap[static_cast<size_t>(x)], x < a + 3 ? 1 : 2) << x;
    // No pair kerning: "AV" is as wide as its two letters measured alone.
    const int v = rasterizer.drawText(U"V", kFace, 20, 0).image.width();
    EXPECT_EQ(rasterizer.drawText(U"AV", kFace, 20, 0).image.width(), a + v);
}

TEST(QtGlyphRasterizer, BlackOnWhiteWithGreyEdges)
{
    QtGlyphRasterizer rasterizer;
    const Glyph g = rasterizer.drawText(U"1234567890", kFace, 20, 0);
    int black = 0, grey = 0;
    for (int y = 0; y < g.image.height(); ++y)
        for (int x = 0; x < g.image.width(); ++x) {
            const Rgb c = g.image.pixel(x, y);
            EXPECT_TRUE(c.r == c.g && c.g == c.b) << x << "," << y;
            black += c.r == 0;
            grey += c.r > 0 && c.r < 255;
        }
    EXPECT_GT(black, 0);
    EXPECT_GT(grey, 0);
}

TEST(QtGlyphRasterizer, SpacesAndEmptyTextDrawNothing)
{
    QtGlyphRasterizer rasterizer;
    const Glyph spaces = rasterizer.drawText(U"   ", kFace, 20, 0);
    EXPECT_GT(spaces.image.width(), 0);
    EXPECT_EQ(inkRows(spaces.image).first, -1);
    const Glyph empty = rasterizer.drawText(U"", kFace, 20, 0);
    EXPECT_EQ(empty.image.width(), 0);
    EXPECT_TRUE(empty.columnMap.empty());
}

TEST(QtGlyphRasterizer, LongTextIsDrawnAcrossScratchStrips)
{
    // Wider than one scratch strip: every character must still be drawn where a text of
    // its own would put it.
    QtGlyphRasterizer rasterizer;
    std::u32string text(600, U'8');
    const Glyph g = rasterizer.drawText(text, kFace, 32, 1);
    const Glyph one = rasterizer.drawText(U"8", kFace, 32, 1);
    const int w = one.image.width();
    ASSERT_EQ(g.image.width(), 600 * w);
    for (int i : {0, 150, 599})
        for (int y = 0; y < 32; ++y)
            for (int x = 0; x < w; ++x)
                ASSERT_EQ(g.image.pixel(i * w + x, y), one.image.pixel(x, y)) << i;
}

TEST(QtGlyphRasterizer, InstalledFontsIncludeTheTestFace)
{
    const std::vector<std::string> names = InstalledFontNames();
    EXPECT_NE(std::find(names.begin(), names.end(), kFace), names.end());
}

} // namespace
} // namespace lumexa
