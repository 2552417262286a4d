// The deep zoom page in a real browser: headless Chromium opens NAME.html from the disk
// (through scripts/page-screenshot), and once the viewer has drawn its tiles the screenshot
// shows the whole picture as the reduced render does, and zoomed in through the page's
// address, single LEDs as the full-size render holds them. Skipped, saying so, where
// Chromium is not installed.
#include "support/command_runner.h"
#include "support/picture_pixels.h"
#include "support/render_program.h"
#include "support/scratch_folder.h"

#include <Magick++.h>
#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>

namespace fs = std::filesystem;
using lumexa::testing::kExamples;
using lumexa::testing::kRender;
using lumexa::testing::Pixels;
using lumexa::testing::Quote;
using lumexa::testing::ReadPixels;
using lumexa::testing::RunShell;

namespace
{

const std::string kScreenshot = std::string(LUMEXA_DATA) + "/../scripts/page-screenshot";

// The colour a browser shows for pixel (x, y) of a result drawn over the page's black.
void OverBlack(const Pixels& p, int x, int y, double out[3])
{
    const uint8_t* px = p.at(x, y);
    for (int c = 0; c < 3; ++c)
        out[c] = px[c] * px[3] / 255.0;
}

class DeepZoomPage : public ::testing::Test
{
  protected:
    static void SetUpTestSuite() { Magick::InitializeMagick(nullptr); }

    void SetUp() override
    {
        if (RunShell("command -v chromium || command -v chromium-browser").status != 0)
            GTEST_SKIP() << "Chromium is not installed (apt-get install chromium): the deep "
                            "zoom page is not tried in a browser";
        const auto run = RunShell(Quote(kRender) + " -q " + Quote(kExamples + "/text.led") +
                                  " " + Quote(scratch.file("sign.dzi")) + " 2>&1");
        ASSERT_EQ(run.status, 0) << run.output;
        ASSERT_EQ(RunShell(Quote(kRender) + " -q " + Quote(kExamples + "/text.led") + " " +
                           Quote(scratch.file("full.png")))
                      .status,
                  0);
        full = ReadPixels(scratch.file("full.png"));
    }

    Pixels screenshot(int width, int height, const std::string& view = "")
    {
        const auto run = RunShell(Quote(kScreenshot) + " " + Quote(scratch.file("sign.html")) +
                                  " " + Quote(scratch.file("shot.png")) + " " +
                                  std::to_string(width) + "x" + std::to_string(height) + " " +
                                  Quote(view) + " 2>&1");
        EXPECT_EQ(run.status, 0) << run.output;
        return ReadPixels(scratch.file("shot.png"));
    }

    lumexa::testing::ScratchFolder scratch;
    Pixels full;
};

TEST_F(DeepZoomPage, TheWholePictureShowsAsTheReducedRender)
{
    // The picture fits the window's width and sits in the middle of its height.
    const int W = 1024, H = 400;
    const Pixels shot = screenshot(W, H);
    ASSERT_EQ(shot.width, W);
    ASSERT_EQ(shot.height, H);
    const double scale = static_cast<double>(W) / full.width;
    ASSERT_LT(full.height * scale, H);
    const double top = (H - full.height * scale) / 2;
    // Blocks of 16 x 16 screen pixels, each the average of the full-size pixels it shows.
    const int cell = 16;
    double worst = 0;
    long long lit = 0;
    for (int v = static_cast<int>(top) + 2; v + cell < top + full.height * scale - 2; v += cell)
        for (int u = 0; u + cell <= W; u += cell) {
            double seen[3] = {}, want[3] = {};
            for (int y = v; y < v + cell; ++y)
                for (int x = u; x < u + cell; ++x)
                    for (int c = 0; c < 3; ++c)
                        seen[c] += shot.at(x, y)[c];
            const int x0 = static_cast<int>(u / scale), x1 = static_cast<int>((u + cell) / scale);
            const int y0 = static_cast<int>((v - top) / scale);
            const int y1 = static_cast<int>((v + cell - top) / scale);
            for (int y = y0; y < y1; ++y)
                for (int x = x0; x < x1; ++x) {
                    double px[3];
                    OverBlack(full, x, y, px);
                    for (int c = 0; c < 3; ++c)
                        want[c] += px[c];
                }
            for (int c = 0; c < 3; ++c) {
                const double s = seen[c] / (cell * cell);
                const double w = want[c] / ((x1 - x0) * (y1 - y0));
                worst = std::max(worst, std::abs(s - w));
                lit += s > 60;
            }
        }
    EXPECT_LT(worst, 40.0);
    EXPECT_GT(lit, 20) << "the picture's LEDs are not on the page";
}

TEST_F(DeepZoomPage, ZoomedInItShowsSingleLeds)
{
    // Eight screen pixels a picture pixel around the middle of the first letter's stem.
    const int W = 800, H = 500, zoom = 8, cx = 200, cy = 160;
    const Pixels shot = screenshot(W, H, "x=" + std::to_string(cx) + "&y=" + std::to_string(cy) +
                                             "&zoom=" + std::to_string(zoom));
    ASSERT_EQ(shot.width, W);
    // Each picture pixel is a block of 8 x 8 screen pixels; away from the blocks' edges,
    // where the browser blends neighbours, it shows the full-size pixel itself. The caption
    // at the bottom left is left out.
    double worst = 0;
    int bright = 0;
    for (int y = cy - 18; y < cy + 20; ++y)
        for (int x = cx - 45; x < cx + 45; ++x) {
            const int u = W / 2 + (x - cx) * zoom + zoom / 2;
            const int v = H / 2 + (y - cy) * zoom + zoom / 2;
            double want[3];
            OverBlack(full, x, y, want);
            for (int c = 0; c < 3; ++c)
                worst = std::max(worst, std::abs(shot.at(u, v)[c] - want[c]));
            bright += shot.at(u, v)[0] > 150;
        }
    EXPECT_LT(worst, 48.0);
    EXPECT_GT(bright, 200) << "no lit LED fills the view";
}

} // namespace
