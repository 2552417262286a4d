// The render window's runs on their worker threads, watched from another thread as the
// window's timer watches them: the render runner's file and live picture and the preview
// runner's picture against the engine's own reduced view of the same result, and Cancel
// ending either early.
#include "app/runs/render_preview_runner.h"
#include "app/runs/render_runner.h"
#include "core/render/dot_renderer.h"
#include "core/render/render_preparation.h"
#include "core/view/reduced_view.h"
#include "support/scratch_folder.h"

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <random>
#include <thread>

namespace lumexa
{
namespace
{

constexpr int kAreaWidth = 455;
constexpr int kAreaHeight = 321;
// The fixture's result as a Targa file: the header, then every pixel.
constexpr uintmax_t kTargaBytes = 18u + 1200u * 480u * 4u;

// Three LED images of 12 x 12 pixels (unlit, red, amber) and a layout of 100 x 40 cells
// with background cells and turned dots of the lit ones: a 1200 x 480 result, reduced
// three times in the preview area.
struct RunFixture {
    RunFixture()
    {
        const PictureLoader load = [](const std::string& name) {
            DecodedPicture p;
            p.width = p.height = 12;
            p.rgba.resize(12 * 12 * 4);
            const uint8_t red = name == "unlit" ? 40 : 255;
            const uint8_t green = name == "amber" ? 160 : 30;
            for (size_t i = 0; i < p.rgba.size(); i += 4) {
                p.rgba[i] = red;
                p.rgba[i + 1] = static_cast<uint8_t>(green + i % 48);
                p.rgba[i + 2] = 20;
                p.rgba[i + 3] = 255;
            }
            return p;
        };
        for (const char* name : {"unlit", "red", "amber"})
            leds.LoadLedImageFile(name, lmAdd, load);
        PrepareRender(settings, leds);

        std::mt19937 rng(4);
        std::uniform_int_distribution<int> lit(0, 2), angle(0, 359);
        layout.backgroundCells = true;
        layout.columns = 100;
        layout.rows = 40;
        layout.cellWidth = layout.cellHeight = 12;
        layout.width = 1200;
        layout.height = 480;
        for (int row = 0; row < layout.rows; ++row)
            for (int column = 0; column < layout.columns; ++column)
                if (const int kind = lit(rng); kind != 0)
                    layout.dots.push_back({column * 12, row * 12, kind, angle(rng)});
    }

    // The scene of the layout, as the window's preview makes it.
    RenderScene scene() const
    {
        RenderLayout copy = layout;
        return MakeRenderScene(std::move(copy), leds, settings);
    }

    // A Targa result in `folder`, composed on two threads.
    static RenderToFileOptions targaIn(const testing::ScratchFolder& folder)
    {
        RenderToFileOptions options;
        options.path = folder.file("result.tga");
        options.threads = 2;
        return options;
    }

    // The result reduced as the preview area shows it, from the engine's reduced view.
    QImage expectedPicture() const
    {
        const DotRenderer renderer(scene());
        const PreviewPlacement p =
            PlacePreview(renderer.width(), renderer.height(), kAreaWidth, kAreaHeight);
        std::vector<uint8_t> reduced(static_cast<size_t>(p.width) * p.height * 4);
        EXPECT_TRUE(RenderReduced(renderer, {0, 0, renderer.width(), renderer.height()}, p.factor,
                                  reduced.data(), static_cast<size_t>(p.width) * 4));
        PreviewCanvas canvas(kAreaWidth, kAreaHeight);
        for (int r = 0; r < p.height; ++r)
            canvas.drawRgbaRow(p.top + r, p.left,
                               reduced.data() + static_cast<size_t>(r) * p.width * 4, p.width);
        return canvas.snapshot();
    }

    LedImageSet leds;
    ProjectSettings settings;
    RenderLayout layout;
};

// Reads what the window's timer reads (the figures, then the picture) until the run is done.
template <typename Run, typename Figures>
void Watch(Run& run, PreviewCanvas& canvas, const Figures& figures)
{
    QImage picture;
    while (!run.done()) {
        figures();
        canvas.takeIfChanged(picture);
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
}

TEST(RenderRuns, RenderWritesTheFileAndShowsItReduced)
{
    RunFixture f;
    const QImage expected = f.expectedPicture();
    const testing::ScratchFolder folder;
    const RenderToFileOptions options = RunFixture::targaIn(folder);
    RenderRunner run(f.layout, f.leds, f.settings, options, kAreaWidth, kAreaHeight);
    run.start();
    Watch(run, run.preview(), [&] { return run.job().lastRow() + run.job().remainingMs(); });
    run.join();
    ASSERT_EQ(run.state(), RenderState::Finished);
    EXPECT_EQ(std::filesystem::file_size(options.path), kTargaBytes);
    EXPECT_EQ(run.preview().snapshot(), expected);
}

TEST(RenderRuns, PreviewShowsTheResultReduced)
{
    RunFixture f;
    const QImage expected = f.expectedPicture();
    PreviewRunner run(f.scene(), kAreaWidth, kAreaHeight);
    run.start();
    Watch(run, run.preview(), [&] { return run.lastRow() + run.remainingMs(); });
    run.join();
    ASSERT_EQ(run.outcome(), PreviewRunner::Outcome::Finished);
    EXPECT_EQ(run.lastRow(), 0);
    EXPECT_EQ(run.preview().snapshot(), expected);
}

TEST(RenderRuns, CancelEndsEitherRunAndKeepsTheEarlierFile)
{
    RunFixture f;
    const testing::ScratchFolder folder;
    const RenderToFileOptions options = RunFixture::targaIn(folder);
    {
        std::ofstream earlier(options.path, std::ios::binary);
        earlier << "earlier";
    }
    RenderRunner render(f.layout, f.leds, f.settings, options, kAreaWidth, kAreaHeight);
    render.start();
    render.cancel();
    render.join();
    // Cancelled before its end, the earlier file stays; a run that ended first replaced it.
    const uintmax_t size = std::filesystem::file_size(options.path);
    if (render.state() == RenderState::Cancelled)
        EXPECT_EQ(size, 7u);
    else
        EXPECT_EQ(size, kTargaBytes);
    EXPECT_EQ(folder.entries(), 1u); // no temporary file left

    PreviewRunner preview(f.scene(), kAreaWidth, kAreaHeight);
    preview.start();
    preview.cancel();
    preview.join();
    EXPECT_NE(preview.outcome(), PreviewRunner::Outcome::Running);
    EXPECT_NE(preview.outcome(), PreviewRunner::Outcome::Failed);
}

} // namespace
} // namespace lumexa
