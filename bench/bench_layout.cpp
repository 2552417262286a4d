// The main window's recompute, glyph drawing included, as it runs on every keystroke:
// the default text and a 100-character text in the Flat, Points and Random styles, with
// two 32 x 32 LED images and Shufle 50.
#include "core/layout/preview_layout.h"
#include "text/qt_glyph_rasterizer.h"

#include <benchmark/benchmark.h>

#include <string>

namespace
{

using namespace lumexa;

const std::string kLongText =
    "The quick brown fox jumps over the lazy dog; PACK MY BOX WITH FIVE DOZEN LIQUOR "
    "JUGS 0123456789!?!?";

void recompute(benchmark::State& state, const std::string& text, int fontSize, int style)
{
    QtGlyphRasterizer rasterizer;
    LayoutRandom random;
    std::vector<TScatterPoint> points;
    ProjectSettings settings;
    settings.text = text;
    settings.fontName = "DejaVu Sans";
    settings.fontSize.setPosition(fontSize);
    settings.shufle.setPosition(50);
    settings.previewButton = style;
    const LedInfo leds{2, 32, 32, -1};
    size_t dots = 0;
    for (auto _ : state) {
        const LayoutResult r =
            ComputePreviewLayout(settings, leds, rasterizer, nullptr, random, points);
        dots = r.dots.size();
        benchmark::DoNotOptimize(r.dots.data());
    }
    state.counters["dots"] = static_cast<double>(dots);
}

} // namespace

BENCHMARK_CAPTURE(recompute, default_flat, std::string("1234567890"), 20, kFlat)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(recompute, default_points, std::string("1234567890"), 20, kPoints)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(recompute, default_random, std::string("1234567890"), 20, kRandom)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(recompute, long_flat, kLongText, 32, kFlat)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(recompute, long_points, kLongText, 32, kPoints)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(recompute, long_random, kLongText, 32, kRandom)->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
