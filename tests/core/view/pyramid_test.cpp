// The pyramid's levels and tiles as deep zoom viewers and pyramidal TIFF readers expect
// them: sizes rounded up at every halving, tiles with their overlap clipped at the edges.
#include "core/view/pyramid.h"

#include "core/base/error.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace lumexa
{
namespace
{

struct ExpectedTile {
    TileKey key;
    PixelRect rect;
};

struct DeepZoomCase {
    std::string name;
    int width;
    int height;
    int levels;
    // Level 0 (full size) and the level below it: columns x rows.
    int columns0, rows0, columns1, rows1;
    std::vector<ExpectedTile> tiles;
};

TEST(Pyramid, DeepZoomLevelsAndTiles)
{
    const DeepZoomCase cases[] = {
        {"1x1", 1, 1, 1, 1, 1, 0, 0, {{{0, 0, 0}, {0, 0, 1, 1}}}},
        {"power of two",
         256,
         256,
         9,
         2,
         2,
         1,
         1,
         {{{0, 0, 0}, {0, 0, 255, 255}},
          {{0, 1, 0}, {253, 0, 3, 255}},
          {{0, 1, 1}, {253, 253, 3, 3}},
          {{1, 0, 0}, {0, 0, 128, 128}},
          {{8, 0, 0}, {0, 0, 1, 1}}}},
        {"power of two plus one",
         257,
         257,
         10,
         2,
         2,
         1,
         1,
         {{{0, 1, 1}, {253, 253, 4, 4}},
          {{1, 0, 0}, {0, 0, 129, 129}},
          {{8, 0, 0}, {0, 0, 2, 2}},
          {{9, 0, 0}, {0, 0, 1, 1}}}},
        {"very wide",
         100000,
         3,
         18,
         394,
         1,
         197,
         1,
         {{{0, 0, 0}, {0, 0, 255, 3}},
          {{0, 1, 0}, {253, 0, 256, 3}},
          {{0, 393, 0}, {99821, 0, 179, 3}},
          {{1, 196, 0}, {49783, 0, 217, 2}},
          {{2, 0, 0}, {0, 0, 255, 1}},
          {{17, 0, 0}, {0, 0, 1, 1}}}},
        {"very tall",
         3,
         100000,
         18,
         1,
         394,
         1,
         197,
         {{{0, 0, 393}, {0, 99821, 3, 179}}, {{16, 0, 0}, {0, 0, 1, 2}}}},
    };
    for (const DeepZoomCase& c : cases) {
        SCOPED_TRACE(c.name);
        const Pyramid p = Pyramid::DeepZoom(c.width, c.height);
        EXPECT_EQ(p.tileSize(), 254);
        EXPECT_EQ(p.overlap(), 1);
        ASSERT_EQ(p.levels(), c.levels);
        EXPECT_EQ(p.deepZoomLevel(0), c.levels - 1);
        EXPECT_EQ(p.deepZoomLevel(c.levels - 1), 0);
        EXPECT_EQ(p.levelWidth(c.levels - 1), 1);
        EXPECT_EQ(p.levelHeight(c.levels - 1), 1);
        EXPECT_EQ(p.columns(0), c.columns0);
        EXPECT_EQ(p.rows(0), c.rows0);
        if (c.levels > 1) {
            EXPECT_EQ(p.columns(1), c.columns1);
            EXPECT_EQ(p.rows(1), c.rows1);
        }
        for (int k = 0; k < p.levels(); ++k) {
            // Each level is the one above halved and rounded up.
            const long long w = k == 0 ? c.width : (p.levelWidth(k - 1) + 1) / 2;
            const long long h = k == 0 ? c.height : (p.levelHeight(k - 1) + 1) / 2;
            EXPECT_EQ(p.levelWidth(k), w) << k;
            EXPECT_EQ(p.levelHeight(k), h) << k;
        }
        for (const ExpectedTile& t : c.tiles) {
            SCOPED_TRACE("level " + std::to_string(t.key.level) + " tile " +
                         std::to_string(t.key.column) + "_" + std::to_string(t.key.row));
            EXPECT_EQ(p.tile(t.key), t.rect);
        }
    }
}

// Whatever the size, the cores of a level's tiles cover it once, and each tile is its core
// grown by the overlap where the level goes on.
TEST(Pyramid, CoresCoverEachLevelOnceAndTilesOverlapThem)
{
    const int sizes[][4] = {{1, 1, 2, 0}, {7, 3, 2, 1}, {33, 65, 4, 1}, {100, 9, 6, 2},
                            {515, 258, 254, 1}, {600, 300, 256, 0}};
    for (const auto& s : sizes) {
        const Pyramid p = s[3] == 0 && s[2] == 256 ? Pyramid::Tiled(s[0], s[1], s[2])
                                                   : Pyramid::DeepZoom(s[0], s[1], s[2], s[3]);
        int64_t pixels = 0;
        int64_t tiles = 0;
        for (int k = 0; k < p.levels(); ++k) {
            std::vector<int> covered(static_cast<size_t>(p.levelWidth(k)) * p.levelHeight(k));
            for (int r = 0; r < p.rows(k); ++r) {
                for (int c = 0; c < p.columns(k); ++c) {
                    const PixelRect core = p.core({k, c, r});
                    const PixelRect tile = p.tile({k, c, r});
                    ++tiles;
                    pixels += static_cast<int64_t>(tile.width) * tile.height;
                    ASSERT_FALSE(core.empty());
                    EXPECT_EQ(tile.x, std::max(0, core.x - p.overlap()));
                    EXPECT_EQ(tile.right(), std::min(p.levelWidth(k), core.right() + p.overlap()));
                    EXPECT_EQ(tile.y, std::max(0, core.y - p.overlap()));
                    EXPECT_EQ(tile.bottom(),
                              std::min(p.levelHeight(k), core.bottom() + p.overlap()));
                    for (int y = core.y; y < core.bottom(); ++y)
                        for (int x = core.x; x < core.right(); ++x)
                            ++covered[static_cast<size_t>(y) * p.levelWidth(k) + x];
                }
            }
            for (int n : covered)
                ASSERT_EQ(n, 1) << "level " << k;
        }
        EXPECT_EQ(p.tileCount(), tiles);
        EXPECT_EQ(p.tilePixels(), pixels);
    }
}

TEST(Pyramid, TiledLevelsEndWithTheFirstThatFitsOneTile)
{
    EXPECT_EQ(Pyramid::Tiled(256, 256).levels(), 1);
    EXPECT_EQ(Pyramid::Tiled(257, 10).levels(), 2);
    const Pyramid big = Pyramid::Tiled(64000, 16000);
    EXPECT_EQ(big.levels(), 9);
    EXPECT_EQ(big.levelWidth(8), 250);
    EXPECT_EQ(big.levelHeight(8), 63);
    EXPECT_EQ(big.overlap(), 0);
    EXPECT_EQ(big.tile({0, 249, 62}), (PixelRect{63744, 15872, 256, 128}));
}

TEST(Pyramid, RefusesWhatCannotBeTiled)
{
    EXPECT_THROW(Pyramid::DeepZoom(0, 5), Error);
    EXPECT_THROW(Pyramid::DeepZoom(5, 5, 5, 1), Error);
    EXPECT_THROW(Pyramid::DeepZoom(5, 5, 4, 4), Error);
    EXPECT_THROW(Pyramid::DeepZoom(5, 5, 4, -1), Error);
}

} // namespace
} // namespace lumexa
