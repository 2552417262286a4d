// What a zoomable view of the L scene (rotation and masks) costs: a 512 x 512 region at full
// size on one thread, the fit-to-window view (the whole result averaged to about 1000 pixels
// across) on two threads, both straight and through the tile workers, and a full-size region
// against the whole render's rows for the same renderer; and the fit view of a result of
// 100000 x 16384 pixels through the tile workers.
#include "scenes.h"

#include "core/render/dot_renderer.h"
#include "core/view/reduced_view.h"
#include "core/view/tile_grid.h"
#include "core/view/tile_workers.h"

#include <benchmark/benchmark.h>

#include <chrono>
#include <condition_variable>
#include <memory>
#include <mutex>

namespace lumexa::bench
{
namespace
{

const BenchScene& sceneL()
{
    static const BenchScene b = MakeBenchScene(kSceneL, SceneMode::RotationMasks);
    return b;
}

// A renderer whose sample tables are built already, as they are once a view has been shown.
std::shared_ptr<const DotRenderer> warmRenderer()
{
    auto renderer = std::make_shared<const DotRenderer>(sceneL().scene);
    std::vector<uint8_t> row(static_cast<size_t>(renderer->width()) * 4);
    for (int py = 0; py < renderer->height(); py += 7)
        renderer->RenderRow(py, row.data());
    return renderer;
}

// A 512 x 512 tile in the middle of the result, at full size, on one thread.
void BM_RegionTile512(benchmark::State& state)
{
    const auto renderer = warmRenderer();
    const PixelRect rect{renderer->width() / 2 - 256, renderer->height() / 2 - 256, 512, 512};
    std::vector<uint8_t> out(512 * 512 * 4);
    for (auto _ : state) {
        renderer->RenderRegion(rect, out.data(), 512 * 4);
        benchmark::DoNotOptimize(out.data());
    }
    state.SetLabel(sceneL().name);
}

// The fit view: the whole result reduced 16 times (1600 x 256), two threads.
void BM_FitView(benchmark::State& state)
{
    const auto renderer = warmRenderer();
    const PixelRect all{0, 0, renderer->width(), renderer->height()};
    const int factor = 16;
    const int ow = ReducedLength(all.width, factor);
    std::vector<uint8_t> out(static_cast<size_t>(ow) * ReducedLength(all.height, factor) * 4);
    for (auto _ : state) {
        RenderReduced(*renderer, all, factor, out.data(), static_cast<size_t>(ow) * 4, 2);
        benchmark::DoNotOptimize(out.data());
    }
    state.SetLabel(sceneL().name + ", " + std::to_string(ow) + " px across");
}

// The same view as the window asks for it: every tile of its level from two tile workers.
void BM_FitViewTiles(benchmark::State& state)
{
    const auto renderer = warmRenderer();
    const TileGrid grid(renderer->width(), renderer->height());
    const int level = grid.levelFor(1000.0 / renderer->width());
    const std::vector<TileKey> keys =
        grid.tilesFor(level, {0, 0, grid.reducedWidth(level), grid.reducedHeight(level)});
    std::mutex mutex;
    std::condition_variable done;
    size_t delivered = 0;
    TileWorkers workers(2, [&](RenderedTile&&) {
        std::lock_guard lock(mutex);
        ++delivered;
        done.notify_all();
    });
    uint64_t generation = 0;
    for (auto _ : state) {
        {
            std::lock_guard lock(mutex);
            delivered = 0;
        }
        workers.setSource(renderer, grid, ++generation);
        workers.want(keys);
        std::unique_lock lock(mutex);
        done.wait(lock, [&] { return delivered == keys.size(); });
    }
    state.SetLabel(sceneL().name + ", level " + std::to_string(level) + ", " +
                   std::to_string(keys.size()) + " tiles");
}

// A 1024 x 1024 region beside the whole result's rows, one thread each.
void BM_Region1024(benchmark::State& state)
{
    const auto renderer = warmRenderer();
    const PixelRect rect{renderer->width() / 3, renderer->height() / 3, 1024, 1024};
    std::vector<uint8_t> out(1024 * 1024 * 4);
    for (auto _ : state) {
        renderer->RenderRegion(rect, out.data(), 1024 * 4);
        benchmark::DoNotOptimize(out.data());
    }
}

// A result of 100032 x 16384 pixels (1563 x 256 dots of 64-pixel LEDs, rotation and masks).
const BenchScene& sceneHuge()
{
    static constexpr SceneSize kHuge{"100032 x 16384", 1563, 256, 64};
    static const BenchScene b = MakeBenchScene(kHuge, SceneMode::RotationMasks);
    return b;
}

// Its fit view as the window asks for it, from two tile workers: drafts of every tile first,
// then the exact tiles. The time is until the last exact tile; "first" is the time until the
// first tile (a draft) could be drawn.
void BM_FitViewHugeTiles(benchmark::State& state)
{
    const auto renderer = std::make_shared<const DotRenderer>(sceneHuge().scene);
    const TileGrid grid(renderer->width(), renderer->height());
    const int level = grid.levelFor(1000.0 / renderer->width());
    const std::vector<TileKey> keys =
        grid.tilesFor(level, {0, 0, grid.reducedWidth(level), grid.reducedHeight(level)});
    const std::vector<TileKey> drafts = level >= kFirstDraftLevel ? keys : std::vector<TileKey>{};
    std::mutex mutex;
    std::condition_variable done;
    size_t exact = 0;
    std::chrono::steady_clock::time_point firstAt;
    bool first = false;
    TileWorkers workers(2, [&](RenderedTile&& tile) {
        std::lock_guard lock(mutex);
        if (!first) {
            first = true;
            firstAt = std::chrono::steady_clock::now();
        }
        if (!tile.draft)
            ++exact;
        done.notify_all();
    });
    uint64_t generation = 0;
    double firstSeconds = 0;
    for (auto _ : state) {
        {
            std::lock_guard lock(mutex);
            exact = 0;
            first = false;
        }
        const auto start = std::chrono::steady_clock::now();
        workers.setSource(renderer, grid, ++generation);
        workers.want(keys, drafts);
        std::unique_lock lock(mutex);
        done.wait(lock, [&] { return exact == keys.size(); });
        firstSeconds += std::chrono::duration<double>(firstAt - start).count();
    }
    state.counters["first_ms"] =
        benchmark::Counter(firstSeconds * 1000, benchmark::Counter::kAvgIterations);
    state.SetLabel(sceneHuge().name + ", level " + std::to_string(level) + ", " +
                   std::to_string(keys.size()) + " tiles");
}

void BM_WholeRows(benchmark::State& state)
{
    const auto renderer = warmRenderer();
    std::vector<uint8_t> row(static_cast<size_t>(renderer->width()) * 4);
    for (auto _ : state) {
        for (int py = 0; py < renderer->height(); ++py) {
            renderer->RenderRow(py, row.data());
            benchmark::DoNotOptimize(row.data());
        }
    }
}

BENCHMARK(BM_RegionTile512)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FitView)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_FitViewTiles)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_Region1024)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FitViewHugeTiles)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);
BENCHMARK(BM_WholeRows)->Unit(benchmark::kMillisecond);

} // namespace
} // namespace lumexa::bench

BENCHMARK_MAIN();
