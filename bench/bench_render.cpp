// Rows per second of the dot renderer on the scenes S, M and L in each mode, on one thread
// (and L with masks on two);
// the reference composer on M with rotation for comparison; and the floor: writing the same
// number of bytes to a file, one buffered write per row.
#include "scenes.h"

#include "core/render/dot_renderer.h"
#include "support/reference_composer.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <filesystem>
#include <thread>

namespace lumexa::bench
{
namespace
{

const SceneSize* sizeOf(int index)
{
    static const SceneSize* sizes[] = {&kSceneS, &kSceneM, &kSceneL};
    return sizes[index];
}

// A whole result per iteration, renderer construction (index, lazily built tables) included.
void BM_DotRenderer(benchmark::State& state)
{
    const SceneSize& size = *sizeOf(static_cast<int>(state.range(0)));
    const auto mode = static_cast<SceneMode>(state.range(1));
    const BenchScene b = MakeBenchScene(size, mode);
    std::vector<uint8_t> row(static_cast<size_t>(b.scene.width) * 4);
    for (auto _ : state) {
        const DotRenderer renderer(b.scene);
        for (int py = 0; py < b.scene.height; ++py) {
            renderer.RenderRow(py, row.data());
            benchmark::DoNotOptimize(row.data());
        }
    }
    state.SetLabel(b.name + ", " + std::to_string(b.scene.dots.size()) + " dots");
    state.SetItemsProcessed(state.iterations() * b.scene.height);
    state.SetBytesProcessed(state.iterations() * b.scene.height * static_cast<int64_t>(row.size()));
}

// The same on `threads` threads taking every n-th row, as the render job spreads rows.
void BM_DotRendererThreads(benchmark::State& state)
{
    const BenchScene b = MakeBenchScene(kSceneL, SceneMode::RotationMasks);
    const int threads = static_cast<int>(state.range(0));
    for (auto _ : state) {
        const DotRenderer renderer(b.scene);
        std::vector<std::jthread> pool;
        for (int t = 0; t < threads; ++t)
            pool.emplace_back([&, t] {
                std::vector<uint8_t> row(static_cast<size_t>(b.scene.width) * 4);
                for (int py = t; py < b.scene.height; py += threads) {
                    renderer.RenderRow(py, row.data());
                    benchmark::DoNotOptimize(row.data());
                }
            });
    }
    state.SetLabel(b.name + ", " + std::to_string(threads) + " threads");
    state.SetItemsProcessed(state.iterations() * b.scene.height);
}

// A few rows from the middle of M: the reference tests every candidate at every pixel.
void BM_ReferenceComposer(benchmark::State& state)
{
    const BenchScene b = MakeBenchScene(kSceneM, SceneMode::Rotation);
    const reference::SceneRecords records = reference::RecordsOf(b.scene);
    std::vector<uint8_t> row(static_cast<size_t>(b.scene.width) * 4);
    constexpr int kRows = 4;
    const int first = b.scene.height / 2;
    for (auto _ : state) {
        for (int py = first; py < first + kRows; ++py) {
            reference::RenderRow(b.scene, records, py, row.data());
            benchmark::DoNotOptimize(row.data());
        }
    }
    state.SetLabel(b.name);
    state.SetItemsProcessed(state.iterations() * kRows);
}

// The same rows through the fast renderer, already built, for the ratio with the above.
void BM_DotRendererMiddleRows(benchmark::State& state)
{
    const BenchScene b = MakeBenchScene(kSceneM, SceneMode::Rotation);
    std::vector<uint8_t> row(static_cast<size_t>(b.scene.width) * 4);
    const DotRenderer renderer(b.scene);
    constexpr int kRows = 4;
    const int first = b.scene.height / 2;
    for (auto _ : state) {
        for (int py = first; py < first + kRows; ++py) {
            renderer.RenderRow(py, row.data());
            benchmark::DoNotOptimize(row.data());
        }
    }
    state.SetLabel(b.name);
    state.SetItemsProcessed(state.iterations() * kRows);
}

// Writing W x 4 bytes H times to a temporary file, one buffered write per row.
void BM_WriteFloor(benchmark::State& state)
{
    const SceneSize& size = *sizeOf(static_cast<int>(state.range(0)));
    const int W = size.columns * size.ledSize;
    const int H = size.rows * size.ledSize;
    std::vector<uint8_t> row(static_cast<size_t>(W) * 4, 0x5A);
    const std::filesystem::path path =
        std::filesystem::temp_directory_path() / "lumexa_bench_write_floor.tga";
    for (auto _ : state) {
        std::FILE* file = std::fopen(path.c_str(), "wb");
        if (file == nullptr) {
            state.SkipWithError("cannot create the temporary file");
            break;
        }
        for (int py = 0; py < H; ++py)
            std::fwrite(row.data(), 1, row.size(), file);
        std::fclose(file);
    }
    std::filesystem::remove(path);
    state.SetLabel(size.name);
    state.SetItemsProcessed(state.iterations() * H);
    state.SetBytesProcessed(state.iterations() * H * static_cast<int64_t>(row.size()));
}

BENCHMARK(BM_DotRenderer)
    ->ArgsProduct({{0, 1, 2}, {0, 1, 2}})
    ->ArgNames({"scene", "mode"})
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();
BENCHMARK(BM_DotRendererThreads)
    ->DenseRange(1, 2)
    ->ArgName("threads")
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();
BENCHMARK(BM_ReferenceComposer)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_DotRendererMiddleRows)->Unit(benchmark::kMicrosecond)->UseRealTime();
BENCHMARK(BM_WriteFloor)
    ->DenseRange(0, 2)
    ->ArgName("scene")
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

} // namespace
} // namespace lumexa::bench

BENCHMARK_MAIN();
