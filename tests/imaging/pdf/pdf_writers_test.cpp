// The PDF results read back with poppler's tools: the print-shop page carries the result's
// bytes at its physical size, strips and soft masks included; the poster has its overview
// and one page per sheet, each sheet carrying exactly its part of the picture; a stopped
// poster leaves nothing behind.
#include "imaging/pdf/poster_pdf.h"
#include "imaging/pdf/print_shop_writer.h"

#include "core/base/error.h"
#include "support/pdf_probe.h"
#include "support/scratch_folder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>

namespace lumexa
{
namespace
{

namespace fs = std::filesystem;
using testing::PdfPagePicture;
using testing::PdfPages;

// A picture whose every pixel tells where it is; coverage is partial in one corner only,
// so that strips with and without soft masks meet in one file.
uint8_t channel(int x, int y, int c)
{
    if (c == 3)
        return x < 5 && y < 3 ? static_cast<uint8_t>(x * 40 + y) : 255;
    return static_cast<uint8_t>(x * 7 + y * 13 + c * 101);
}

void fillPattern(const PixelRect& r, uint8_t* rgba)
{
    for (int y = 0; y < r.height; ++y)
        for (int x = 0; x < r.width; ++x)
            for (int c = 0; c < 4; ++c)
                *rgba++ = channel(r.x + x, r.y + y, c);
}

std::vector<uint8_t> pattern(const PixelRect& r)
{
    std::vector<uint8_t> out(static_cast<size_t>(r.width) * r.height * 4);
    fillPattern(r, out.data());
    return out;
}

// The pattern reduced by plain averaging of each block's pixels, as the region engine's
// reduced views are.
bool fillReducedPattern(const PixelRect& r, int factor, uint8_t* rgba, std::stop_token)
{
    for (int by = 0; by * factor < r.height; ++by)
        for (int bx = 0; bx * factor < r.width; ++bx)
            for (int c = 0; c < 4; ++c) {
                unsigned sum = 0, n = 0;
                for (int y = by * factor; y < std::min(r.height, (by + 1) * factor); ++y)
                    for (int x = bx * factor; x < std::min(r.width, (bx + 1) * factor); ++x, ++n)
                        sum += channel(r.x + x, r.y + y, c);
                *rgba++ = static_cast<uint8_t>((sum + n / 2) / n);
            }
    return true;
}

class PdfWriters : public ::testing::Test
{
  protected:
    std::string writePrintShop(int w, int h, double dpi, int stripPixels)
    {
        const std::string path = (dir / "shop.pdf").string();
        PrintShopWriter writer(path, dpi, stripPixels);
        writer.open(w, h);
        for (int y = 0; y < h; ++y)
            writer.writeRow(pattern({0, y, w, 1}).data());
        writer.commit();
        return path;
    }

    lumexa::testing::ScratchFolder scratch;
    const fs::path dir = scratch.path();
};

TEST_F(PdfWriters, PrintShopPageHoldsTheResultInStrips)
{
    // 7 rows of 40 pixels per strip: 23 rows make strips of 7, 7, 7 and 2 rows.
    const std::string pdf = writePrintShop(40, 23, 72, 280);
    const auto pages = PdfPages(pdf);
    ASSERT_EQ(pages.size(), 1u);
    EXPECT_DOUBLE_EQ(pages[0].width, 40);
    EXPECT_DOUBLE_EQ(pages[0].height, 23);
    const testing::PdfPicture picture = PdfPagePicture(pdf, 1);
    EXPECT_EQ(picture.width, 40);
    EXPECT_EQ(picture.height, 23);
    EXPECT_TRUE(picture.rgba == pattern({0, 0, 40, 23}));
}

TEST_F(PdfWriters, PrintShopPagePastTwoHundredInchesUsesUserUnits)
{
    // 300 pixels at 1 dpi are 300 inches: 21600 points, given as 10800 units of 2 points
    // (pdfinfo reports the page box without its unit).
    const std::string pdf = writePrintShop(300, 30, 1, kStripPixels);
    const auto pages = PdfPages(pdf);
    ASSERT_EQ(pages.size(), 1u);
    EXPECT_DOUBLE_EQ(pages[0].width, 10800);
    EXPECT_DOUBLE_EQ(pages[0].height, 1080);
    std::ifstream in(pdf, std::ios::binary);
    const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    EXPECT_NE(bytes.find("/UserUnit 2 "), std::string::npos);
    EXPECT_EQ(PageUserUnit(14400, 10), 1);
    EXPECT_EQ(PageUserUnit(10, 14401), 2);
    EXPECT_EQ(PageUserUnit(72 * 2000, 72), 10);
}

TEST_F(PdfWriters, DiscardedPrintShopPageLeavesNothing)
{
    const std::string path = (dir / "gone.pdf").string();
    PrintShopWriter writer(path, 300);
    writer.open(20, 20);
    writer.writeRow(pattern({0, 0, 20, 1}).data());
    writer.discard();
    EXPECT_TRUE(fs::is_empty(dir));
}

TEST_F(PdfWriters, PosterSheetsCarryTheirPartsOfThePicture)
{
    // 10 pixels per millimetre; 300 x 100 mm on A4 portrait with 10 mm margins and overlap
    // takes two sheets side by side.
    PosterRequest r;
    r.paper = ParsePaper("a4");
    r.orientation = Orientation::Portrait;
    r.pictureWidth = 3000;
    r.pictureHeight = 1000;
    r.dpi = 254;
    const PosterPlan plan = PlanPoster(r);
    ASSERT_EQ(plan.sheets.size(), 2u);
    const std::string pdf = (dir / "poster.pdf").string();
    RunProgress progress;
    ASSERT_TRUE(WritePosterPdf(pdf, plan, r, fillReducedPattern, {}, &progress));
    EXPECT_EQ(progress.done(), progress.total());
    EXPECT_EQ(progress.total(), 3000 * 1000 + 2 * 1550 * 1000);
    EXPECT_EQ(progress.part(), 3);
    EXPECT_EQ(progress.parts(), 3);

    const auto pages = PdfPages(pdf);
    ASSERT_EQ(pages.size(), 3u);
    for (const auto& page : pages) {
        EXPECT_NEAR(page.width, 595.276, 0.01);
        EXPECT_NEAR(page.height, 841.89, 0.01);
    }
    for (int sheet = 0; sheet < 2; ++sheet) {
        const PixelRect& source = plan.sheets[static_cast<size_t>(sheet)].source;
        const testing::PdfPicture picture = PdfPagePicture(pdf, 2 + sheet);
        EXPECT_EQ(picture.width, source.width);
        EXPECT_EQ(picture.height, source.height);
        EXPECT_TRUE(picture.rgba == pattern(source)) << "sheet " << sheet;
    }
    // The overview holds the whole picture, reduced to at most 1600 pixels across.
    const testing::PdfPicture overview = PdfPagePicture(pdf, 1);
    EXPECT_EQ(overview.width, 1500);
    EXPECT_EQ(overview.height, 500);
}

TEST_F(PdfWriters, PosterSheetsAreReducedToThePrintResolution)
{
    // 3000 pixels on 100 mm is 762 dpi: sheets at 300 dpi are reduced by 2.
    PosterRequest r;
    r.paper = ParsePaper("a4");
    r.pictureWidth = 3000;
    r.pictureHeight = 1000;
    r.widthMm = 100;
    r.dpi = 300;
    const PosterPlan plan = PlanPoster(r);
    EXPECT_EQ(SheetReduction(plan, 300), 2);
    EXPECT_EQ(SheetReduction(plan, 800), 1);
    const std::string pdf = (dir / "small.pdf").string();
    ASSERT_TRUE(WritePosterPdf(pdf, plan, r, fillReducedPattern));
    const testing::PdfPicture sheet = PdfPagePicture(pdf, 2);
    EXPECT_EQ(sheet.width, 1500);
    EXPECT_EQ(sheet.height, 500);
    std::vector<uint8_t> expected(1500 * 500 * 4);
    fillReducedPattern(plan.sheets[0].source, 2, expected.data(), {});
    EXPECT_TRUE(sheet.rgba == expected);
}

TEST_F(PdfWriters, ReducedSheetsTakeWholeBlocksOfOneGrid)
{
    const struct {
        PixelRect part;
        int factor;
        PixelRect aligned;
    } cases[] = {
        {{0, 0, 10, 10}, 3, {0, 0, 12, 12}},
        {{4, 5, 4, 2}, 3, {3, 3, 6, 6}},
        {{7, 0, 13, 4}, 3, {6, 0, 14, 6}}, // cut at the picture's right edge (20)
        {{7, 9, 13, 5}, 1, {7, 9, 13, 5}},
    };
    for (const auto& c : cases) {
        const PixelRect got = BlockAligned(c.part, c.factor, 20, 14);
        EXPECT_EQ(got, c.aligned) << c.part.x << "," << c.part.y << " by " << c.factor;
    }
}

TEST_F(PdfWriters, PosterPagesPastTwoHundredInchesUseUserUnits)
{
    // 6 x 7 metres of paper: 19842 points high, given as units of 2 points.
    PosterRequest r;
    r.paper = ParsePaper("6000x7000mm");
    r.pictureWidth = 3000;
    r.pictureHeight = 1000;
    r.dpi = 254;
    const PosterPlan plan = PlanPoster(r);
    ASSERT_EQ(plan.sheets.size(), 1u);
    const std::string pdf = (dir / "huge.pdf").string();
    ASSERT_TRUE(WritePosterPdf(pdf, plan, r, fillReducedPattern));
    const auto pages = PdfPages(pdf);
    ASSERT_EQ(pages.size(), 2u);
    for (const auto& page : pages) {
        EXPECT_NEAR(page.width, 6000 / 25.4 * 72 / 2, 0.01);
        EXPECT_NEAR(page.height, 7000 / 25.4 * 72 / 2, 0.01);
    }
    // Drawn in the larger units too: the label stays in the bottom margin (10 mm, 14 units),
    // centred.
    EXPECT_TRUE(PdfPagePicture(pdf, 2).rgba == pattern(plan.sheets[0].source));
    const auto words = testing::PdfPageWords(pdf, 2);
    ASSERT_FALSE(words.empty());
    EXPECT_GT(words[0].top, pages[1].height - 14);
    EXPECT_LT(words[0].bottom, pages[1].height);
    EXPECT_NEAR((words.front().left + words.back().right) / 2, pages[1].width / 2, 3);
}

// The label goes below the picture, else above it, else nowhere: never over it, even
// without a margin.
TEST_F(PdfWriters, SheetLabelsNeverCoverThePicture)
{
    const struct {
        const char* what;
        int width, height; // pixels at 10 per millimetre
        double overlap;
        const char* where; // per sheet page: b below, a above, - none
    } cases[] = {
        {"a strip: room below", 3000, 1000, 10, "bb"},
        {"a tall picture: the upper sheet has room above only", 1000, 4000, 10, "ab"},
        {"the whole page covered: no room", 1900, 2970, 0, "-"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        PosterRequest r;
        r.paper = ParsePaper("a4");
        r.orientation = Orientation::Portrait;
        r.marginMm = 0;
        r.overlapMm = c.overlap;
        r.pictureWidth = c.width;
        r.pictureHeight = c.height;
        r.dpi = 254;
        const PosterPlan plan = PlanPoster(r);
        ASSERT_EQ(plan.sheets.size(), std::string(c.where).size());
        const std::string pdf = (dir / "labels.pdf").string();
        ASSERT_TRUE(WritePosterPdf(pdf, plan, r, fillReducedPattern));
        const double pt = 72 / 25.4;
        for (size_t i = 0; i < plan.sheets.size(); ++i) {
            const MmRect& p = plan.sheets[i].placed;
            const auto words = testing::PdfPageWords(pdf, static_cast<int>(i) + 2);
            if (c.where[i] == '-') {
                EXPECT_TRUE(words.empty()) << i;
                continue;
            }
            ASSERT_FALSE(words.empty()) << i;
            EXPECT_EQ(words[0].text, plan.sheets[i].label.substr(0, 2));
            for (const auto& w : words) {
                if (c.where[i] == 'b')
                    EXPECT_GE(w.top, (p.y + p.height) * pt) << i << " " << w.text;
                else
                    EXPECT_LE(w.bottom, p.y * pt) << i << " " << w.text;
            }
        }
    }
}

TEST_F(PdfWriters, StoppedPosterLeavesNothing)
{
    PosterRequest r;
    r.paper = ParsePaper("a4");
    r.pictureWidth = 3000;
    r.pictureHeight = 1000;
    r.dpi = 254;
    const PosterPlan plan = PlanPoster(r);
    std::stop_source stop;
    int filled = 0;
    const FillRegion fill = [&](const PixelRect& rect, int factor, uint8_t* rgba,
                                std::stop_token token) {
        fillReducedPattern(rect, factor, rgba, token);
        if (++filled == 2)
            stop.request_stop();
        return !token.stop_requested();
    };
    EXPECT_FALSE(WritePosterPdf((dir / "stopped.pdf").string(), plan, r, fill, stop.get_token()));
    EXPECT_TRUE(fs::is_empty(dir));
}

} // namespace
} // namespace lumexa
