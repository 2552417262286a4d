// lumexa-render for print: the poster's sheets carry exactly the rendered pixels of their
// parts, the pages and their sizes are as planned, the print-shop PDF holds the whole
// result at its physical size, PNG and TIFF record the print resolution, and the poster's
// options are checked on the command line.
#include "core/print/poster_plan.h"
#include "support/command_runner.h"
#include "support/pdf_probe.h"
#include "support/picture_pixels.h"
#include "support/render_program.h"
#include "support/scratch_folder.h"

#include <Magick++.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <vector>

namespace fs = std::filesystem;
using lumexa::testing::kExamples;
using lumexa::testing::kRender;
using lumexa::testing::PdfPagePicture;
using lumexa::testing::PdfPages;
using lumexa::testing::Pixels;
using lumexa::testing::Quote;
using lumexa::testing::ReadPixels;
using lumexa::testing::RunShell;

namespace
{

const std::string kLogo = kExamples + "/logo.led";

std::vector<uint8_t> Crop(const Pixels& p, const lumexa::PixelRect& r)
{
    std::vector<uint8_t> out;
    for (int y = r.y; y < r.y + r.height; ++y) {
        const auto row = p.rgba.begin() + (static_cast<ptrdiff_t>(y) * p.width + r.x) * 4;
        out.insert(out.end(), row, row + static_cast<ptrdiff_t>(r.width) * 4);
    }
    return out;
}

class PrintOutput : public ::testing::Test
{
  protected:
    static void SetUpTestSuite() { Magick::InitializeMagick(nullptr); }

    lumexa::testing::CommandResult render(const std::string& options, const fs::path& out)
    {
        return RunShell(Quote(kRender) + " -q " + options + " " + Quote(kLogo) + " " +
                        Quote(out.string()));
    }

    lumexa::testing::ScratchFolder scratch;
    const fs::path dir = scratch.path();
};

TEST_F(PrintOutput, PosterSheetsHoldTheRenderedPixelsOfTheirParts)
{
    ASSERT_EQ(render("", dir / "full.png").status, 0);
    const Pixels full = ReadPixels(dir / "full.png");

    // At 40 dpi the 768 x 384 result is 48.8 x 24.4 cm: several A4 sheets, printed at the
    // rendering's own pixels.
    const auto run = render("--dpi 40 --poster a4 --margin 8mm --overlap 15mm", dir / "p.pdf");
    ASSERT_EQ(run.status, 0) << run.output;
    lumexa::PosterRequest request;
    request.paper = lumexa::ParsePaper("a4");
    request.marginMm = 8;
    request.overlapMm = 15;
    request.pictureWidth = full.width;
    request.pictureHeight = full.height;
    request.dpi = 40;
    const lumexa::PosterPlan plan = lumexa::PlanPoster(request);
    ASSERT_GT(plan.sheets.size(), 2u);

    const auto pages = PdfPages((dir / "p.pdf").string());
    ASSERT_EQ(pages.size(), static_cast<size_t>(plan.pageCount()));
    for (const auto& page : pages) {
        EXPECT_NEAR(page.width, plan.pageWidthMm / 25.4 * 72, 0.01);
        EXPECT_NEAR(page.height, plan.pageHeightMm / 25.4 * 72, 0.01);
    }
    for (size_t i = 0; i < plan.sheets.size(); ++i) {
        const lumexa::PixelRect& part = plan.sheets[i].source;
        const auto sheet = PdfPagePicture((dir / "p.pdf").string(), static_cast<int>(i) + 2);
        EXPECT_EQ(sheet.width, part.width) << plan.sheets[i].label;
        EXPECT_EQ(sheet.height, part.height) << plan.sheets[i].label;
        EXPECT_TRUE(sheet.rgba == Crop(full, part)) << plan.sheets[i].label;
    }
}

TEST_F(PrintOutput, PrintShopPdfIsTheResultAtItsPhysicalSize)
{
    ASSERT_EQ(render("", dir / "full.png").status, 0);
    const Pixels full = ReadPixels(dir / "full.png");
    ASSERT_EQ(render("--dpi 96 --pdf", dir / "shop.out").status, 0);
    const auto pages = PdfPages((dir / "shop.out").string());
    ASSERT_EQ(pages.size(), 1u);
    EXPECT_NEAR(pages[0].width, full.width * 72.0 / 96, 0.01);
    EXPECT_NEAR(pages[0].height, full.height * 72.0 / 96, 0.01);
    const auto picture = PdfPagePicture((dir / "shop.out").string(), 1);
    EXPECT_EQ(picture.width, full.width);
    EXPECT_EQ(picture.height, full.height);
    EXPECT_TRUE(picture.rgba == full.rgba);
}

TEST_F(PrintOutput, PngAndTiffRecordThePrintResolution)
{
    for (const char* name : {"r.png", "r.tif"}) {
        ASSERT_EQ(render("--dpi 150", dir / name).status, 0) << name;
        Magick::Image image;
        image.read((dir / name).string());
        const double perUnit = image.xResolution();
        const double dpi = image.resolutionUnits() == Magick::PixelsPerCentimeterResolution
                               ? perUnit * 2.54
                               : perUnit;
        EXPECT_NEAR(dpi, 150, 0.05) << name;
    }
}

TEST_F(PrintOutput, PosterOptionsAreChecked)
{
    const struct {
        const char* options;
        const char* message;
    } cases[] = {
        {"--width 30cm", "option --width needs --poster"},
        {"--poster a4 --width 1m", "'1m' is not a valid length"},
        {"--poster a4 --width 1in --height 1in", "give --width or --height, not both"},
        {"--poster a4 --portrait --landscape", "give --portrait or --landscape, not both"},
        {"--poster a5", "'a5' is not a paper size"},
        {"--poster a4 --pdf", "takes no --format or --pdf"},
        {"--dpi 0", "'0' is not a print resolution"},
        {"--landscape", "option --landscape needs --poster"},
        // Abbreviated as getopt_long takes them, with the full names' messages.
        {"--wid 30cm", "option --width needs --poster"},
        {"--poster a4 --wid 100cm --hei 200cm", "give --width or --height, not both"},
        {"--portrait --land", "option --portrait needs --poster"},
        {"--pos a4 --por --land", "give --portrait or --landscape, not both"},
    };
    for (const auto& c : cases) {
        const auto run = render(c.options, dir / "x.pdf");
        EXPECT_EQ(run.status, 2) << c.options;
        EXPECT_NE(run.output.find(c.message), std::string::npos) << c.options << ": " << run.output;
    }
    // A poster that cannot print is refused before anything is written.
    const auto run = render("--poster a4 --margin 110mm", dir / "x.pdf");
    EXPECT_EQ(run.status, 1);
    EXPECT_NE(run.output.find("leaves nothing printable on A4"), std::string::npos) << run.output;
    EXPECT_TRUE(fs::is_empty(dir));
}

} // namespace
