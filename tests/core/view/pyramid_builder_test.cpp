// The pyramid's tiles: level 0 holds the full render's bytes, every smaller level those of
// the render reduced 2^n times, and so (away from a cut edge) within 1 of the level above
// reduced 2 x 2; each tile is written once, with its overlap, on any number of threads. Small tiles make the rings
// of rows turn over many times even on small scenes.
#include "core/view/pyramid_builder.h"

#include "core/base/error.h"
#include "core/view/reduced_view.h"
#include "support/random_scenes.h"

#include <gtest/gtest.h>

#include <atomic>
#include <map>
#include <mutex>
#include <stdexcept>
#include <string>
#include <tuple>
#include <vector>

namespace lumexa
{
namespace
{

struct Image {
    int width = 0;
    int height = 0;
    std::vector<uint8_t> rgba;
};

// Keeps every tile it is given.
class KeepingSink : public TileSink
{
  public:
    void prepare(int threads) override { threads_ = threads; }
    void writeTile(const TileKey& key, const PixelRect& rect, const uint8_t* rgba, size_t stride,
                   int thread) override
    {
        if (thread < 0 || thread >= threads_)
            throw std::logic_error("thread number out of range");
        Image tile{rect.width, rect.height, {}};
        for (int y = 0; y < rect.height; ++y)
            tile.rgba.insert(tile.rgba.end(), rgba + y * stride, rgba + y * stride + rect.width * 4);
        std::lock_guard lock(mutex_);
        const auto k = std::tuple(key.level, key.column, key.row);
        ++written_[k];
        tiles_[k] = {rect, std::move(tile)};
    }

    // Level `level` put together from its tiles; every tile must have come once, and agree
    // with its neighbours where they overlap.
    Image level(const Pyramid& p, int level) const
    {
        Image out{p.levelWidth(level), p.levelHeight(level), {}};
        out.rgba.assign(static_cast<size_t>(out.width) * out.height * 4, 0);
        std::vector<bool> set(static_cast<size_t>(out.width) * out.height);
        for (int r = 0; r < p.rows(level); ++r) {
            for (int c = 0; c < p.columns(level); ++c) {
                const auto k = std::tuple(level, c, r);
                EXPECT_EQ(written_.count(k) ? written_.at(k) : 0, 1) << level << " " << c << " " << r;
                if (!tiles_.count(k))
                    continue;
                const auto& [rect, tile] = tiles_.at(k);
                EXPECT_EQ(rect, p.tile({level, c, r}));
                for (int y = 0; y < rect.height; ++y) {
                    for (int x = 0; x < rect.width; ++x) {
                        const size_t at = static_cast<size_t>(rect.y + y) * out.width + rect.x + x;
                        const uint8_t* px = tile.rgba.data() + (static_cast<size_t>(y) * rect.width + x) * 4;
                        if (set[at]) {
                            EXPECT_TRUE(std::equal(px, px + 4, out.rgba.data() + at * 4))
                                << "overlap differs at level " << level;
                        }
                        std::copy(px, px + 4, out.rgba.data() + at * 4);
                        set[at] = true;
                    }
                }
            }
        }
        return out;
    }
    size_t count() const { return written_.size(); }

  private:
    int threads_ = 0;
    mutable std::mutex mutex_;
    std::map<std::tuple<int, int, int>, int> written_;
    std::map<std::tuple<int, int, int>, std::pair<PixelRect, Image>> tiles_;
};

Image Reduced(const DotRenderer& renderer, int factor)
{
    Image out{ReducedLength(renderer.width(), factor), ReducedLength(renderer.height(), factor), {}};
    out.rgba.resize(static_cast<size_t>(out.width) * out.height * 4);
    if (factor == 1)
        renderer.RenderRegion({0, 0, renderer.width(), renderer.height()}, out.rgba.data(),
                              static_cast<size_t>(out.width) * 4);
    else
        RenderReduced(renderer, {0, 0, renderer.width(), renderer.height()}, factor,
                      out.rgba.data(), static_cast<size_t>(out.width) * 4);
    return out;
}

// The level above reduced 2 x 2 by AverageBlockSums, rounded once more.
Image Halved(const Image& above)
{
    Image out{ReducedLength(above.width, 2), ReducedLength(above.height, 2), {}};
    out.rgba.resize(static_cast<size_t>(out.width) * out.height * 4);
    std::vector<uint64_t> sums(static_cast<size_t>(out.width) * 4);
    for (int y = 0; y < out.height; ++y) {
        std::fill(sums.begin(), sums.end(), 0);
        const int rows = std::min(2, above.height - 2 * y);
        for (int r = 0; r < rows; ++r)
            AddRowToBlockSums(above.rgba.data() + static_cast<size_t>(2 * y + r) * above.width * 4,
                              above.width, 2, sums.data());
        AverageBlockSums(sums.data(), above.width, 2, rows,
                         out.rgba.data() + static_cast<size_t>(y) * out.width * 4);
    }
    return out;
}

TEST(PyramidBuilder, LevelsAreTheReducedRendersOnAnyThreadsAndTiles)
{
    struct Shape {
        int tileSize;
        int overlap;
        int threads;
    };
    const Shape shapes[] = {{254, 1, 2}, {2, 1, 1}, {4, 1, 3}, {6, 0, 2}, {8, 2, 2}};
    for (unsigned seed = 1; seed <= 6; ++seed) {
        std::mt19937 rng(seed);
        const testing::OwnedScene owned = testing::RandomScene(rng, seed % 2 == 0);
        const DotRenderer renderer(owned.scene);
        if (renderer.width() < 1 || renderer.height() < 1)
            continue;
        for (const Shape& shape : shapes) {
            SCOPED_TRACE("seed " + std::to_string(seed) + ", tiles " +
                         std::to_string(shape.tileSize) + "+" + std::to_string(shape.overlap) +
                         " on " + std::to_string(shape.threads) + " threads, " +
                         std::to_string(renderer.width()) + " x " +
                         std::to_string(renderer.height()));
            const Pyramid p =
                Pyramid::DeepZoom(renderer.width(), renderer.height(), shape.tileSize, shape.overlap);
            KeepingSink sink;
            RunProgress progress;
            ASSERT_TRUE(BuildPyramid(renderer, p, sink, shape.threads, {}, &progress));
            EXPECT_EQ(sink.count(), static_cast<size_t>(p.tileCount()));
            EXPECT_EQ(progress.done(), p.tilePixels());
            Image above;
            for (int k = 0; k < p.levels(); ++k) {
                const Image level = sink.level(p, k);
                const Image reduced = Reduced(renderer, 1 << k);
                ASSERT_EQ(level.rgba, reduced.rgba) << "level " << k;
                // Where a pixel stands for a whole block of 2^k x 2^k full-size pixels, the
                // level above halved gives it within 1. At a right or bottom edge cut inside
                // a block the two differ by more: the level above weighs its partial pixel
                // as much as a whole one, the area average by the pixels it holds.
                if (k > 0) {
                    const Image halved = Halved(above);
                    const int wholeColumns = renderer.width() >> k;
                    const int wholeRows = renderer.height() >> k;
                    for (int y = 0; y < wholeRows; ++y)
                        for (int x = 0; x < wholeColumns; ++x)
                            for (int c = 0; c < 4; ++c) {
                                const size_t i = (static_cast<size_t>(y) * level.width + x) * 4 + c;
                                ASSERT_LE(std::abs(level.rgba[i] - halved.rgba[i]), 1)
                                    << "level " << k << " at " << x << ", " << y;
                            }
                }
                above = level;
            }
        }
    }
}

// A sink that fails or asks to stop after a number of tiles.
class FailingSink : public TileSink
{
  public:
    FailingSink(int after, std::stop_source* stop) : after_(after), stop_(stop) {}
    void prepare(int) override {}
    void writeTile(const TileKey&, const PixelRect&, const uint8_t*, size_t, int) override
    {
        if (++count_ < after_)
            return;
        if (stop_)
            stop_->request_stop();
        else
            throw Error("Cannot write file tile.png: No space left on device", "tile.png",
                        "No space left on device");
    }
    int count() const { return count_; }

  private:
    const int after_;
    std::stop_source* stop_;
    std::atomic<int> count_{0};
};

TEST(PyramidBuilder, AFailedTileEndsTheRunWithItsError)
{
    std::mt19937 rng(3);
    const testing::OwnedScene owned = testing::RandomScene(rng, false);
    const DotRenderer renderer(owned.scene);
    const Pyramid p = Pyramid::DeepZoom(renderer.width(), renderer.height(), 2, 1);
    ASSERT_GT(p.tileCount(), 20);
    FailingSink sink(10, nullptr);
    try {
        BuildPyramid(renderer, p, sink, 2);
        ADD_FAILURE() << "no error";
    } catch (const Error& e) {
        EXPECT_EQ(e.file(), "tile.png");
    }
}

TEST(PyramidBuilder, AStopRequestEndsTheRunWithoutTheRestOfTheTiles)
{
    std::mt19937 rng(4);
    const testing::OwnedScene owned = testing::RandomScene(rng, false);
    const DotRenderer renderer(owned.scene);
    const Pyramid p = Pyramid::DeepZoom(renderer.width(), renderer.height(), 2, 1);
    ASSERT_GT(p.tileCount(), 40);
    std::stop_source stop;
    FailingSink sink(10, &stop);
    EXPECT_FALSE(BuildPyramid(renderer, p, sink, 2, stop.get_token()));
    EXPECT_LT(sink.count(), p.tileCount());
}

TEST(PyramidBuilder, RefusesAPyramidOfAnotherSize)
{
    std::mt19937 rng(5);
    const testing::OwnedScene owned = testing::RandomScene(rng, false);
    const DotRenderer renderer(owned.scene);
    KeepingSink sink;
    EXPECT_THROW(BuildPyramid(renderer, Pyramid::DeepZoom(renderer.width() + 1, 1), sink), Error);
}

} // namespace
} // namespace lumexa
