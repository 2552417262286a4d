// The Points scatter: candidate acceptance and the selection loop's limits.
#include "core/points_scatter.h"

#include <gtest/gtest.h>

#include <map>

namespace lumexa {
namespace {

struct Tables {
    Tables()
    {
        for (RandomTable* t : {&accept, &shuffle, &led, &pick})
            FillRandomTable(*t, kDefaultSeed, gen);
    }
    RandomGenerator gen;
    RandomTable accept, shuffle, led, pick;
};

TEST(CandidatePoints, AllBlue255GlyphGivesNoPoints)
{
    // Red 0 makes every pixel a dot for the other styles; the scatter reads blue.
    Tables t;
    std::vector<TScatterPoint> points(5);
    MakeCandidatePoints(Picture(6, 4, {0, 0, 255}), Channel::Blue, {16, 16}, 0, t.accept, t.shuffle,
                        points);
    EXPECT_TRUE(points.empty());
    EXPECT_EQ(t.accept.cursor, 0);
    DotList dots;
    SelectScatterDots(points, 10, 3, 6, 4, {16, 16}, t.led, t.pick, dots);
    EXPECT_TRUE(dots.empty());
    EXPECT_EQ(t.led.cursor, 0); // the selection loop does not run
}

TEST(CandidatePoints, LightPixelsAreNeverAccepted)
{
    // Every interpolated value is 213 or more: darkness 41 or less never passes.
    Tables t;
    Picture glyph(3, 3, {255, 255, 255});
    glyph.setPixel(1, 1, {213, 213, 213});
    std::vector<TScatterPoint> points;
    MakeCandidatePoints(glyph, Channel::Blue, {16, 16}, 0, t.accept, t.shuffle, points);
    EXPECT_TRUE(points.empty());
    EXPECT_EQ(t.accept.cursor, 100); // one draw per candidate all the same
}

TEST(CandidatePoints, BlackAmidBlackAcceptsAboutEightyFourInAHundred)
{
    Tables t;
    const Picture glyph(3, 3, {0, 0, 0});
    std::vector<TScatterPoint> points;
    MakeCandidatePoints(glyph, Channel::Blue, {16, 16}, 0, t.accept, t.shuffle, points);
    EXPECT_EQ(t.accept.cursor, 900);
    // The centre pixel is the fifth in column order; its candidates lie in its own cell
    // area: x from 16 - 8 to 16 + 4 + 8, likewise y.
    int centre = 0;
    for (const TScatterPoint& p : points)
        centre += p.x >= 8 && p.x <= 20 && p.y >= 8 && p.y <= 20;
    EXPECT_GT(centre, 70);
    EXPECT_LT(centre, 95);
    EXPECT_EQ(t.shuffle.cursor, 0); // Shufle 0 draws no displacement
}

TEST(CandidatePoints, SingleBlackPixelFavoursItsCentre)
{
    Tables t;
    Picture glyph(3, 3, {255, 255, 255});
    glyph.setPixel(1, 1, {0, 0, 0});
    std::vector<TScatterPoint> points;
    MakeCandidatePoints(glyph, Channel::Blue, {16, 16}, 0, t.accept, t.shuffle, points);
    ASSERT_FALSE(points.empty());
    int nearCentre = 0, nearCorners = 0;
    for (const TScatterPoint& p : points) {
        ASSERT_GE(p.x, 8);
        ASSERT_LE(p.x, 20);
        const bool centreX = p.x == 12 || p.x == 16; // last step of qa 0, first of qa 1
        const bool centreY = p.y == 12 || p.y == 16;
        const bool cornerX = p.x == 8 || p.x == 20;
        const bool cornerY = p.y == 8 || p.y == 20;
        nearCentre += centreX && centreY;
        nearCorners += cornerX && cornerY;
    }
    EXPECT_GT(nearCentre, nearCorners);
}

TEST(CandidatePoints, ShufleDisplacesEveryAcceptedPointWithTwoDraws)
{
    Tables t;
    std::vector<TScatterPoint> points;
    MakeCandidatePoints(Picture(2, 2, {0, 0, 0}), Channel::Blue, {16, 16}, 100, t.accept, t.shuffle,
                        points);
    EXPECT_EQ(t.shuffle.cursor, static_cast<int>(2 * points.size()));
}

TEST(Selection, RunsDensityPercentOfNIterations)
{
    Tables t;
    std::vector<TScatterPoint> points(1000, TScatterPoint{20, 20});
    DotList dots;
    SelectScatterDots(points, 10, 4, 10, 10, {16, 16}, t.led, t.pick, dots);
    EXPECT_EQ(t.led.cursor, 100);
    EXPECT_EQ(t.pick.cursor, 200);
    // Every point lies in cell 11: it takes at most Density dots.
    EXPECT_EQ(dots.size(), 10u);
    for (const TDotRecord& d : dots) {
        EXPECT_GE(d.kind, 1);
        EXPECT_LE(d.kind, 3);
    }
}

TEST(Selection, AtMostDensityDotsPerCell)
{
    // Hundreds of hits per cell: an 8-bit counter that wrapped past 255 would let each
    // cell take Density dots again on every round.
    Tables t;
    std::vector<TScatterPoint> points;
    for (int i = 0; i < 20000; ++i)
        points.push_back({(i * 7) % 64, (i * 13) % 48});
    for (int density : {1, 5, 30}) {
        DotList dots;
        SelectScatterDots(points, density, 2, 4, 3, {16, 16}, t.led, t.pick, dots);
        std::map<int, int> perCell;
        for (const TDotRecord& d : dots)
            ++perCell[(d.y / 16) * 4 + d.x / 16];
        EXPECT_EQ(perCell.count(0), 0u) << density; // cell 0 never receives a dot
        for (const auto& [cell, n] : perCell)
            EXPECT_LE(n, density) << cell;
        EXPECT_EQ(perCell.size(), 11u) << density;
    }
}

TEST(Selection, PointsOffTheGridOrInCellZeroGiveNoDots)
{
    Tables t;
    const std::vector<TScatterPoint> cellZero(500, TScatterPoint{3, 3});
    const std::vector<TScatterPoint> below(500, TScatterPoint{3, 100});
    DotList dots;
    SelectScatterDots(cellZero, 30, 2, 4, 3, {16, 16}, t.led, t.pick, dots);
    SelectScatterDots(below, 30, 2, 4, 3, {16, 16}, t.led, t.pick, dots);
    EXPECT_TRUE(dots.empty());
}

} // namespace
} // namespace lumexa
