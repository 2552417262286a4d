// lumexa-render --region and --scale against the full render of the same example: a region
// holds exactly the full render's pixels there (in every format), a reduced result the
// average of each block within 1 per channel, and the two combine.
#include "support/command_runner.h"
#include "support/picture_pixels.h"
#include "support/render_program.h"
#include "support/scratch_folder.h"

#include <Magick++.h>
#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <string>
#include <vector>

namespace fs = std::filesystem;
using lumexa::testing::kExamples;
using lumexa::testing::kRender;
using lumexa::testing::Pixels;
using lumexa::testing::Quote;
using lumexa::testing::ReadPixels;
using lumexa::testing::RunShell;

namespace
{

struct Rect {
    int x, y, w, h;
};

// The rectangle of `full`, each scale x scale block averaged (partial blocks over what they
// hold).
Pixels Expected(const Pixels& full, Rect r, int scale)
{
    Pixels out{(r.w + scale - 1) / scale, (r.h + scale - 1) / scale, {}};
    out.rgba.resize(static_cast<size_t>(out.width) * out.height * 4);
    for (int by = 0; by < out.height; ++by)
        for (int bx = 0; bx < out.width; ++bx)
            for (int c = 0; c < 4; ++c) {
                double sum = 0;
                int n = 0;
                for (int y = by * scale; y < std::min(r.h, (by + 1) * scale); ++y)
                    for (int x = bx * scale; x < std::min(r.w, (bx + 1) * scale); ++x, ++n)
                        sum += full.at(r.x + x, r.y + y)[c];
                out.rgba[(static_cast<size_t>(by) * out.width + bx) * 4 + c] =
                    static_cast<uint8_t>(std::lround(sum / n));
            }
    return out;
}

int MostApart(const Pixels& a, const Pixels& b)
{
    int most = 0;
    for (size_t i = 0; i < a.rgba.size(); ++i)
        most = std::max(most, std::abs(a.rgba[i] - b.rgba[i]));
    return most;
}

class RegionScale : public ::testing::Test
{
  protected:
    static void SetUpTestSuite() { Magick::InitializeMagick(nullptr); }

    lumexa::testing::CommandResult render(const std::string& example, const std::string& options,
                                          const fs::path& out)
    {
        return RunShell(Quote(kRender) + " -q " + options + " " +
                        Quote(kExamples + "/" + example + ".led") + " " + Quote(out.string()));
    }

    lumexa::testing::ScratchFolder scratch;
    const fs::path dir = scratch.path();
};

TEST_F(RegionScale, RegionsAndReductionsMatchTheFullRender)
{
    ASSERT_EQ(render("logo", "", dir / "full.tga").status, 0);
    const Pixels full = ReadPixels(dir / "full.tga");
    const int W = full.width, H = full.height;
    ASSERT_GT(W, 40);
    ASSERT_GT(H, 40);
    struct Case {
        Rect rect;
        int scale;
        const char* file; // every writer sees a region and a reduction
    };
    const Case cases[] = {
        {{0, 0, W, H}, 1, "r.tga"},
        {{W - 13, H - 11, 13, 11}, 1, "r.png"},
        {{W / 3, H / 4, W / 3, 1}, 1, "r.tif"},
        {{W - 1, 0, 1, H}, 2, "r.png"},
        {{0, 0, W, H}, 3, "r.tga"},
        {{5, H / 2, W - 5, H - H / 2}, 16, "r.tif"},
        {{0, 0, 17, 9}, 40, "r.png"}, // one block, larger than the region
    };
    for (const Case& c : cases) {
        const Rect& r = c.rect;
        const std::string options = "--region=" + std::to_string(r.x) + "," + std::to_string(r.y) +
                                    "," + std::to_string(r.w) + "," + std::to_string(r.h) +
                                    " --scale " + std::to_string(c.scale);
        SCOPED_TRACE(options + " " + c.file);
        const auto run = render("logo", options, dir / c.file);
        ASSERT_EQ(run.status, 0) << run.output;
        const Pixels got = ReadPixels(dir / c.file);
        const Pixels want = Expected(full, r, c.scale);
        ASSERT_EQ(got.width, want.width);
        ASSERT_EQ(got.height, want.height);
        if (c.scale == 1)
            EXPECT_TRUE(got.rgba == want.rgba);
        else
            EXPECT_LE(MostApart(got, want), 1);
    }
    // --scale alone reduces the whole result.
    ASSERT_EQ(render("logo", "--scale 5", dir / "s.png").status, 0);
    EXPECT_LE(MostApart(ReadPixels(dir / "s.png"), Expected(full, {0, 0, W, H}, 5)), 1);
}

TEST_F(RegionScale, RegionsOutsideTheResultAreRefused)
{
    ASSERT_EQ(render("logo", "", dir / "full.tga").status, 0);
    const Pixels full = ReadPixels(dir / "full.tga");
    const std::string W = std::to_string(full.width), H = std::to_string(full.height);
    for (const std::string& region : {W + ",0,1,1", "0," + H + ",1,1", "1,0," + W + ",1"}) {
        const auto run = render("logo", "--region " + region, dir / "r.png");
        EXPECT_EQ(run.status, 1) << region;
        EXPECT_NE(run.output.find("The region " + region + " does not lie within the result of " +
                                  W + " x " + H + " pixels"),
                  std::string::npos)
            << run.output;
        EXPECT_FALSE(fs::exists(dir / "r.png")) << region;
    }
}

} // namespace
