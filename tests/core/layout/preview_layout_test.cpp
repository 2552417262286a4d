// The main window's recompute with a stand-in text rasteriser: cell size, background
// cells, the kinds each style gives, tags in the Preview style, failures and
// reproducibility.
#include "core/layout/preview_layout.h"

#include "core/base/error.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <set>

namespace lumexa
{
namespace
{

// Every character is two columns wide plus the kerning; anything but a space is black
// from row 2 down to the last but two.
class BlockRasterizer : public GlyphRasterizer
{
  public:
    Glyph drawText(const std::u32string& text, const std::string&, int fontSize, int kerning,
                   const std::stop_token&) override
    {
        const int cell = 2 + kerning;
        Glyph g;
        g.image = Picture(static_cast<int>(text.size()) * cell, fontSize, {255, 255, 255});
        for (size_t i = 0; i < text.size(); ++i) {
            for (int x = 0; x < cell; ++x) {
                const int column = static_cast<int>(i) * cell + x;
                g.columnMap.push_back(static_cast<int32_t>(i + 1));
                if (text[i] == U' ' || x >= 2)
                    continue;
                for (int y = 2; y < fontSize - 2; ++y)
                    g.image.setPixel(column, y, {0, 0, 0});
            }
        }
        return g;
    }
};

struct LayoutFixture : ::testing::Test {
    LayoutResult compute(const Picture* logo = nullptr)
    {
        return ComputePreviewLayout(settings, leds, rasterizer, logo, random, points);
    }
    ProjectSettings settings;
    LedInfo leds{4, 20, 10, -1};
    BlockRasterizer rasterizer;
    LayoutRandom random;
    std::vector<TScatterPoint> points;
};

TEST_F(LayoutFixture, CellIsLedImageZeroWithTwoLedsElse16)
{
    const struct {
        int count, cw, ch;
    } cases[] = {{0, 16, 16}, {1, 16, 16}, {2, 20, 10}, {4, 20, 10}};
    for (const auto& c : cases) {
        leds.count = c.count;
        const LayoutResult r = compute();
        EXPECT_EQ(r.cell.width, c.cw) << c.count;
        EXPECT_EQ(r.cell.height, c.ch) << c.count;
        EXPECT_EQ(r.columns, 20);
        EXPECT_EQ(r.rows, 20);
        EXPECT_EQ(r.imageWidth, 20 * c.cw);
        EXPECT_EQ(r.imageHeight, 20 * c.ch);
        EXPECT_EQ(r.fontDots, 16);
    }
}

TEST_F(LayoutFixture, EachStyleMakesItsRecords)
{
    settings.text = "1 2";
    const int cells = 6 * 20, dark = 4 * 16;
    const struct {
        int style, ledCount, background, dots;
    } cases[] = {
        {kFlat, 4, 0, dark},       {kButton, 0, 0, dark},      {kDot, 4, 0, dark},
        {kRandom, 4, cells, dark}, {kPreview, 4, cells, dark}, {kBitmap, 4, cells, dark},
        {kRandom, 1, 0, 0},        {kPreview, 1, 0, 0},        {kBitmap, 0, 0, 0},
    };
    for (const auto& c : cases) {
        settings.previewButton = c.style;
        leds.count = c.ledCount;
        const LayoutResult r = compute();
        ASSERT_EQ(r.dots.size(), static_cast<size_t>(c.background + c.dots)) << c.style;
        for (size_t i = 0; i < r.dots.size(); ++i) {
            const TDotRecord& d = r.dots[i];
            if (i < static_cast<size_t>(c.background)) {
                EXPECT_EQ(d.kind, 0);
                EXPECT_EQ(d.x, static_cast<int>(i % 6) * r.cell.width); // rows outer
                EXPECT_EQ(d.y, static_cast<int>(i / 6) * r.cell.height);
            } else if (c.style <= kDot) {
                EXPECT_EQ(d.kind, -c.style);
            } else {
                EXPECT_GE(d.kind, 1);
                EXPECT_LT(d.kind, c.ledCount);
            }
            EXPECT_EQ(d.width, r.cell.width);
            EXPECT_EQ(d.rotation, 0);
        }
    }
}

TEST_F(LayoutFixture, PreviewStyleDrawsEachCharacterWithItsTagsLed)
{
    settings.text = "12[&+05]34[&-05]5";
    settings.previewButton = kPreview;
    const struct {
        int ledCount;
        int tagged; // kind of the characters 3 and 4
    } cases[] = {{6, 5}, {5, 1}, {3, 1}};
    for (const auto& c : cases) {
        leds.count = c.ledCount;
        const LayoutResult r = compute();
        EXPECT_EQ(r.parsed.stripped, U"12345");
        std::set<std::pair<int, int>> seen; // (character, kind)
        for (const TDotRecord& d : r.dots)
            if (d.kind != 0)
                seen.insert({d.x / r.cell.width / 2 + 1, d.kind});
        const std::set<std::pair<int, int>> expected = {
            {1, 1}, {2, 1}, {3, c.tagged}, {4, c.tagged}, {5, 1}};
        EXPECT_EQ(seen, expected) << c.ledCount;
    }
}

TEST_F(LayoutFixture, TagNumbersThatNameNoLitLedDrawWithLedOne)
{
    settings.previewButton = kPreview;
    for (const char* text : {"[&+00]1", "[&+-2]1", "[&+04]1", "[&+99]1"}) {
        settings.text = text;
        for (const TDotRecord& d : compute().dots)
            EXPECT_TRUE(d.kind == 0 || d.kind == 1) << text << " kind " << d.kind;
    }
}

TEST_F(LayoutFixture, BitmapStyleUsesTheSelectedLitLed)
{
    settings.previewButton = kBitmap;
    for (const auto& [selected, kind] : {std::pair{3, 3}, {2, 2}, {1, 1}, {-1, 1}, {0, 1}}) {
        leds.selected = selected;
        std::set<int> kinds;
        for (const TDotRecord& d : compute().dots)
            kinds.insert(d.kind);
        EXPECT_EQ(kinds, (std::set<int>{0, kind})) << selected;
    }
}

TEST_F(LayoutFixture, PreviewStyleOnTheLogoPageGivesLedOne)
{
    // A project file can leave Preview down on the Logo page.
    Picture logo(8, 6, {255, 255, 255});
    logo.setPixel(2, 2, {0, 0, 0});
    settings.activePage = 1;
    settings.logoInvert = true;
    settings.previewButton = kPreview;
    const LayoutResult r = compute(&logo);
    ASSERT_EQ(r.dots.size(), 8u * 6 + 1);
    EXPECT_EQ(r.dots.back().kind, 1);
    EXPECT_TRUE(r.parsed.stripped.empty());
}

TEST_F(LayoutFixture, PointsIgnoreABlueLogoThatOtherStylesDraw)
{
    // Blue 255 everywhere, red dark or light: the scatter reads blue, the rest red.
    Picture logo(10, 10, {255, 0, 255});
    logo.setPixel(3, 3, {0, 0, 255});
    settings.activePage = 1;
    settings.logoInvert = true;
    settings.previewButton = kPoints;
    leds.count = 0;
    EXPECT_TRUE(compute(&logo).dots.empty());
    EXPECT_TRUE(points.empty());
    settings.previewButton = kFlat;
    EXPECT_EQ(compute(&logo).dots.size(), 1u);
}

// The recompute, and its check without dots that lumexa-render runs, fail alike.
TEST_F(LayoutFixture, FailuresReachTheCallerAndKeepTheThreshold)
{
    const std::pair<const char*, const char*> cases[] = {
        {"[&+5]ab", "'5]' is not a valid integer value"},
        {"   ", "Property value out of range (256..254)"},
        {"[&+01][&-01]", "Property value out of range (256..-1)"},
    };
    for (bool withDots : {true, false}) {
        for (const auto& [text, message] : cases) {
            settings.text = text;
            const ScrollSetting before = settings.brightnes;
            try {
                if (withDots)
                    compute();
                else
                    CheckPreviewLayout(settings, leds, rasterizer, nullptr);
                ADD_FAILURE() << text;
            } catch (const Error& e) {
                EXPECT_THAT(e.what(), ::testing::StartsWith(message));
            }
            EXPECT_EQ(settings.brightnes, before);
        }
    }
}

TEST_F(LayoutFixture, ThresholdIsNarrowedAndMoved)
{
    for (bool withDots : {true, false}) {
        settings.brightnes = ScrollSetting{0, 255, 255};
        if (withDots)
            compute();
        else
            CheckPreviewLayout(settings, leds, rasterizer, nullptr);
        EXPECT_EQ(settings.brightnes, (ScrollSetting{1, 254, 254})) << withDots;
    }
}

TEST_F(LayoutFixture, NothingToDrawWithoutTextOrLogo)
{
    settings.text.clear();
    EXPECT_EQ(compute().status, LayoutStatus::NoText);
    settings.text = "x";
    settings.activePage = 1;
    EXPECT_EQ(compute().status, LayoutStatus::NoLogo);
    EXPECT_FALSE(RenderCommandAllowed(settings, leds));
    settings.activePage = 0;
    EXPECT_TRUE(RenderCommandAllowed(settings, leds));
    EXPECT_TRUE(compute().renderAllowed);
    leds.count = 1;
    EXPECT_FALSE(RenderCommandAllowed(settings, leds));
}

TEST_F(LayoutFixture, SameSettingsGiveTheSameDotsInEveryStyle)
{
    settings.text = "A[&+02]B C[&-02]D";
    settings.shufle.setPosition(80);
    for (int style = kFlat; style <= kBitmap; ++style) {
        settings.previewButton = style;
        const LayoutResult first = compute();
        // Whatever was drawn in between, the tables restart from the seed.
        for (RandomTable& t : random.tables)
            DrawRandom(t);
        const LayoutResult second = compute();
        EXPECT_FALSE(first.dots.empty()) << style;
        EXPECT_EQ(first.dots, second.dots) << style;
    }
}

TEST_F(LayoutFixture, TableTwoIsNeverTouched)
{
    random.tables[2].cursor = 7;
    settings.previewButton = kPoints;
    settings.shufle.setPosition(10);
    compute();
    EXPECT_EQ(random.tables[2].cursor, 7);
    EXPECT_GT(random.tables[4].cursor, 0);
}

TEST_F(LayoutFixture, LongTextsWorkInEveryStyle)
{
    // Far past the old 254 characters and 100,000 records.
    settings.text = std::string(3000, 'W');
    settings.shufle.setPosition(200);
    settings.fontSize.setPosition(32);
    for (int style = kFlat; style <= kBitmap; ++style) {
        settings.previewButton = style;
        const LayoutResult r = compute();
        EXPECT_EQ(r.columns, 6000);
        for (const TDotRecord& d : r.dots) {
            ASSERT_GE(d.x, 0);
            ASSERT_LE(d.x + d.width, r.imageWidth);
            ASSERT_LE(d.y + d.height, r.imageHeight);
        }
        if (style >= kPoints) {
            EXPECT_GT(r.dots.size(), 100000u) << style;
        }
    }
}

TEST_F(LayoutFixture, TextsPastTheCellCapAreLaidOutOnlyInTheirFirstColumns)
{
    // A dense text at the largest size made gigabytes of records at every keystroke: the
    // preview lays out the first columns only, and says how many of how many.
    settings.fontSize.setPosition(32);
    settings.previewButton = kPreview;
    const int capColumns = static_cast<int>(kMostPreviewCells / 32);
    const struct {
        int characters;
        int drawn;
    } cases[] = {
        {capColumns / 2, capColumns},     // exactly the cap: all of it
        {capColumns / 2 + 1, capColumns}, // one character past it
        {200000, capColumns},             // 400,000 columns
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.characters);
        settings.text = std::string(static_cast<size_t>(c.characters), 'W');
        const LayoutResult r = compute();
        EXPECT_EQ(r.columns, 2 * c.characters);
        EXPECT_EQ(r.drawnColumns, c.drawn);
        EXPECT_EQ(r.imageWidth, int64_t{c.drawn} * r.cell.width);
        // The status still tells of the whole glyph (its lit rows); the records cover the
        // drawn columns: a background cell each, and a dot for each lit one.
        EXPECT_EQ(r.fontDots, 28);
        EXPECT_EQ(r.dots.size(), size_t{32} * c.drawn + size_t{28} * c.drawn);
        int64_t right = 0;
        for (const TDotRecord& d : r.dots)
            right = std::max<int64_t>(right, d.x + d.width);
        EXPECT_LE(right, r.imageWidth);
    }
}

} // namespace
} // namespace lumexa
