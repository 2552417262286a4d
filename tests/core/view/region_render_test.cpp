// Regions, reduced views and tiles against the full render: a region must give the very bytes
// of the full render's rows, a reduced view the rounded average of its blocks.
#include "core/render/dot_renderer.h"
#include "core/view/reduced_view.h"
#include "core/view/tile_grid.h"

#include "support/random_scenes.h"

#include <gtest/gtest.h>

#include <random>
#include <set>
#include <string>
#include <vector>

namespace lumexa
{
namespace
{

using testing::OwnedScene;
using testing::RandomScene;

// The full render, row after row.
std::vector<uint8_t> fullRender(const DotRenderer& renderer)
{
    const size_t rowBytes = static_cast<size_t>(renderer.width()) * 4;
    std::vector<uint8_t> all(rowBytes * static_cast<size_t>(renderer.height()));
    for (int py = 0; py < renderer.height(); ++py)
        renderer.RenderRow(py, all.data() + rowBytes * static_cast<size_t>(py));
    return all;
}

// `rect` cut out of the full render; pixels outside the result are black and transparent.
std::vector<uint8_t> cutOut(const std::vector<uint8_t>& full, int W, int H, const PixelRect& rect)
{
    std::vector<uint8_t> out(static_cast<size_t>(rect.width) * rect.height * 4, 0);
    for (int r = 0; r < rect.height; ++r)
        for (int c = 0; c < rect.width; ++c) {
            const int x = rect.x + c, y = rect.y + r;
            if (x < 0 || y < 0 || x >= W || y >= H)
                continue;
            for (int k = 0; k < 4; ++k)
                out[(static_cast<size_t>(r) * rect.width + c) * 4 + k] =
                    full[(static_cast<size_t>(y) * W + x) * 4 + k];
        }
    return out;
}

// Every factor x factor block of `rect` averaged by hand in floating point, rounded to nearest.
std::vector<uint8_t> averaged(const std::vector<uint8_t>& full, int W, int H, const PixelRect& rect,
                              int factor)
{
    const std::vector<uint8_t> pixels = cutOut(full, W, H, rect);
    const int ow = (rect.width + factor - 1) / factor;
    const int oh = (rect.height + factor - 1) / factor;
    std::vector<uint8_t> out(static_cast<size_t>(ow) * oh * 4);
    for (int by = 0; by < oh; ++by)
        for (int bx = 0; bx < ow; ++bx)
            for (int k = 0; k < 4; ++k) {
                double sum = 0;
                int n = 0;
                for (int y = by * factor; y < std::min(rect.height, (by + 1) * factor); ++y)
                    for (int x = bx * factor; x < std::min(rect.width, (bx + 1) * factor); ++x) {
                        sum += pixels[(static_cast<size_t>(y) * rect.width + x) * 4 + k];
                        ++n;
                    }
                out[(static_cast<size_t>(by) * ow + bx) * 4 + k] =
                    static_cast<uint8_t>(std::floor(sum / n + 0.5));
            }
    return out;
}

std::string where(const PixelRect& r)
{
    return std::to_string(r.x) + "," + std::to_string(r.y) + "," + std::to_string(r.width) + "," +
           std::to_string(r.height);
}

// Rectangles touching every edge and corner of a W x H result, the whole result, single
// pixels, rectangles reaching past the result, and a few at random.
std::vector<PixelRect> regionsOf(int W, int H, std::mt19937& rng)
{
    std::vector<PixelRect> rects = {
        {0, 0, W, H},
        {0, 0, 1, 1},
        {W - 1, H - 1, 1, 1},
        {W - 1, 0, 1, H},
        {0, H - 1, W, 1},
        {0, 0, W / 2 + 1, 3},
        {W / 3, H / 3, W / 3 + 1, H / 3 + 1},
        {W - 5, H - 4, 9, 7},
        {-3, -2, 6, 5},
        {W / 2, 0, W - W / 2, H},
    };
    std::uniform_int_distribution<int> x(0, W - 1), y(0, H - 1);
    for (int i = 0; i < 6; ++i) {
        const int x0 = x(rng), y0 = y(rng);
        rects.push_back({x0, y0, std::uniform_int_distribution<int>(1, W - x0)(rng),
                         std::uniform_int_distribution<int>(1, H - y0)(rng)});
    }
    return rects;
}

// Each random scene under all sixteen combinations of the render options.
template <typename Check> void forEverySceneAndOption(int scenes, uint32_t seed, Check check)
{
    std::mt19937 rng(seed);
    for (int round = 0; round < scenes; ++round) {
        OwnedScene owned = RandomScene(rng, round % 3 == 2);
        for (int o = 0; o < 16; ++o) {
            owned.scene.options = {(o & 1) != 0, (o & 2) != 0, (o & 4) != 0, (o & 8) != 0};
            const DotRenderer renderer(owned.scene);
            check(renderer, rng,
                  "round " + std::to_string(round) + " options " + std::to_string(o));
        }
    }
}

TEST(RegionRender, RegionsAndSpansGiveTheFullRendersBytes)
{
    forEverySceneAndOption(
        25, 1612, [](const DotRenderer& renderer, std::mt19937& rng, const std::string& what) {
            const int W = renderer.width(), H = renderer.height();
            const std::vector<uint8_t> full = fullRender(renderer);
            for (const PixelRect& rect : regionsOf(W, H, rng)) {
                // A stride wider than the region must leave the bytes in between alone.
                const size_t stride = static_cast<size_t>(rect.width) * 4 + 8;
                std::vector<uint8_t> got(stride * rect.height, 0x5A);
                ASSERT_TRUE(renderer.RenderRegion(rect, got.data(), stride));
                std::vector<uint8_t> packed, spans;
                for (int r = 0; r < rect.height; ++r) {
                    const uint8_t* row = got.data() + stride * r;
                    packed.insert(packed.end(), row, row + rect.width * 4);
                    ASSERT_EQ(std::vector<uint8_t>(row + rect.width * 4, row + stride),
                              std::vector<uint8_t>(8, 0x5A));
                    std::vector<uint8_t> span(static_cast<size_t>(rect.width) * 4, 0x77);
                    renderer.RenderSpan(rect.y + r, rect.x, rect.right(), span.data());
                    spans.insert(spans.end(), span.begin(), span.end());
                }
                const std::vector<uint8_t> expected = cutOut(full, W, H, rect);
                ASSERT_EQ(packed, expected) << what << " region " << where(rect);
                ASSERT_EQ(spans, expected) << what << " spans " << where(rect);
            }
        });
}

TEST(RegionRender, ReducedViewsAverageTheFullRender)
{
    forEverySceneAndOption(
        8, 77, [](const DotRenderer& renderer, std::mt19937& rng, const std::string& what) {
            const int W = renderer.width(), H = renderer.height();
            const std::vector<uint8_t> full = fullRender(renderer);
            for (const PixelRect& rect : regionsOf(W, H, rng)) {
                for (int factor : {1, 2, 3, 5, 16, std::max(W, H) + 1}) {
                    const int ow = ReducedLength(rect.width, factor);
                    const int oh = ReducedLength(rect.height, factor);
                    std::vector<uint8_t> got(static_cast<size_t>(ow) * oh * 4, 0x33);
                    ASSERT_TRUE(RenderReduced(renderer, rect, factor, got.data(),
                                              static_cast<size_t>(ow) * 4, factor % 2 + 1));
                    ASSERT_EQ(got, averaged(full, W, H, rect, factor))
                        << what << " region " << where(rect) << " factor " << factor;
                }
            }
        });
}

TEST(RegionRender, DraftsAverageTheMiddleRowsOfTheirBlocksHalves)
{
    forEverySceneAndOption(
        3, 78, [](const DotRenderer& renderer, std::mt19937& rng, const std::string& what) {
            const int W = renderer.width(), H = renderer.height();
            const std::vector<uint8_t> full = fullRender(renderer);
            for (const PixelRect& rect : regionsOf(W, H, rng)) {
                const std::vector<uint8_t> pixels = cutOut(full, W, H, rect);
                for (int factor : {1, 2, 3, 5, 16}) {
                    const int ow = ReducedLength(rect.width, factor);
                    const int oh = ReducedLength(rect.height, factor);
                    std::vector<uint8_t> expected(static_cast<size_t>(ow) * oh * 4);
                    for (int by = 0; by < oh; ++by) {
                        const int top = by * factor;
                        const int rows = std::min(factor, rect.height - top);
                        const std::set<int> sampled{top + rows / 4, top + rows * 3 / 4};
                        for (int bx = 0; bx < ow; ++bx)
                            for (int k = 0; k < 4; ++k) {
                                double sum = 0;
                                int n = 0;
                                for (int y : sampled)
                                    for (int x = bx * factor;
                                         x < std::min(rect.width, (bx + 1) * factor); ++x, ++n)
                                        sum +=
                                            pixels[(static_cast<size_t>(y) * rect.width + x) * 4 +
                                                   k];
                                expected[(static_cast<size_t>(by) * ow + bx) * 4 + k] =
                                    static_cast<uint8_t>(std::floor(sum / n + 0.5));
                            }
                    }
                    std::vector<uint8_t> got(expected.size(), 0x33);
                    ASSERT_TRUE(RenderReducedDraft(renderer, rect, factor, got.data(),
                                                   static_cast<size_t>(ow) * 4));
                    ASSERT_EQ(got, expected)
                        << what << " region " << where(rect) << " factor " << factor;
                }
            }
        });
}

TEST(RegionRender, TilesJoinIntoTheReducedResult)
{
    std::mt19937 rng(5);
    for (int round = 0; round < 6; ++round) {
        const OwnedScene owned = RandomScene(rng, round % 2 == 1);
        const DotRenderer renderer(owned.scene);
        const int W = renderer.width(), H = renderer.height();
        const std::vector<uint8_t> full = fullRender(renderer);
        const TileGrid grid(W, H, 7); // small tiles, so that results span many
        ASSERT_LE(grid.reducedWidth(grid.levels() - 1), 7);
        ASSERT_LE(grid.reducedHeight(grid.levels() - 1), 7);
        for (int level = 0; level < grid.levels(); ++level) {
            const int f = TileGrid::factor(level);
            const int ow = grid.reducedWidth(level), oh = grid.reducedHeight(level);
            std::vector<uint8_t> joined(static_cast<size_t>(ow) * oh * 4, 0x11);
            for (const TileKey& key : grid.tilesFor(level, {0, 0, ow, oh})) {
                const PixelRect at = grid.reduced(key);
                ASSERT_TRUE(RenderTile(renderer, grid, key,
                                       joined.data() + (static_cast<size_t>(at.y) * ow + at.x) * 4,
                                       static_cast<size_t>(ow) * 4));
            }
            ASSERT_EQ(joined, averaged(full, W, H, {0, 0, W, H}, f))
                << "round " << round << " level " << level;
        }
    }
}

TEST(RegionRender, AStopRequestEndsARegionEarly)
{
    std::mt19937 rng(9);
    const OwnedScene owned = RandomScene(rng, false);
    const DotRenderer renderer(owned.scene);
    std::stop_source stop;
    stop.request_stop();
    const PixelRect all{0, 0, renderer.width(), renderer.height()};
    std::vector<uint8_t> out(static_cast<size_t>(all.width) * all.height * 4);
    EXPECT_FALSE(renderer.RenderRegion(all, out.data(), all.width * 4, stop.get_token()));
    EXPECT_FALSE(RenderReduced(renderer, all, 2, out.data(), all.width * 4, 2, stop.get_token()));
}

TEST(TileGrid, LevelsReductionsAndOrder)
{
    const TileGrid grid(1000, 300, 100);
    // 1000 -> 500 -> 250 -> 125 -> 63: five levels until the whole fits one tile.
    EXPECT_EQ(grid.levels(), 5);
    EXPECT_EQ(grid.reducedWidth(3), 125);
    EXPECT_EQ(grid.reducedHeight(3), 38);
    EXPECT_EQ(grid.columns(3), 2);
    EXPECT_EQ(grid.rows(0), 3);
    EXPECT_EQ(grid.source({3, 1, 0}), (PixelRect{800, 0, 200, 300}));
    EXPECT_EQ(grid.reduced({3, 1, 0}), (PixelRect{100, 0, 25, 38}));
    EXPECT_FALSE(grid.contains({3, 2, 0}));

    struct {
        double scale;
        int level;
    } const scales[] = {{8, 0}, {1, 0}, {0.99, 0}, {0.5, 1}, {0.3, 1}, {0.25, 2}, {1e-6, 4}};
    for (const auto& s : scales)
        EXPECT_EQ(grid.levelFor(s.scale), s.level) << s.scale;

    // A view centred on tile (5, 1) of level 0 lists it first and its far corners last.
    const std::vector<TileKey> keys = grid.tilesFor(0, {450, 50, 201, 200});
    ASSERT_EQ(keys.size(), 9u);
    EXPECT_EQ(keys.front(), (TileKey{0, 5, 1}));
    // The four edge neighbours come before any corner.
    for (size_t i = 1; i < keys.size(); ++i)
        EXPECT_EQ(keys[i].row == 1 || keys[i].column == 5, i < 5) << i;
    EXPECT_TRUE(grid.tilesFor(0, {1000, 0, 50, 50}).empty());
    EXPECT_EQ(TileGrid(0, 0).levels(), 1);
}

} // namespace
} // namespace lumexa
