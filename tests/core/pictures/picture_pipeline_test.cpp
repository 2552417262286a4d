// The corner mending and the laying of decoded pictures over their background.
#include "core/pictures/picture_pipeline.h"

#include <gtest/gtest.h>

namespace lumexa
{
namespace
{

DecodedPicture solid(int w, int h, uint8_t r, uint8_t g, uint8_t b, uint8_t a = 255)
{
    DecodedPicture d;
    d.width = w;
    d.height = h;
    for (int i = 0; i < w * h; ++i)
        d.rgba.insert(d.rgba.end(), {r, g, b, a});
    return d;
}

void put(DecodedPicture& d, int x, int y, Rgb c, uint8_t a = 255)
{
    uint8_t* p = d.rgba.data() + (static_cast<size_t>(y) * d.width + x) * 4;
    p[0] = c.r;
    p[1] = c.g;
    p[2] = c.b;
    p[3] = a;
}

TEST(FixCornerPixel, TopRightBecomesTruncatedMeanOfItsThreeNeighbours)
{
    Picture p(4, 3, {90, 90, 90});
    p.setPixel(3, 0, {200, 200, 200});
    p.setPixel(2, 0, {10, 20, 30});
    p.setPixel(2, 1, {11, 20, 30});
    p.setPixel(3, 1, {12, 22, 31});
    Picture expected = p;
    expected.setPixel(3, 0, {11, 20, 30});
    FixCornerPixel(p);
    EXPECT_EQ(p, expected); // exactly one pixel changes
}

TEST(FixCornerPixel, NeighboursOutsideReadWhite)
{
    struct Case {
        int w, h;
        Rgb corner; // what the top-right pixel becomes over a black picture
    } cases[] = {
        {1, 1, {255, 255, 255}}, // all three outside
        {1, 3, {170, 170, 170}}, // left and below-left outside, below is black
        {3, 1, {170, 170, 170}}, // left inside (black), the two below outside
        {0, 0, {255, 255, 255}}, // nothing to mend: the read is outside
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.w) + " x " + std::to_string(c.h));
        Picture p(c.w, c.h, {0, 0, 0});
        FixCornerPixel(p);
        EXPECT_EQ(p.pixel(c.w - 1, 0), c.corner);
        EXPECT_EQ(p.width(), c.w);
    }
}

TEST(DecodedToPicture, OpacityBlendsOverTheBackgroundWithRounding)
{
    DecodedPicture d = solid(4, 2, 200, 100, 0);
    put(d, 0, 1, {200, 100, 0}, 128);
    put(d, 1, 1, {200, 100, 0}, 0);
    put(d, 2, 1, {255, 255, 255}, 1);
    const Picture black = DecodedToPicture(d, kBlack);
    const Picture white = DecodedToPicture(d, kWhite);
    EXPECT_EQ(black.pixel(0, 0), (Rgb{200, 100, 0}));
    // (200 x 128 + 127) / 255 = 100, (100 x 128 + 127) / 255 = 50
    EXPECT_EQ(black.pixel(0, 1), (Rgb{100, 50, 0}));
    // over white: (200 x 128 + 255 x 127 + 127) / 255 = 227, 177, 127
    EXPECT_EQ(white.pixel(0, 1), (Rgb{227, 177, 127}));
    EXPECT_EQ(black.pixel(1, 1), (Rgb{0, 0, 0}));
    EXPECT_EQ(white.pixel(1, 1), (Rgb{255, 255, 255}));
    EXPECT_EQ(black.pixel(2, 1), (Rgb{1, 1, 1}));
}

TEST(DecodedToPicture, CornerIsMendedOnStoredColoursBeforeOpacity)
{
    // A transparent top-right pixel takes its neighbours' stored colour, then its own
    // opacity lays it over the background: it stays background.
    DecodedPicture d = solid(3, 2, 30, 60, 90);
    put(d, 2, 0, {250, 250, 250}, 0);
    EXPECT_EQ(DecodedToPicture(d, kBlack).pixel(2, 0), (Rgb{0, 0, 0}));
    // An opaque corner takes the mean of its opaque neighbours.
    put(d, 2, 0, {250, 250, 250}, 255);
    put(d, 1, 0, {30, 60, 90}, 0); // transparent neighbour still counts with its colour
    EXPECT_EQ(DecodedToPicture(d, kBlack).pixel(2, 0), (Rgb{30, 60, 90}));
}

TEST(DecodedToPicture, EmptyOrShortDataGivesEmptyPicture)
{
    EXPECT_TRUE(DecodedToPicture(DecodedPicture{}, kBlack).empty());
    DecodedPicture shortData = solid(2, 2, 1, 2, 3);
    shortData.rgba.resize(8);
    EXPECT_TRUE(DecodedToPicture(shortData, kBlack).empty());
}

} // namespace
} // namespace lumexa
