// The tile workers deliver the tiles asked for, with the pixels RenderTile gives them, and
// the drafts asked for before any exact tile.
#include "core/view/tile_workers.h"

#include "support/random_scenes.h"

#include <gtest/gtest.h>

#include <chrono>
#include <condition_variable>
#include <mutex>

namespace lumexa
{
namespace
{

class Deliveries
{
  public:
    void add(RenderedTile&& tile)
    {
        std::lock_guard lock(mutex_);
        tiles_.push_back(std::move(tile));
        changed_.notify_all();
    }
    // Waits (within a generous bound, for a loaded machine) until `count` tiles came.
    std::vector<RenderedTile> waitFor(size_t count)
    {
        std::unique_lock lock(mutex_);
        changed_.wait_for(lock, std::chrono::seconds(60), [&] { return tiles_.size() >= count; });
        return tiles_;
    }

  private:
    std::mutex mutex_;
    std::condition_variable changed_;
    std::vector<RenderedTile> tiles_;
};

TEST(TileWorkers, DeliversEveryWantedTileWithTheEnginesPixels)
{
    std::mt19937 rng(11);
    const testing::OwnedScene owned = testing::RandomScene(rng, false);
    auto renderer = std::make_shared<const DotRenderer>(owned.scene);
    const TileGrid grid(renderer->width(), renderer->height(), 6);
    Deliveries deliveries;
    TileWorkers workers(2, [&](RenderedTile&& t) { deliveries.add(std::move(t)); });
    workers.setSource(renderer, grid, 7);
    std::vector<TileKey> wanted;
    for (int level = 0; level < grid.levels(); ++level) {
        const std::vector<TileKey> keys =
            grid.tilesFor(level, {0, 0, grid.reducedWidth(level), grid.reducedHeight(level)});
        wanted.insert(wanted.end(), keys.begin(), keys.end());
    }
    // A tile outside the grid is ignored rather than composed.
    wanted.push_back({0, 1000, 1000});
    workers.want(wanted);
    const std::vector<RenderedTile> tiles = deliveries.waitFor(wanted.size() - 1);
    ASSERT_EQ(tiles.size(), wanted.size() - 1);
    for (const RenderedTile& tile : tiles) {
        EXPECT_EQ(tile.generation, 7u);
        const PixelRect at = grid.reduced(tile.key);
        ASSERT_EQ(tile.width, at.width);
        ASSERT_EQ(tile.height, at.height);
        std::vector<uint8_t> expected(tile.rgba.size());
        RenderTile(*renderer, grid, tile.key, expected.data(), static_cast<size_t>(at.width) * 4);
        EXPECT_EQ(tile.rgba, expected);
    }
    EXPECT_EQ(workers.pending(), 0u);
}

TEST(TileWorkers, DraftsComeBeforeEveryExactTile)
{
    std::mt19937 rng(12);
    const testing::OwnedScene owned = testing::RandomScene(rng, true);
    auto renderer = std::make_shared<const DotRenderer>(owned.scene);
    const TileGrid grid(renderer->width(), renderer->height(), 2);
    const int level = 1;
    const std::vector<TileKey> keys =
        grid.tilesFor(level, {0, 0, grid.reducedWidth(level), grid.reducedHeight(level)});
    ASSERT_GT(keys.size(), 2u);
    const std::vector<TileKey> drafts(keys.begin(), keys.begin() + 2);
    Deliveries deliveries;
    // One worker, so that the order of delivery is the order of the queue.
    TileWorkers workers(1, [&](RenderedTile&& t) { deliveries.add(std::move(t)); });
    workers.setSource(renderer, grid, 1);
    workers.want(keys, drafts);
    const std::vector<RenderedTile> tiles = deliveries.waitFor(keys.size() + drafts.size());
    ASSERT_EQ(tiles.size(), keys.size() + drafts.size());
    for (size_t i = 0; i < tiles.size(); ++i) {
        const RenderedTile& tile = tiles[i];
        const bool draft = i < drafts.size();
        ASSERT_EQ(tile.draft, draft) << i;
        EXPECT_EQ(tile.key, draft ? drafts[i] : keys[i - drafts.size()]);
        const PixelRect at = grid.reduced(tile.key);
        std::vector<uint8_t> expected(tile.rgba.size());
        (draft ? RenderTileDraft : RenderTile)(*renderer, grid, tile.key, expected.data(),
                                               static_cast<size_t>(at.width) * 4, {});
        EXPECT_EQ(tile.rgba, expected) << i;
    }
}

} // namespace
} // namespace lumexa
