// lumexa-render writes the same pixels to Targa, PNG and TIFF: each example rendered to
// every format (PNG and TIFF at both compressions, the small one also smaller) and read
// back by GraphicsMagick, alpha included; and a result wider than the Targa header can
// hold renders to PNG and TIFF but is refused for Targa.
#include "support/command_runner.h"
#include "support/picture_pixels.h"
#include "support/render_program.h"
#include "support/scratch_folder.h"

#include <Magick++.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
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

class OutputFormats : public ::testing::Test
{
  protected:
    static void SetUpTestSuite() { Magick::InitializeMagick(nullptr); }

    int render(const std::string& project, const fs::path& out, std::string* output = nullptr,
               const std::string& options = "")
    {
        const auto run = RunShell(Quote(kRender) + " -q " + options + " " + Quote(project) + " " +
                                  Quote(out.string()));
        if (output)
            *output = run.output;
        return run.status;
    }

    lumexa::testing::ScratchFolder scratch;
    const fs::path dir = scratch.path();
};

TEST_F(OutputFormats, PngAndTiffHoldTheTargaPixels)
{
    for (const char* example : {"text", "logo", "points"}) {
        const std::string project = kExamples + "/" + example + ".led";
        ASSERT_EQ(render(project, dir / "r.tga"), 0) << example;
        const Pixels targa = ReadPixels(dir / "r.tga");
        ASSERT_GT(targa.width * targa.height, 0);
        for (const char* other : {"r.png", "r.tif"}) {
            ASSERT_EQ(render(project, dir / other), 0) << example << " " << other;
            EXPECT_TRUE(ReadPixels(dir / other) == targa) << example << " " << other;
            const auto fastSize = fs::file_size(dir / other);
            ASSERT_EQ(render(project, dir / other, nullptr, "-j1 --compression small"), 0);
            EXPECT_TRUE(ReadPixels(dir / other) == targa) << example << " small " << other;
            EXPECT_LT(fs::file_size(dir / other), fastSize) << example << " " << other;
        }
    }
}

TEST_F(OutputFormats, WiderThanTargaRendersToPngAndTiffOnly)
{
    // A 500 x 1 logo of white and black pixels laid out with LED pictures of 140 x 16
    // gives a result of 70000 x 16 pixels.
    Magick::Image logo(Magick::Geometry(500, 1), Magick::Color("white"));
    for (int x = 0; x < 500; x += 2)
        logo.pixelColor(x, 0, Magick::Color("black"));
    logo.write((dir / "logo.png").string());
    Magick::Image unlit(Magick::Geometry(140, 16), Magick::Color("gray20"));
    unlit.write((dir / "unlit.png").string());
    Magick::Image lit(Magick::Geometry(140, 16), Magick::Color("orange"));
    lit.write((dir / "lit.png").string());
    std::ofstream(dir / "wide.led") << "Text=x\r\nActivePage=1\r\nLogoFile=logo.png\r\n"
                                       "PreviewButton=7\r\nRenderType=2\r\n"
                                       "ImageF[]=000unlit.png\r\nImageA[]=000(null)\r\n"
                                       "ImageF[]=001lit.png\r\nImageA[]=001(null)\r\n";
    const std::string project = (dir / "wide.led").string();
    for (const char* name : {"wide.png", "wide.tif"}) {
        ASSERT_EQ(render(project, dir / name), 0) << name;
        const Pixels p = ReadPixels(dir / name);
        EXPECT_EQ(p.width, 70000) << name;
        EXPECT_EQ(p.height, 16) << name;
    }
    std::string message;
    EXPECT_EQ(render(project, dir / "wide.tga", &message), 1);
    EXPECT_NE(message.find("70000 x 16"), std::string::npos) << message;
    EXPECT_FALSE(fs::exists(dir / "wide.tga"));
}

} // namespace
