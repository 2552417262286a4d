// lumexa-render for print: the poster's sheets carry exactly the rendered pixels of their
// parts (the unlit LEDs opaque, for paper has no transparency), reduced sheets are crops of
// one reduced picture, the pages and their sizes are as planned, the print-shop PDF holds the
// whole result at its physical size, PNG and TIFF record the print resolution (divided by a
// reduction), and the poster's options and absurd plans are refused on the command line.
#include "core/print/poster_plan.h"
#include "support/command_runner.h"
#include "support/pdf_probe.h"
#include "support/picture_pixels.h"
#include "support/render_program.h"
#include "support/scratch_folder.h"

#include <Magick++.h>
#include <gtest/gtest.h>

#include <algorithm>
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
const std::string kText = kExamples + "/text.led";

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

    lumexa::testing::CommandResult render(const std::string& options, const fs::path& out,
                                          const std::string& project = kLogo)
    {
        return RunShell(Quote(kRender) + " -q " + options + " " + Quote(project) + " " +
                        Quote(out.string()));
    }

    lumexa::testing::ScratchFolder scratch;
    const fs::path dir = scratch.path();
};

TEST_F(PrintOutput, PosterSheetsHoldTheRenderedPixelsOfTheirParts)
{
    // The logo's background is on: print shows the unlit LEDs as the opaque result holds them.
    ASSERT_EQ(render("--background opaque", dir / "full.png").status, 0);
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
    ASSERT_EQ(render("--background opaque", dir / "full.png").status, 0);
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
    // A result reduced N times keeps its physical size: it records the resolution over N.
    const struct {
        const char* options;
        double dpi;
    } cases[] = {{"--dpi 150", 150}, {"--dpi 150 --scale 3", 50}, {"--scale 7", 300.0 / 7}};
    for (const auto& c : cases)
        for (const char* name : {"r.png", "r.tif"}) {
            SCOPED_TRACE(std::string(c.options) + " " + name);
            ASSERT_EQ(render(c.options, dir / name).status, 0);
            Magick::Image image;
            image.read((dir / name).string());
            const double perUnit = image.xResolution();
            const double dpi = image.resolutionUnits() == Magick::PixelsPerCentimeterResolution
                                   ? perUnit * 2.54
                                   : perUnit;
            // PNG keeps whole pixels per metre: within 0.013 dpi.
            EXPECT_NEAR(dpi, c.dpi, 0.05);
        }
}

// "background" on in text.led: transparent (the default) leaves the unlit LEDs at coverage
// 0, opaque gives every pixel of the grid coverage 255 and changes no other byte, off has no
// unlit LEDs; the print-shop PDF holds the opaque result whatever the choice.
TEST_F(PrintOutput, UnlitLedsTransparentOpaqueOrOff)
{
    ASSERT_EQ(render("", dir / "t.png", kText).status, 0);
    ASSERT_EQ(render("--background opaque", dir / "o.png", kText).status, 0);
    ASSERT_EQ(render("--background off", dir / "off.png", kText).status, 0);
    const Pixels t = ReadPixels(dir / "t.png");
    const Pixels o = ReadPixels(dir / "o.png");
    const Pixels off = ReadPixels(dir / "off.png");
    ASSERT_EQ(t.width, o.width);
    ASSERT_EQ(t.height, o.height);
    ASSERT_EQ(t.width, off.width);
    int transparent = 0;
    for (int y = 0; y < t.height; ++y)
        for (int x = 0; x < t.width; ++x) {
            const uint8_t* a = t.at(x, y);
            const uint8_t* b = o.at(x, y);
            ASSERT_TRUE(std::equal(a, a + 3, b)) << x << ", " << y;
            ASSERT_EQ(b[3], 255) << x << ", " << y;
            if (a[3] == 0) {
                ++transparent;
                // Nothing but the unlit LED there, which "off" leaves out.
                const uint8_t* none = off.at(x, y);
                ASSERT_TRUE(std::all_of(none, none + 4, [](uint8_t v) { return v == 0; }))
                    << x << ", " << y;
            }
        }
    // Most of the picture is the panel of unlit LEDs.
    EXPECT_GT(transparent, t.width * t.height / 2);

    // Print shows the panel: the PDF's picture is the opaque result, without a soft mask.
    ASSERT_EQ(render("--dpi 600 --pdf", dir / "t.pdf", kText).status, 0);
    const auto page = PdfPagePicture((dir / "t.pdf").string(), 1);
    EXPECT_EQ(page.width, o.width);
    EXPECT_TRUE(page.rgba == o.rgba);
}

// The full-size pixels x0..x1 of a sheet's part, taken out to whole blocks of `factor`:
// the blocks of the reduced picture that the sheet shows.
lumexa::PixelRect ReducedPart(const lumexa::PixelRect& part, int factor)
{
    const int x0 = part.x / factor, y0 = part.y / factor;
    const int x1 = (part.x + part.width + factor - 1) / factor;
    const int y1 = (part.y + part.height + factor - 1) / factor;
    return {x0, y0, x1 - x0, y1 - y0};
}

// A poster whose sheets are reduced to the print resolution is cut from one reduced
// picture: each sheet holds exactly the crop of the --scale N result, so neighbours agree
// where they overlap.
TEST_F(PrintOutput, ReducedPosterSheetsAreCropsOfTheScaledResult)
{
    ASSERT_EQ(render("--background opaque", dir / "full.png", kText).status, 0);
    const Pixels full = ReadPixels(dir / "full.png");
    const struct {
        const char* options;
        const char* paper;
        double widthMm, dpi, margin, overlap;
        lumexa::Orientation orientation;
    } plans[] = {
        {"--poster a4 --width 50cm --dpi 30", "a4", 500, 30, 10, 10,
         lumexa::Orientation::Automatic},
        {"--poster a3 --width 75cm --dpi 20 --margin 7mm --overlap 13mm --landscape", "a3", 750, 20,
         7, 13, lumexa::Orientation::Landscape},
    };
    for (const auto& p : plans) {
        SCOPED_TRACE(p.options);
        lumexa::PosterRequest request;
        request.paper = lumexa::ParsePaper(p.paper);
        request.orientation = p.orientation;
        request.marginMm = p.margin;
        request.overlapMm = p.overlap;
        request.pictureWidth = full.width;
        request.pictureHeight = full.height;
        request.dpi = p.dpi;
        request.widthMm = p.widthMm;
        const lumexa::PosterPlan plan = lumexa::PlanPoster(request);
        // Whole times more pixels than the print needs.
        const int factor = static_cast<int>(full.width / (p.widthMm / 25.4) / p.dpi);
        ASSERT_GT(factor, 1);
        ASSERT_GT(plan.sheets.size(), 1u);
        const std::string scaled = "s" + std::to_string(factor) + ".png";
        ASSERT_EQ(
            render("--background opaque --scale " + std::to_string(factor), dir / scaled, kText)
                .status,
            0);
        const Pixels reduced = ReadPixels(dir / scaled);
        ASSERT_EQ(render(p.options, dir / "p.pdf", kText).status, 0);
        int cutOffGrid = 0;
        for (size_t i = 0; i < plan.sheets.size(); ++i) {
            const lumexa::PosterSheet& sheet = plan.sheets[i];
            if (sheet.source.empty())
                continue;
            cutOffGrid += sheet.source.x % factor != 0 || sheet.source.y % factor != 0;
            const lumexa::PixelRect crop = ReducedPart(sheet.source, factor);
            const auto picture = PdfPagePicture((dir / "p.pdf").string(), static_cast<int>(i) + 2);
            EXPECT_EQ(picture.width, crop.width) << sheet.label;
            EXPECT_EQ(picture.height, crop.height) << sheet.label;
            EXPECT_TRUE(picture.rgba == Crop(reduced, crop)) << sheet.label;
        }
        // Sheets whose parts begin between blocks: where reducing each sheet on its own went
        // wrong.
        EXPECT_GT(cutOffGrid, 0);
    }
}

// Plans that would run away, and pages no PDF can have, are refused before a page is
// written: the exit is 1 and the message says what to change.
TEST_F(PrintOutput, AbsurdPlansAreRefused)
{
    const struct {
        const char* options;
        const char* message;
    } cases[] = {
        {"--poster a4 --width 1e9cm", "sheets ("},
        {"--poster a4 --width 100cm --overlap 189.99mm", "more than the 1000 it may have"},
        {"--poster a4 --width 1e300mm", "choose a smaller finished size, larger paper"},
        {"--poster 1e-300x1mm --margin 0 --overlap 0", "smaller than a PDF page can be"},
        {"--poster 1x1mm --margin 0 --overlap 0", "The paper 1x1mm is smaller than a PDF page"},
        {"--poster 2x2mm --margin 0 --overlap 0 --width 10cm", "The poster would need"},
        {"--poster a4 --width 1e-300mm", "too small to print"},
        {"--dpi 100000 --pdf", "points is smaller than a PDF page can be (3.0 points a side); "
                               "print at"},
    };
    for (const auto& c : cases) {
        const auto run = render(c.options, dir / "x.pdf");
        EXPECT_EQ(run.status, 1) << c.options;
        EXPECT_NE(run.output.find(c.message), std::string::npos) << c.options << ": " << run.output;
    }
    EXPECT_TRUE(fs::is_empty(dir));
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
