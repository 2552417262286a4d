// The logo glyph: scaling by tenths, last write wins, inversion.
#include "core/pictures/logo_glyph.h"

#include <gtest/gtest.h>

namespace lumexa
{
namespace
{

TEST(LogoGlyph, GridSizeFollowsTheLogoSize)
{
    const Picture logo(200, 100, {10, 20, 30});
    const std::tuple<int, int, int> cases[] = {
        {10, 200, 100}, {5, 100, 50}, {1, 20, 10}, {3, 60, 30}};
    for (const auto& [size, w, h] : cases) {
        const Glyph g = MakeLogoGlyph(logo, size, false);
        EXPECT_EQ(g.image.width(), w) << size;
        EXPECT_EQ(g.image.height(), h) << size;
        EXPECT_TRUE(g.columnMap.empty());
    }
}

TEST(LogoGlyph, LastLogoPixelOnAGlyphPixelWins)
{
    // Column x of the logo carries x in red and row y carries y in green, so every glyph
    // pixel tells which logo pixel reached it last.
    Picture logo(15, 15);
    for (int x = 0; x < 15; ++x)
        for (int y = 0; y < 15; ++y)
            logo.setPixel(x, y, {static_cast<uint8_t>(x), static_cast<uint8_t>(y), 200});
    const Glyph g = MakeLogoGlyph(logo, 3, true);
    ASSERT_EQ(g.image.width(), 4);
    ASSERT_EQ(g.image.height(), 4);
    const int expected[] = {3, 6, 9, 13}; // logo 14 lands on glyph 4 and is dropped
    for (int gx = 0; gx < 4; ++gx)
        for (int gy = 0; gy < 4; ++gy) {
            EXPECT_EQ(g.image.pixel(gx, gy).r, expected[gx]);
            EXPECT_EQ(g.image.pixel(gx, gy).g, expected[gy]);
            EXPECT_EQ(g.image.pixel(gx, gy).b, 200);
        }
}

TEST(LogoGlyph, UncheckedNegativeInvertsEveryChannel)
{
    const Picture logo(2, 1, {0, 100, 255});
    EXPECT_EQ(MakeLogoGlyph(logo, 10, false).image.pixel(1, 0), (Rgb{255, 155, 0}));
    EXPECT_EQ(MakeLogoGlyph(logo, 10, true).image.pixel(1, 0), (Rgb{0, 100, 255}));
}

TEST(LogoGlyph, TinyLogoGivesAnEmptyGlyph)
{
    EXPECT_TRUE(MakeLogoGlyph(Picture(5, 5), 1, false).image.empty());
}

} // namespace
} // namespace lumexa
