// Glyph-to-dot steps: threshold range, displacement draws, clamping and bounds, LED
// choice.
#include "core/layout/dot_grid.h"

#include "core/base/error.h"

#include <gtest/gtest.h>

#include <cmath>

namespace lumexa
{
namespace
{

RandomTable filledTable()
{
    RandomGenerator gen;
    RandomTable t;
    FillRandomTable(t, kDefaultSeed, gen);
    return t;
}

TEST(Threshold, NarrowsToTheGlyphsGreyLevelsAndMovesThePosition)
{
    Picture glyph(3, 1, {255, 255, 255});
    glyph.setPixel(0, 0, {40, 40, 40});
    glyph.setPixel(1, 0, {200, 0, 0});
    ScrollSetting threshold{0, 255, 20};
    NarrowThreshold(glyph, threshold);
    EXPECT_EQ(threshold.min(), 41);
    EXPECT_EQ(threshold.max(), 254);
    EXPECT_EQ(threshold.position(), 41);
}

TEST(Threshold, EmptyRangeThrowsAndChangesNothing)
{
    for (const Picture& glyph : {Picture(4, 20, {255, 255, 255}), Picture(0, 20)}) {
        ScrollSetting threshold{1, 254, 128};
        EXPECT_THROW(NarrowThreshold(glyph, threshold), Error);
        EXPECT_EQ(threshold, (ScrollSetting{1, 254, 128}));
    }
}

TEST(FontDots, CountsRowsFromFirstToLastDarkRow)
{
    Picture glyph(2, 10, {255, 255, 255});
    glyph.setPixel(1, 2, {0, 0, 0});
    glyph.setPixel(0, 7, {100, 100, 100});
    EXPECT_EQ(CountFontDots(glyph, 128), 6);
    EXPECT_EQ(CountFontDots(glyph, 50), 1);
    EXPECT_EQ(CountFontDots(glyph, 0), 0);
}

TEST(Displacement, DrawsTwoValuesXFirstOnlyWhenShufleIsSet)
{
    RandomTable t = filledTable();
    EXPECT_EQ(DrawDisplacement({16, 16}, 0, t).dx, 0);
    EXPECT_EQ(t.cursor, 0);

    // First fractions 0.0164 and 0.2854: trunc(16 x 0.0164) = 0, trunc(20 x 0.2854) = 5.
    const struct {
        int shufle, dx, dy;
    } cases[] = {{100, -8, -5}, {200, -16, -10}, {50, -4, -2}, {1, 0, 0}};
    for (const auto& c : cases) {
        t.cursor = 0;
        const Displacement d = DrawDisplacement({16, 20}, c.shufle, t);
        EXPECT_EQ(d.dx, c.dx) << c.shufle;
        EXPECT_EQ(d.dy, c.dy) << c.shufle;
        EXPECT_EQ(t.cursor, 2);
    }
}

TEST(GridDots, ColumnsOuterRowsInnerAndOneDisplacementPerDot)
{
    Picture glyph(2, 2, {255, 255, 255});
    glyph.setPixel(0, 1, {0, 0, 0});
    glyph.setPixel(1, 0, {0, 0, 0});
    glyph.setPixel(1, 1, {0, 0, 255}); // dark on red only
    RandomTable t = filledTable();
    DotList dots;
    AppendGridDots(
        glyph, Channel::Red, 128, {10, 10}, 30, t, [](int column) { return 100 + column; }, dots);
    ASSERT_EQ(dots.size(), 3u);
    EXPECT_EQ(t.cursor, 6);
    EXPECT_EQ(dots[0].kind, 100);
    EXPECT_EQ(dots[1].kind, 101);
    EXPECT_LT(dots[1].y, dots[2].y);

    DotList blue;
    AppendGridDots(
        glyph, Channel::Blue, 128, {10, 10}, 0, t, [](int) { return 1; }, blue);
    EXPECT_EQ(blue.size(), 2u);
}

TEST(Finishing, ClampsIntoThePictureAndBoundsTheCircle)
{
    const CellSize cell{16, 10};
    const int64_t W = 160, H = 100;
    const struct {
        int x, y;
        int cx, cy; // after clamping
    } cases[] = {
        {-5, -3, 0, 0},
        {150, 95, 144, 90},
        {170, 120, 144, 90},
        {32, 48, 32, 48},
    };
    for (const auto& c : cases) {
        DotList dots(1);
        dots[0].x = c.x;
        dots[0].y = c.y;
        dots[0].rotation = 77;
        FinishRecords(dots, 0, cell, W, H);
        const TDotRecord& r = dots[0];
        EXPECT_EQ(r.x, c.cx);
        EXPECT_EQ(r.y, c.cy);
        EXPECT_EQ(r.width, 16);
        EXPECT_EQ(r.height, 10);
        EXPECT_EQ(r.rotation, 77);
        const float radius = static_cast<float>(std::sqrt(16.0 * 16 + 10 * 10) * 0.5);
        const auto low = [&](int v) {
            const int64_t b = static_cast<int64_t>(static_cast<double>(v) - radius);
            return static_cast<float>(b < 1 ? 0 : b);
        };
        EXPECT_EQ(r.left, low(c.cx + 8));
        EXPECT_EQ(r.top, low(c.cy + 5));
        EXPECT_EQ(r.right, std::min<float>(W, std::trunc(c.cx + 8 + radius)));
        EXPECT_EQ(r.bottom, std::min<float>(H, std::trunc(c.cy + 5 + radius)));
    }
}

TEST(LedChoice, NumbersOutsideTheLitImagesFallBackToLedOne)
{
    EXPECT_EQ(TaggedLedNumber(5, 6), 5);
    for (int bad : {0, -1, -3, 6, 99})
        EXPECT_EQ(TaggedLedNumber(bad, 6), 1) << bad;
    EXPECT_EQ(SelectedLedNumber(3, 4), 3);
    for (int sel : {-1, 0, 1, 4})
        EXPECT_EQ(SelectedLedNumber(sel, 4), 1) << sel;
}

TEST(LedChoice, RandomNumberSpansTheLitImages)
{
    RandomTable t = filledTable();
    t.values[0] = 0.0f;
    t.values[1] = 0.9999f;
    EXPECT_EQ(RandomLedNumber(5, t), 1);
    EXPECT_EQ(RandomLedNumber(5, t), 4);
    EXPECT_EQ(RandomLedNumber(1, t), 1);
}

} // namespace
} // namespace lumexa
