// Sheet arithmetic of posters: lengths and papers as typed, the sheet grid, and the part
// of the picture each sheet prints.
#include "core/print/poster_plan.h"

#include "core/base/error.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <optional>

namespace lumexa
{
namespace
{

using ::testing::HasSubstr;

TEST(Lengths, ReadInEveryUnit)
{
    const struct {
        const char* text;
        double mm;
    } cases[] = {{"10mm", 10}, {"2.5cm", 25}, {"1in", 25.4}, {"8.5 IN", 215.9}, {"0.1mm", 0.1}};
    for (const auto& c : cases)
        EXPECT_DOUBLE_EQ(ParseLength(c.text), c.mm) << c.text;
}

TEST(Lengths, RefuseWhatIsNotALength)
{
    for (const char* text : {"10", "mm", "10 m", "-5mm", "0cm", "1e999in", "nanmm", "5mmm"}) {
        try {
            ParseLength(text);
            ADD_FAILURE() << text << " was accepted";
        } catch (const Error& e) {
            EXPECT_THAT(e.what(), HasSubstr(std::string("'") + text + "'"));
        }
    }
}

TEST(Lengths, ZeroOnlyWhereAllowed)
{
    EXPECT_EQ(ParseLength("0", true), 0);
    EXPECT_EQ(ParseLength("0mm", true), 0);
    EXPECT_DOUBLE_EQ(ParseLength("1.5cm", true), 15);
    EXPECT_THROW(ParseLength("0"), Error);
    EXPECT_THROW(ParseLength("-1mm", true), Error);
    EXPECT_THROW(ParseLength("5", true), Error);
}

TEST(Papers, NamedAndCustomSizes)
{
    const struct {
        const char* text;
        double w, h;
    } cases[] = {
        {"a4", 210, 297},        {"A3", 297, 420},         {"Letter", 215.9, 279.4},
        {"legal", 215.9, 355.6}, {"600x900mm", 600, 900},  {"24inx36in", 609.6, 914.4},
        {"1mx1mm", -1, -1},      {"50cmx300mm", 500, 300}, {"x300mm", -1, -1},
        {"a5", -1, -1},          {"300mmx", -1, -1},       {"300x300", -1, -1},
    };
    for (const auto& c : cases) {
        if (c.w < 0) {
            EXPECT_THROW(ParsePaper(c.text), Error) << c.text;
            continue;
        }
        const PaperSize p = ParsePaper(c.text);
        EXPECT_NEAR(p.widthMm, c.w, 1e-9) << c.text;
        EXPECT_NEAR(p.heightMm, c.h, 1e-9) << c.text;
    }
}

TEST(SheetLabels, RowLettersThenColumnNumbers)
{
    EXPECT_EQ(SheetLabel(1, 2, 4, 2), "B3 of 4 x 2");
    EXPECT_EQ(SheetLabel(0, 0, 1, 1), "A1 of 1 x 1");
    EXPECT_EQ(SheetLabel(25, 9, 10, 30), "Z10 of 10 x 30");
    EXPECT_EQ(SheetLabel(26, 0, 1, 30), "AA1 of 1 x 30");
    EXPECT_EQ(SheetLabel(701, 0, 1, 800), "ZZ1 of 1 x 800");
    EXPECT_EQ(SheetLabel(702, 0, 1, 800), "AAA1 of 1 x 800");
}

struct SheetCheck {
    int index;
    PixelRect source;
    MmRect placed;
};

struct PlanCase {
    const char* what;
    const char* paper;
    Orientation orientation;
    double margin, overlap;
    int pictureWidth, pictureHeight;
    double dpi, widthMm, heightMm;
    bool landscape;
    int columns, rows;
    std::optional<SheetCheck> sheet;
};

TEST(PosterPlans, GridAndSheetParts)
{
    const auto P = Orientation::Portrait;
    const auto L = Orientation::Landscape;
    const auto A = Orientation::Automatic;
    // 254 dpi is 10 pixels per millimetre, which keeps the expected figures readable.
    const PlanCase cases[] = {
        {"fits the printable width exactly", "a4", P, 10, 10, 1900, 500, 254, 0, 0, false, 1, 1,
         SheetCheck{0, {0, 0, 1900, 500}, {10, 123.5, 190, 50}}},
        {"one millimetre past the printable width", "a4", P, 10, 10, 1910, 500, 254, 0, 0, false, 2,
         1, std::nullopt},
        {"two sheets fill exactly with the overlap counted once", "a4", P, 10, 10, 3700, 500, 254,
         0, 0, false, 2, 1, SheetCheck{1, {1800, 0, 1900, 500}, {10, 123.5, 190, 50}}},
        {"centred on two sheets: the left part", "a4", P, 10, 10, 3000, 1000, 254, 0, 0, false, 2,
         1, SheetCheck{0, {0, 0, 1550, 1000}, {45, 98.5, 155, 100}}},
        {"centred on two sheets: the right part", "a4", P, 10, 10, 3000, 1000, 254, 0, 0, false, 2,
         1, SheetCheck{1, {1450, 0, 1550, 1000}, {10, 98.5, 155, 100}}},
        {"a finished width scales the picture", "a4", P, 10, 10, 300, 100, 300, 300, 0, false, 2, 1,
         SheetCheck{1, {145, 0, 155, 100}, {10, 98.5, 155, 100}}},
        {"a finished height scales the picture", "a4", P, 10, 10, 300, 100, 300, 0, 100, false, 2,
         1, std::nullopt},
        {"landscape turns the paper", "a4", L, 10, 10, 3000, 1000, 254, 0, 0, true, 2, 1,
         SheetCheck{0, {0, 0, 1550, 1000}, {132, 55, 155, 100}}},
        {"automatic picks landscape for a wide strip", "a4", A, 10, 10, 2700, 500, 254, 0, 0, true,
         1, 1, SheetCheck{0, {0, 0, 2700, 500}, {13.5, 80, 270, 50}}},
        {"automatic keeps portrait on a tie", "a4", A, 10, 10, 64000, 16000, 300, 2000, 0, false,
         12, 2, std::nullopt},
        {"landscape of the same banner", "a4", L, 10, 10, 64000, 16000, 300, 2000, 0, true, 8, 3,
         std::nullopt},
        {"no overlap, no margin: sheets tile edge to edge", "100x100mm", P, 0, 0, 3000, 1000, 254,
         0, 0, false, 3, 1, SheetCheck{1, {1000, 0, 1000, 1000}, {0, 0, 100, 100}}},
        {"a pixel cut by a sheet edge prints on both sheets", "100x100mm", P, 0, 0, 255, 100, 25.4,
         0, 0, false, 3, 1, SheetCheck{1, {77, 0, 101, 100}, {-0.5, 0, 101, 100}}},
        {"custom paper typed landscape, printed portrait", "297x210mm", P, 10, 10, 1900, 2770, 254,
         0, 0, false, 1, 1, SheetCheck{0, {0, 0, 1900, 2770}, {10, 10, 190, 277}}},
        {"letter in inches", "letter", P, 0.5 * 25.4, 0, 750, 1000, 100, 0, 0, false, 1, 1,
         SheetCheck{0, {0, 0, 750, 1000}, {12.7, 12.7, 190.5, 254}}},
    };
    for (const PlanCase& c : cases) {
        SCOPED_TRACE(c.what);
        PosterRequest r;
        r.paper = ParsePaper(c.paper);
        r.orientation = c.orientation;
        r.marginMm = c.margin;
        r.overlapMm = c.overlap;
        r.pictureWidth = c.pictureWidth;
        r.pictureHeight = c.pictureHeight;
        r.dpi = c.dpi;
        r.widthMm = c.widthMm;
        r.heightMm = c.heightMm;
        const PosterPlan plan = PlanPoster(r);
        EXPECT_EQ(plan.landscape, c.landscape);
        EXPECT_EQ(plan.columns, c.columns);
        EXPECT_EQ(plan.rows, c.rows);
        EXPECT_EQ(plan.pageCount(), 1 + c.columns * c.rows);
        ASSERT_EQ(plan.sheets.size(), static_cast<size_t>(c.columns * c.rows));
        if (!c.sheet)
            continue;
        const PosterSheet& s = plan.sheets[static_cast<size_t>(c.sheet->index)];
        EXPECT_EQ(s.row, c.sheet->index / c.columns);
        EXPECT_EQ(s.column, c.sheet->index % c.columns);
        EXPECT_EQ(s.source.x, c.sheet->source.x);
        EXPECT_EQ(s.source.y, c.sheet->source.y);
        EXPECT_EQ(s.source.width, c.sheet->source.width);
        EXPECT_EQ(s.source.height, c.sheet->source.height);
        EXPECT_NEAR(s.placed.x, c.sheet->placed.x, 1e-6);
        EXPECT_NEAR(s.placed.y, c.sheet->placed.y, 1e-6);
        EXPECT_NEAR(s.placed.width, c.sheet->placed.width, 1e-6);
        EXPECT_NEAR(s.placed.height, c.sheet->placed.height, 1e-6);
    }
}

// Every pixel of the picture prints on some sheet, and each sheet's part stays on its page
// within the margin (give or take the pixel cut by a sheet edge).
TEST(PosterPlans, SheetsCoverThePictureWithinTheirPages)
{
    PosterRequest r;
    r.paper = ParsePaper("a3");
    r.marginMm = 7;
    r.overlapMm = 13;
    r.pictureWidth = 7777;
    r.pictureHeight = 3333;
    r.dpi = 123;
    const PosterPlan plan = PlanPoster(r);
    std::vector<int> columnsCovered(static_cast<size_t>(r.pictureWidth), 0);
    std::vector<int> rowsCovered(static_cast<size_t>(r.pictureHeight), 0);
    const double pixel = 1 / plan.pixelsPerMm;
    for (const PosterSheet& s : plan.sheets) {
        for (int x = s.source.x; x < s.source.x + s.source.width; ++x)
            ++columnsCovered[static_cast<size_t>(x)];
        for (int y = s.source.y; y < s.source.y + s.source.height; ++y)
            ++rowsCovered[static_cast<size_t>(y)];
        EXPECT_GE(s.placed.x, r.marginMm - pixel);
        EXPECT_GE(s.placed.y, r.marginMm - pixel);
        EXPECT_LE(s.placed.x + s.placed.width, plan.pageWidthMm - r.marginMm + pixel);
        EXPECT_LE(s.placed.y + s.placed.height, plan.pageHeightMm - r.marginMm + pixel);
    }
    for (int n : columnsCovered)
        ASSERT_GT(n, 0);
    for (int n : rowsCovered)
        ASSERT_GT(n, 0);
}

TEST(PosterPlans, RefuseSizesThatCannotPrint)
{
    const struct {
        const char* paper;
        double margin, overlap;
        int w, h;
        const char* message;
        double widthMm = 0;
        double dpi = kDefaultPrintDpi;
    } cases[] = {
        {"a4", 105, 10, 100, 100, "leaves nothing printable on A4"},
        {"a4", 10, 190, 100, 100, "The overlap of 190 mm is not smaller than the 190 mm"},
        {"a4", -1, 10, 100, 100, "The margin of -1 mm is negative"},
        {"a4", 10, 10, 0, 100, "0 x 100 pixels is empty"},
        {"1x1mm", 0, 0, 100, 100, "The paper 1x1mm is smaller than a PDF page can be"},
        {"1e-300x1mm", 0, 0, 100, 100, "is smaller than a PDF page can be"},
        {"1e300x100mm", 0, 0, 100, 100, "is larger than a PDF page can be"},
        // Sheet counts past any int, and grids whose sheets would not fit in memory.
        {"a4", 10, 10, 100, 100, "more than the 1000 it may have", 1e300},
        {"a4", 10, 189.999, 100, 100, "more than the 1000 it may have", 1e6},
        {"a4", 10, 10, 2000000000, 2000000000, "more than the 1000 it may have"},
        {"a4", 10, 10, 100, 100, "more than the 1000 it may have", 1e308 * 10},
        {"a4", 10, 10, 100, 100, "more than the 1000 it may have", 0, 1e-320},
        {"a4", 10, 10, 2000000000, 100, "is too small to print", 1e-3},
    };
    for (const auto& c : cases) {
        PosterRequest r;
        r.paper = ParsePaper(c.paper);
        r.marginMm = c.margin;
        r.overlapMm = c.overlap;
        r.pictureWidth = c.w;
        r.pictureHeight = c.h;
        r.widthMm = c.widthMm;
        r.dpi = c.dpi;
        try {
            PlanPoster(r);
            ADD_FAILURE() << c.message;
        } catch (const Error& e) {
            EXPECT_THAT(e.what(), HasSubstr(c.message));
        }
    }
}

// Sizes typed wrong are counted in doubles and refused before a sheet is built: the message
// names the count and what to change, and nothing overflows however absurd the size.
TEST(PosterPlans, RefuseMoreSheetsThanAnyoneWouldGlue)
{
    const struct {
        const char* what;
        const char* paper;
        double margin, overlap, widthMm;
    } cases[] = {
        {"ten thousand kilometres wide", "a4", 10, 10, 1e10},
        {"more sheets than a double holds", "a4", 10, 10, 1e300},
        {"an overlap just under the printable width", "a4", 10, 189.999, 500},
        {"two millimetre paper without margins", "2x2mm", 0, 0, 4000},
        {"one more sheet than may be", "a4", 10, 10, 180 * 1001 + 10 + 1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        PosterRequest r;
        r.paper = ParsePaper(c.paper);
        r.marginMm = c.margin;
        r.overlapMm = c.overlap;
        r.orientation = Orientation::Portrait;
        r.pictureWidth = 1000;
        r.pictureHeight = 1;
        r.widthMm = c.widthMm;
        const SheetCount count = CountSheets(r);
        EXPECT_GT(count.total(), kMostPosterSheets);
        try {
            PlanPoster(r);
            ADD_FAILURE() << "planned";
        } catch (const Error& e) {
            EXPECT_THAT(e.what(), HasSubstr("The poster would need "));
            EXPECT_THAT(e.what(), HasSubstr("more than the 1000 it may have: choose a smaller "
                                            "finished size, larger paper or a smaller overlap"));
            EXPECT_THAT(e.what(), HasSubstr(SheetCountText(count.total()) + " sheets ("));
        }
    }
    // The most there may be still plans.
    PosterRequest r;
    r.paper = ParsePaper("a4");
    r.orientation = Orientation::Portrait;
    r.pictureWidth = 1000;
    r.pictureHeight = 1;
    r.widthMm = 180 * 1000 + 10;
    EXPECT_EQ(PlanPoster(r).sheets.size(), 1000u);
}

TEST(PosterPlans, SheetCountsReadAsNumbers)
{
    EXPECT_EQ(SheetCountText(1002), "1002");
    EXPECT_EQ(SheetCountText(310000), "310000");
    EXPECT_EQ(SheetCountText(1e15), "1e+15");
    EXPECT_EQ(SheetCountText(5.55e297), "5.55e+297");
    EXPECT_EQ(SheetCountText(HUGE_VAL), "more than 1e308");
}

TEST(PosterPlans, RefuseAPictureTooSmallToPrint)
{
    PosterRequest r;
    r.paper = ParsePaper("a4");
    r.pictureWidth = 1000;
    r.pictureHeight = 10;
    r.widthMm = 1e-300;
    try {
        PlanPoster(r);
        ADD_FAILURE() << "planned";
    } catch (const Error& e) {
        EXPECT_THAT(e.what(), HasSubstr("is too small to print (at least 0.1 mm a side)"));
    }
}

} // namespace
} // namespace lumexa
