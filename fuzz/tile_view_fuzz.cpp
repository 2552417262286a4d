// Small random render scenes, chosen by the fuzzer's bytes, seen through the zoomable
// view's tiles and the reduced views: a tile holds the same pixels as the reduced view of
// the part it covers, which are the block averages of the full-size rows the reference
// composer makes; a draft fills its pixels without reading past them; the tiles the view
// asks for lie in the grid.
#include "fuzz_check.h"
#include "core/render/dot_renderer.h"
#include "core/view/reduced_view.h"
#include "core/view/tile_grid.h"
#include "support/random_scenes.h"
#include "support/reference_composer.h"

#include <cstdint>
#include <cstring>
#include <unordered_set>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 16)
        return 0;
    uint32_t seed;
    std::memcpy(&seed, data, 4);
    std::mt19937 rng(seed);
    lumexa::testing::OwnedScene owned = lumexa::testing::RandomScene(rng, data[4] & 1);
    const lumexa::RenderScene& scene = owned.scene;
    const int W = scene.width, H = scene.height;
    if (W <= 0 || H <= 0)
        return 0;
    const lumexa::DotRenderer renderer(scene, (data[4] & 2) ? 0 : 1u << 20);

    // The full-size pixels by the reference composer.
    const size_t rowBytes = static_cast<size_t>(W) * 4;
    std::vector<uint8_t> plain(rowBytes * static_cast<size_t>(H));
    for (int y = 0; y < H; ++y)
        lumexa::reference::RenderRow(scene, y, plain.data() + rowBytes * static_cast<size_t>(y));

    const int tileSize = 1 + data[5] % 64;
    const lumexa::TileGrid grid(W, H, tileSize);
    Check(grid.levels() >= 1);
    const int level = data[6] % grid.levels();
    Check(grid.columns(level) >= 1 && grid.rows(level) >= 1);
    const lumexa::TileKey key{level, data[7] % grid.columns(level), data[8] % grid.rows(level)};
    Check(grid.contains(key));
    const lumexa::PixelRect source = grid.source(key), reduced = grid.reduced(key);
    Check(!source.empty() && source.right() <= W && source.bottom() <= H);
    const int factor = lumexa::TileGrid::factor(level);
    Check(lumexa::ReducedLength(source.width, factor) == reduced.width);
    Check(lumexa::ReducedLength(source.height, factor) == reduced.height);

    // The tile, with a guard row and column around it that nothing may touch.
    const size_t stride = static_cast<size_t>(reduced.width + 1) * 4;
    std::vector<uint8_t> tile(stride * static_cast<size_t>(reduced.height + 1), 0xA5);
    Check(lumexa::RenderTile(renderer, grid, key, tile.data(), stride));
    std::vector<uint8_t> draft(tile.size(), 0xA5);
    Check(lumexa::RenderTileDraft(renderer, grid, key, draft.data(), stride));
    for (int y = 0; y <= reduced.height; ++y)
        for (int x = 0; x <= reduced.width; ++x)
            if (x == reduced.width || y == reduced.height)
                for (int c = 0; c < 4; ++c) {
                    const size_t at = stride * static_cast<size_t>(y) + 4 * x + c;
                    Check(tile[at] == 0xA5 && draft[at] == 0xA5);
                }

    // The block averages of the reference pixels, rounded to nearest.
    for (int by = 0; by < reduced.height; ++by)
        for (int bx = 0; bx < reduced.width; ++bx) {
            const int x0 = source.x + bx * factor, y0 = source.y + by * factor;
            const int x1 = std::min(x0 + factor, source.right());
            const int y1 = std::min(y0 + factor, source.bottom());
            const uint64_t count = static_cast<uint64_t>(x1 - x0) * (y1 - y0);
            for (int c = 0; c < 4; ++c) {
                uint64_t sum = 0;
                for (int y = y0; y < y1; ++y)
                    for (int x = x0; x < x1; ++x)
                        sum += plain[rowBytes * static_cast<size_t>(y) + 4 * x + c];
                Check(tile[stride * static_cast<size_t>(by) + 4 * bx + c] ==
                      (sum + count / 2) / count);
            }
        }

    // A reduced view of any rectangle, on one or two threads, agrees with the tile where
    // they show the same blocks; outside the result counts as black and transparent.
    const lumexa::PixelRect rect{data[9] % W - 2, data[10] % H - 2, 1 + data[11] % (W + 4),
                                 1 + data[12] % (H + 4)};
    const int f = 1 + data[13] % 9;
    const int rw = lumexa::ReducedLength(rect.width, f), rh = lumexa::ReducedLength(rect.height, f);
    const size_t rstride = static_cast<size_t>(rw) * 4;
    std::vector<uint8_t> one(rstride * static_cast<size_t>(rh)), two(one.size());
    Check(lumexa::RenderReduced(renderer, rect, f, one.data(), rstride, 1));
    Check(lumexa::RenderReduced(renderer, rect, f, two.data(), rstride, 2));
    Check(one == two);
    for (int by = 0; by < rh; ++by)
        for (int bx = 0; bx < rw; ++bx) {
            const int x0 = rect.x + bx * f, y0 = rect.y + by * f;
            const int x1 = std::min(x0 + f, rect.right()), y1 = std::min(y0 + f, rect.bottom());
            const uint64_t count = static_cast<uint64_t>(x1 - x0) * (y1 - y0);
            for (int c = 0; c < 4; ++c) {
                uint64_t sum = 0;
                for (int y = y0; y < y1; ++y)
                    for (int x = x0; x < x1; ++x)
                        if (x >= 0 && y >= 0 && x < W && y < H)
                            sum += plain[rowBytes * static_cast<size_t>(y) + 4 * x + c];
                Check(one[rstride * static_cast<size_t>(by) + 4 * bx + c] ==
                      (sum + count / 2) / count);
            }
        }

    // The tiles a view of the level asks for lie in the grid, once each.
    const lumexa::PixelRect view{data[14] - 128, data[15] - 128, data[5] * 3, data[8] * 3};
    std::unordered_set<lumexa::TileKey, lumexa::TileKeyHash> seen;
    for (const lumexa::TileKey& k : grid.tilesFor(level, view))
        Check(grid.contains(k) && k.level == level && seen.insert(k).second);
    return 0;
}
