// The recompute with real text glyphs: tags reach the right columns and the grid is the
// font size high.
#include "core/layout/preview_layout.h"
#include "text/qt_glyph_rasterizer.h"

#include <gtest/gtest.h>

#include <set>

namespace lumexa
{
namespace
{

TEST(PreviewLayoutWithQt, TaggedCharactersShowTheirLedImage)
{
    QtGlyphRasterizer rasterizer;
    LayoutRandom random;
    std::vector<TScatterPoint> points;
    ProjectSettings settings;
    settings.fontName = "DejaVu Sans";
    settings.text = "12[&+05]34[&-05]5";
    settings.previewButton = kPreview;
    const LedInfo leds{6, 16, 16, -1};
    const LayoutResult r =
        ComputePreviewLayout(settings, leds, rasterizer, nullptr, random, points);
    EXPECT_EQ(r.rows, 20);
    EXPECT_GT(r.fontDots, 10);
    EXPECT_LE(r.fontDots, 20);
    std::set<std::pair<int, int>> seen; // (character, kind)
    for (const TDotRecord& d : r.dots)
        if (d.kind != 0)
            seen.insert({r.glyph.columnMap[static_cast<size_t>(d.x / 16)], d.kind});
    const std::set<std::pair<int, int>> expected = {{1, 1}, {2, 1}, {3, 5}, {4, 5}, {5, 1}};
    EXPECT_EQ(seen, expected);
}

} // namespace
} // namespace lumexa
