// The render window's runs on their own threads, watched from another thread as the
// window's timer watches them: each lays its request out first, then the render's file and
// live picture and the preview's picture are checked against the engine's own reduced view
// of the same result, the progress only rises, and Cancel ends either run early.
#include "app/runs/window_run.h"
#include "core/progress/render_progress.h"
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

// Three LED images of 12 x 12 pixels (unlit, red, amber) and a logo of 100 x 40 pixels
// with a random pattern: on the Logo page with background cells and turned dots, a
// 1200 x 480 result, reduced three times in the preview area.
struct RunFixture {
    RunFixture() : logo(100, 40, {255, 255, 255})
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
        std::mt19937 rng(4);
        std::uniform_int_distribution<int> dark(0, 2);
        for (int y = 0; y < logo.height(); ++y)
            for (int x = 0; x < logo.width(); ++x)
                if (dark(rng) != 0)
                    logo.setPixel(x, y, {0, 0, 0});
        settings.activePage = 1;
        settings.logoInvert = true; // the dark pixels are the dots
        settings.rotateBitmaps = true;
        settings.previewButton = kRandom;
        PrepareRender(settings, leds);
    }

    // A request drawn with its own random tables, as the window's.
    RenderRequest request(RenderRandom& random, RandomGenerator& gen) const
    {
        random.fillAtStart(gen);
        RenderRequest r;
        r.settings = settings;
        r.source.leds = &leds;
        r.source.logo = &logo;
        r.source.random = &random;
        r.source.generator = &gen;
        return r;
    }

    // The result reduced as the preview area shows it, from the engine's reduced view.
    QImage expectedPicture() const
    {
        RenderRandom random;
        RandomGenerator gen;
        const RenderScene scene = LayOutScene(request(random, gen));
        const DotRenderer renderer(scene);
        EXPECT_EQ(renderer.width(), 1200);
        EXPECT_EQ(renderer.height(), 480);
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
    Picture logo;
    ProjectSettings settings;
};

// Reads what the window's timer reads (the figures, then the picture) until the run has
// ended: the bar's position never falls, whatever order the rows are written in.
void Watch(WindowRun& run)
{
    QImage picture;
    int lastPosition = 0;
    while (!run.ended()) {
        const RunProgress& p = run.progress();
        const int64_t total = p.total();
        if (total > 0) {
            const int position = ProgressPosition(p.left(), total);
            EXPECT_GE(position, lastPosition);
            lastPosition = position;
        }
        run.preview().takeIfChanged(picture);
        std::this_thread::sleep_for(std::chrono::microseconds(200));
    }
}

TEST(RenderRuns, RenderLaysOutWritesTheFileAndShowsItReduced)
{
    RunFixture f;
    const QImage expected = f.expectedPicture();
    const testing::ScratchFolder folder;
    // Targa goes bottom-up, PNG and TIFF top-down (TIFF's small compression by colour
    // planes): the figures rise for all of them.
    const struct {
        const char* name;
        Compression compression;
    } outputs[] = {{"result.tga", Compression::Fast},
                   {"result.png", Compression::Fast},
                   {"result.tif", Compression::Fast},
                   {"small.png", Compression::Small},
                   {"small.tif", Compression::Small}};
    for (const auto& [name, compression] : outputs) {
        RenderRandom random;
        RandomGenerator gen;
        RenderRequest request = f.request(random, gen);
        request.output.path = folder.file(name);
        request.output.compression = compression;
        request.output.threads = 2;
        WindowRun run(kAreaWidth, kAreaHeight);
        run.startRender(request);
        Watch(run);
        run.join();
        ASSERT_EQ(run.state(), RunState::Finished) << name << ": " << run.error().what();
        EXPECT_EQ(run.progress().done(), 480) << name;
        EXPECT_EQ(ProgressPosition(run.progress().left(), run.progress().total()), 100);
        EXPECT_EQ(run.preview().snapshot(), expected) << name;
    }
    EXPECT_EQ(std::filesystem::file_size(folder.file("result.tga")), kTargaBytes);
}

TEST(RenderRuns, PreviewShowsTheResultReduced)
{
    RunFixture f;
    const QImage expected = f.expectedPicture();
    RenderRandom random;
    RandomGenerator gen;
    WindowRun run(kAreaWidth, kAreaHeight);
    run.startPreview(f.request(random, gen));
    Watch(run);
    run.join();
    ASSERT_EQ(run.state(), RunState::Finished) << run.error().what();
    EXPECT_EQ(run.progress().left(), 0);
    EXPECT_EQ(run.preview().snapshot(), expected);
}

TEST(RenderRuns, SceneRunHandsOverTheLaidOutScene)
{
    RunFixture f;
    RenderRandom random;
    RandomGenerator gen;
    WindowRun run(kAreaWidth, kAreaHeight);
    run.startScene(f.request(random, gen));
    run.join();
    ASSERT_EQ(run.state(), RunState::Finished);
    const std::unique_ptr<RenderScene> scene = run.takeScene();
    ASSERT_NE(scene, nullptr);
    EXPECT_EQ(scene->width, 1200);
    EXPECT_EQ(run.takeScene(), nullptr); // handed over once
}

TEST(RenderRuns, ALayoutThatFailsEndsTheRunWithItsError)
{
    RunFixture f;
    RenderRandom random;
    RandomGenerator gen;
    RenderRequest request = f.request(random, gen);
    request.source.logo = nullptr; // the Logo page without a logo
    WindowRun run(kAreaWidth, kAreaHeight);
    run.startPreview(request);
    run.join();
    EXPECT_EQ(run.state(), RunState::Failed);
    EXPECT_FALSE(std::string(run.error().what()).empty());
}

TEST(RenderRuns, CancelEndsEitherRunAndKeepsTheEarlierFile)
{
    RunFixture f;
    const testing::ScratchFolder folder;
    RenderRandom random;
    RandomGenerator gen;
    RenderRequest request = f.request(random, gen);
    request.output.path = folder.file("result.tga");
    {
        std::ofstream earlier(request.output.path, std::ios::binary);
        earlier << "earlier";
    }
    WindowRun render(kAreaWidth, kAreaHeight);
    render.startRender(request);
    render.cancel();
    render.join();
    // Cancelled before its end, the earlier file stays; a run that ended first replaced it.
    const uintmax_t size = std::filesystem::file_size(request.output.path);
    if (render.state() == RunState::Cancelled)
        EXPECT_EQ(size, 7u);
    else
        EXPECT_EQ(size, kTargaBytes);
    EXPECT_EQ(folder.entries(), 1u); // no temporary file left

    WindowRun preview(kAreaWidth, kAreaHeight);
    preview.startPreview(f.request(random, gen));
    preview.cancel();
    preview.join();
    EXPECT_NE(preview.state(), RunState::Running);
    EXPECT_NE(preview.state(), RunState::Failed);
}

} // namespace
} // namespace lumexa
