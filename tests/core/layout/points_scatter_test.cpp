// The Points scatter: candidate acceptance, the selection loop's limits, and the render's
// scatter that keeps no candidate points against the two steps it stands for.
#include "core/layout/points_scatter.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>

namespace lumexa
{
namespace
{

struct Tables {
    Tables()
    {
        for (RandomTable* t : {&accept, &shuffle, &led, &pick})
            FillRandomTable(*t, kDefaultSeed, gen);
    }
    RandomGenerator gen;
    RandomTable accept, shuffle, led, pick;
};

// The candidate rule written out plainly, one draw after another, with every
// intermediate value rounded to a 32-bit float.
std::vector<TScatterPoint> plainCandidates(const Picture& glyph, CellSize cell, int shufle,
                                           RandomTable& accept, RandomTable& shuffle)
{
    const auto B = [&](int x, int y) { return static_cast<double>(glyph.pixel(x, y).b); };
    std::vector<TScatterPoint> out;
    for (int c = 0; c < glyph.width(); ++c)
        for (int r = 0; r < glyph.height(); ++r) {
            if (B(c, r) >= 255)
                continue;
            float M[3][3];
            for (int a = 0; a < 3; a += 2)
                for (int b = 0; b < 3; b += 2)
                    M[a][b] = static_cast<float>(
                        (B(c + a - 1, r + b - 1) + B(c, r + b - 1) + B(c + a - 1, r) + B(c, r)) *
                        0.25);
            M[1][0] = static_cast<float>((B(c, r - 1) + B(c, r)) * 0.5);
            M[0][1] = static_cast<float>((B(c - 1, r) + B(c, r)) * 0.5);
            M[2][1] = static_cast<float>((B(c + 1, r) + B(c, r)) * 0.5);
            M[1][2] = static_cast<float>((B(c, r + 1) + B(c, r)) * 0.5);
            M[1][1] = static_cast<float>(B(c, r));
            for (const auto& [qa, qb] : {std::pair{0, 0}, {1, 0}, {0, 1}, {1, 1}}) {
                const float ts = static_cast<float>((double(M[qa + 1][qb]) - M[qa][qb]) / 5);
                const float bs =
                    static_cast<float>((double(M[qa + 1][qb + 1]) - M[qa][qb + 1]) / 5);
                for (int i = 0; i <= 4; ++i) {
                    const float top = static_cast<float>(i * double(ts) + M[qa][qb]);
                    const float bottom = static_cast<float>(i * double(bs) + M[qa][qb + 1]);
                    const float down = static_cast<float>((double(bottom) - top) / 5);
                    for (int j = 0; j <= 4; ++j) {
                        const float value = static_cast<float>(j * double(down) + top);
                        const int darkness =
                            std::max(1, 255 - static_cast<int>(double(value) + 1.0));
                        if (static_cast<int>(darkness * double(DrawRandom(accept))) <= 40)
                            continue;
                        const Displacement d = DrawDisplacement(cell, shufle, shuffle);
                        out.push_back(
                            {static_cast<int>(c * cell.width + i + cell.width * 0.5 * qa -
                                              cell.width / 2 + d.dx),
                             static_cast<int>(r * cell.height + j + cell.height * 0.5 * qb -
                                              cell.height / 2 + d.dy)});
                    }
                }
            }
        }
    return out;
}

TEST(CandidatePoints, AgreeWithThePlainRuleOnRandomGlyphs)
{
    RandomGenerator gen;
    gen.seed(7);
    for (int round = 0; round < 60; ++round) {
        Picture glyph(1 + gen.step() % 9, 1 + gen.step() % 7, {255, 255, 255});
        for (int y = 0; y < glyph.height(); ++y)
            for (int x = 0; x < glyph.width(); ++x) {
                const int v = gen.step() % 3 == 0 ? 255 : gen.step() % 256;
                glyph.setPixel(x, y, {0, 0, static_cast<uint8_t>(v)});
            }
        const CellSize cell{1 + gen.step() % 40, 1 + gen.step() % 40};
        const int shufle = gen.step() % 2 == 0 ? 0 : gen.step() % 201;
        Tables fast, plain;
        // Start anywhere in the cycles, so that draws run across the cursor slot.
        fast.accept.cursor = plain.accept.cursor = gen.step() % 10001;
        fast.shuffle.cursor = plain.shuffle.cursor = gen.step() % 10001;
        std::vector<TScatterPoint> points;
        MakeCandidatePoints(glyph, Channel::Blue, cell, shufle, fast.accept, fast.shuffle, points);
        const std::vector<TScatterPoint> expected =
            plainCandidates(glyph, cell, shufle, plain.accept, plain.shuffle);
        ASSERT_EQ(points.size(), expected.size()) << round;
        for (size_t i = 0; i < points.size(); ++i) {
            ASSERT_EQ(points[i].x, expected[i].x) << round << " #" << i;
            ASSERT_EQ(points[i].y, expected[i].y) << round << " #" << i;
        }
        EXPECT_EQ(fast.accept.cursor, plain.accept.cursor);
        EXPECT_EQ(fast.shuffle.cursor, plain.shuffle.cursor);
    }
}

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

// Glyphs large enough for thousands of points, so that indices are picked from every
// hundred and near the end, where they wrap to the start.
TEST(RenderScatter, SameDotsAndDrawsAsCandidatesThenSelection)
{
    struct Case {
        int width, height;
        CellSize cell;
        int shufle, density;
        int acceptCursor, shuffleCursor, pickCursor;
    };
    const Case cases[] = {
        {12, 8, {16, 16}, 12, 10, 0, 0, 0},
        {12, 8, {16, 16}, 0, 30, 0, 0, 0},          // no displacement draws
        {9, 7, {1, 1}, 200, 30, 9990, 9995, 9999},  // every cursor runs across its cursor slot
        {20, 5, {7, 3}, 150, 1, 4000, 10000, 5000}, // odd cells, one dot per cell
        {1, 1, {5, 5}, 100, 30, 0, 0, 0},           // a single pixel: its point 0 is never picked
    };
    RandomGenerator gen;
    gen.seed(11);
    for (const Case& c : cases) {
        for (int round = 0; round < 4; ++round) {
            Picture glyph(c.width, c.height, {255, 255, 255});
            for (int y = 0; y < c.height; ++y)
                for (int x = 0; x < c.width; ++x) {
                    const int v = gen.step() % 4 == 0   ? 255
                                  : gen.step() % 2 == 0 ? 0
                                                        : gen.step() % 256;
                    glyph.setPixel(x, y, {0, 0, static_cast<uint8_t>(v)});
                }
            Tables steps, render;
            for (Tables* t : {&steps, &render}) {
                t->accept.cursor = c.acceptCursor;
                t->shuffle.cursor = c.shuffleCursor;
                t->pick.cursor = c.pickCursor;
            }
            std::vector<TScatterPoint> points;
            DotList expected;
            MakeCandidatePoints(glyph, Channel::Blue, c.cell, c.shufle, steps.accept, steps.shuffle,
                                points);
            SelectScatterDots(points, c.density, 4, c.width, c.height, c.cell, steps.led,
                              steps.pick, expected);
            std::vector<RenderDot> dots;
            ScatterRenderDots(glyph, Channel::Blue, c.cell, c.shufle, c.density, 4,
                              {render.accept, render.shuffle, render.led, render.pick},
                              [&dots](int x, int y, int kind) { dots.push_back({x, y, kind, 0}); });

            const std::string label = std::to_string(c.width) + "x" + std::to_string(c.height) +
                                      " round " + std::to_string(round);
            ASSERT_EQ(dots.size(), expected.size()) << label << ", " << points.size() << " points";
            for (size_t i = 0; i < dots.size(); ++i) {
                ASSERT_EQ(dots[i].x, expected[i].x) << label << " #" << i;
                ASSERT_EQ(dots[i].y, expected[i].y) << label << " #" << i;
                ASSERT_EQ(dots[i].kind, expected[i].kind) << label << " #" << i;
            }
            EXPECT_EQ(render.accept.cursor, steps.accept.cursor) << label;
            EXPECT_EQ(render.shuffle.cursor, steps.shuffle.cursor) << label;
            EXPECT_EQ(render.led.cursor, steps.led.cursor) << label;
            EXPECT_EQ(render.pick.cursor, steps.pick.cursor) << label;
        }
    }
}

} // namespace
} // namespace lumexa
