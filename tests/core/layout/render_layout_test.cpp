// The render layout: the order of the dots, the local shuffle, the background cells, the
// LED numbers by render type, the angles and the log lines.
#include "core/layout/render_layout.h"

#include "core/base/error.h"
#include "core/layout/dot_grid.h"
#include "core/layout/preview_layout.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <set>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

namespace lumexa
{
namespace
{

// Hands out a fixed glyph: dark pixels where the pattern holds '#', grey where '+'.
class FixedRasterizer : public GlyphRasterizer
{
  public:
    explicit FixedRasterizer(std::vector<std::string> pattern) : pattern_(std::move(pattern)) {}
    Glyph drawText(const std::u32string& text, const std::string&, int, int,
                   const std::stop_token&) override
    {
        lastText = text;
        Glyph g;
        const int h = static_cast<int>(pattern_.size());
        const int w = static_cast<int>(pattern_[0].size());
        g.image = Picture(w, h, {255, 255, 255});
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x) {
                const char c = pattern_[static_cast<size_t>(y)][static_cast<size_t>(x)];
                if (c == '#')
                    g.image.setPixel(x, y, {0, 0, 0});
                else if (c == '+')
                    g.image.setPixel(x, y, {100, 100, 100});
            }
        // One character per two columns.
        for (int x = 0; x < w; ++x)
            g.columnMap.push_back(x / 2 + 1);
        return g;
    }
    std::u32string lastText;

  private:
    std::vector<std::string> pattern_;
};

class RecordingLog : public RenderLog
{
  public:
    void clear() override { lines.clear(), ++clears; }
    void add(int number, std::string_view tail) override
    {
        lines.emplace_back(number, std::string(tail));
    }
    std::vector<std::pair<int, std::string>> lines;
    int clears = 0;
};

const std::vector<std::string> kLetters = {
    "##..##..#.",
    "#+..#...##",
    "##..##..#.",
    "#...#+..##",
};

struct Fixture {
    ProjectSettings settings;
    LedInfo leds{4, 8, 6, -1};
    FixedRasterizer rasterizer{kLetters};
    RenderRandom random;
    RandomGenerator gen;

    Fixture()
    {
        random.fillAtStart(gen);
        settings.text = "abcde";
        settings.renderType = kFullRender;
    }
    RenderLayout build(RenderLog* log = nullptr)
    {
        RenderGlyphSource source;
        source.rasterizer = &rasterizer;
        return BuildRenderLayout(settings, leds, source, random, gen, log);
    }
};

RenderDot Record(int y, int kind, int x)
{
    RenderDot r;
    r.x = x;
    r.y = y;
    r.kind = kind;
    return r;
}

TEST(RenderLayoutTest, SortByRowKeepsTheOrderOfRecordsEqualInRowAndKind)
{
    RenderDotList dots = {Record(5, 2, 0), Record(1, 3, 1), Record(5, 1, 2),
                          Record(5, 2, 3), Record(1, 3, 4), Record(0, 9, 5)};
    SortByRow(dots);
    std::vector<int> xs;
    for (const RenderDot& r : dots)
        xs.push_back(r.x);
    EXPECT_EQ(xs, (std::vector<int>{5, 1, 4, 2, 0, 3}));
}

TEST(RenderLayoutTest, ShuffleWithFewDotsCarriesTheFirstRecordToTheEnd)
{
    struct Case {
        int n;
        std::vector<int> expected;
    };
    const Case cases[] = {
        {1, {0}},
        {2, {1, 0}},
        {5, {1, 2, 3, 4, 0}},
    };
    for (const Case& c : cases) {
        RenderDotList dots;
        for (int i = 0; i < c.n; ++i)
            dots.push_back(Record(0, 0, i));
        RandomGenerator gen;
        gen.seed(7);
        const uint32_t before = gen.state();
        ShuffleDrawingOrder(dots, gen);
        std::vector<int> xs;
        for (const RenderDot& r : dots)
            xs.push_back(r.x);
        EXPECT_EQ(xs, c.expected) << c.n;
        // One generator step per record, swapped or not.
        RandomGenerator again;
        again.seed(7);
        for (int i = 0; i < c.n; ++i)
            again.step();
        EXPECT_EQ(gen.state(), again.state()) << c.n << " " << before;
    }
}

TEST(RenderLayoutTest, ShuffleOfAHundredDotsHopsFiveToNinePlaces)
{
    RenderDotList dots;
    for (int i = 0; i < 100; ++i)
        dots.push_back(Record(0, 0, i));
    RandomGenerator gen;
    gen.seed(12345);
    RandomGenerator replay = gen;
    ShuffleDrawingOrder(dots, gen);
    // Replay the swaps: every offset lies in 5..9.
    std::vector<int> order(100);
    for (int i = 0; i < 100; ++i)
        order[static_cast<size_t>(i)] = i;
    for (int i = 0; i < 100; ++i) {
        const int offset = 5 + replay.step() % 5;
        ASSERT_GE(offset, 5);
        ASSERT_LE(offset, 9);
        if (i + offset < 100)
            std::swap(order[static_cast<size_t>(i)], order[static_cast<size_t>(i + offset)]);
    }
    for (int i = 0; i < 100; ++i)
        EXPECT_EQ(dots[static_cast<size_t>(i)].x, order[static_cast<size_t>(i)]);
}

TEST(RenderLayoutTest, BackgroundCellsOfTheGridWhenTheOptionHolds)
{
    for (bool background : {true, false}) {
        Fixture f;
        f.settings.useBackground = background;
        const RenderLayout layout = f.build();
        EXPECT_EQ(layout.columns, 10);
        EXPECT_EQ(layout.rows, 4);
        EXPECT_EQ(layout.cellWidth, 8);
        EXPECT_EQ(layout.cellHeight, 6);
        EXPECT_EQ(layout.width, 80);
        EXPECT_EQ(layout.height, 24);
        EXPECT_EQ(layout.backgroundCells, background);
    }
}

TEST(RenderLayoutTest, DotsAreSortedByRowExceptForTheShuffledTail)
{
    Fixture f;
    const RenderLayout layout = f.build();
    // Dark pixels: '#' below the moved threshold (the '+' grey level 100 is the lowest
    // grey, so the range becomes 1..254 and 128 keeps both).
    ASSERT_EQ(layout.dots.size(), 20u);
    // With fewer than 40 dots the first record is carried to the end, every other one
    // moves one place forward: the list without its last record is in row order.
    for (size_t i = 1; i + 1 < layout.dots.size(); ++i)
        EXPECT_LE(layout.dots[i - 1].y, layout.dots[i].y);
    EXPECT_EQ(layout.dots.back().y, 0);
}

TEST(RenderLayoutTest, EveryDotGetsAnAngleFromTheAngleTableWhateverTheRotateOption)
{
    for (bool rotate : {false, true}) {
        Fixture f;
        f.settings.rotateBitmaps = rotate;
        const RenderLayout layout = f.build();
        // The angles of the dots are the first draws of the rebuilt angle table.
        RandomGenerator gen;
        RandomTable angle;
        ReseedRandomTable(angle, f.settings.seedText, gen);
        std::multiset<int> expected, got;
        for (size_t i = 0; i < layout.dots.size(); ++i) {
            expected.insert(static_cast<int>(DrawRandom(angle) * 360.0));
            got.insert(layout.dots[i].rotation);
        }
        EXPECT_EQ(got, expected);
        for (const RenderDot& r : layout.dots) {
            EXPECT_GE(r.rotation, 0);
            EXPECT_LT(r.rotation, 360);
        }
    }
}

TEST(RenderLayoutTest, LedNumbersByRenderType)
{
    // Tags: characters 2 and 3 (columns 2..5) carry LED 3, character 4 carries LED 9,
    // which names no LED image of a four-image set and draws with LED image 1.
    Fixture full;
    full.settings.text = "a[&+03]bc[&-03][&+09]d[&-09]e";
    const RenderLayout tagged = full.build();
    for (const RenderDot& r : tagged.dots) {
        const int column = r.x / 8; // no displacement
        const int character = column / 2 + 1;
        const int expected = (character == 2 || character == 3) ? 3 : 1;
        EXPECT_EQ(r.kind, expected) << "column " << column;
    }
    EXPECT_EQ(full.rasterizer.lastText, U"abcde");

    Fixture random;
    random.settings.renderType = kRandomBitmaps;
    std::map<int, int> kinds;
    for (const RenderDot& r : random.build().dots)
        ++kinds[r.kind];
    for (const auto& [kind, n] : kinds) {
        EXPECT_GE(kind, 1);
        EXPECT_LE(kind, 3);
    }
    EXPECT_GT(kinds.size(), 1u);
}

TEST(RenderLayoutTest, LogoPageFullRenderUsesTheSelectedLitImage)
{
    struct Case {
        int selected, kind;
    };
    for (Case c : {Case{-1, 1}, Case{0, 1}, Case{1, 1}, Case{2, 2}, Case{3, 3}}) {
        Fixture f;
        f.settings.activePage = 1;
        f.settings.logoSize.setPosition(10);
        f.leds.selected = c.selected;
        Picture logo(4, 3, {255, 255, 255});
        logo.setPixel(1, 1, {200, 10, 10}); // red logo pixel: dark after the inversion
        logo.setPixel(2, 2, {10, 10, 10});
        RenderGlyphSource source;
        source.logo = &logo;
        const RenderLayout layout =
            BuildRenderLayout(f.settings, f.leds, source, f.random, f.gen, nullptr);
        ASSERT_FALSE(layout.dots.empty());
        for (const RenderDot& r : layout.dots)
            EXPECT_EQ(r.kind, c.kind) << c.selected;
    }
}

TEST(RenderLayoutTest, LogoPageWithoutALogoIsAnError)
{
    Fixture f;
    f.settings.activePage = 1;
    RenderGlyphSource none;
    EXPECT_THROW(BuildRenderLayout(f.settings, f.leds, none, f.random, f.gen, nullptr), Error);
}

TEST(RenderLayoutTest, SameSettingsGiveTheSameListsInEveryRenderType)
{
    for (int type : {kRandomPoints, kRandomBitmaps, kFullRender}) {
        Fixture f;
        f.settings.renderType = type;
        f.settings.shufle.setPosition(80);
        const RenderLayout first = f.build();
        const RenderLayout second = f.build();
        EXPECT_FALSE(first.dots.empty()) << type;
        EXPECT_EQ(first.dots, second.dots) << type;
        EXPECT_EQ(first.backgroundCells, second.backgroundCells) << type;
    }
}

TEST(RenderLayoutTest, LogLinesByStringNumber)
{
    for (int type : {kRandomPoints, kFullRender}) {
        Fixture f;
        f.settings.renderType = type;
        RecordingLog log;
        log.add(43, "");
        f.build(&log);
        EXPECT_EQ(log.clears, 1);
        const int dots = type == kRandomPoints ? 17 : 16;
        const std::vector<std::pair<int, std::string>> expected = {
            {12, ""}, {13, ": 10 x 4"}, {14, ": 80 x 24"}, {12, ""},
            {15, ""}, {dots, ""},       {18, ""},          {19, ""}};
        EXPECT_EQ(log.lines, expected) << type;
    }
}

TEST(RenderLayoutTest, ThresholdIsNarrowedToTheGlyphsGreyLevels)
{
    Fixture f;
    f.settings.brightnes.setPosition(255);
    f.build();
    EXPECT_EQ(f.settings.brightnes.min(), 1);
    EXPECT_EQ(f.settings.brightnes.max(), 254);
    EXPECT_EQ(f.settings.brightnes.position(), 254);
}

// Types 1 and 2 place the main window's Random and Preview (Bitmap on the Logo page)
// dots with the same LED numbers, and type 0 its Points dots; only the rotations and the
// order are the render's own.
TEST(RenderLayoutTest, SameDotsAsTheMainWindowsStyles)
{
    struct Case {
        int renderType, style, page;
    };
    const Case cases[] = {
        {kRandomBitmaps, kRandom, 0}, {kFullRender, kPreview, 0}, {kRandomPoints, kPoints, 0},
        {kRandomBitmaps, kRandom, 1}, {kFullRender, kBitmap, 1},
    };
    Picture logo(6, 5, {255, 255, 255});
    for (int i = 0; i < 6; ++i)
        logo.setPixel(i, i % 5, {0, 0, 0});
    logo.setPixel(3, 3, {40, 40, 40});
    for (const Case& c : cases) {
        Fixture f;
        f.settings.text = "a[&+02]bc[&-02]de";
        f.settings.shufle.setPosition(120);
        f.settings.renderType = c.renderType;
        f.settings.previewButton = c.style;
        f.settings.activePage = c.page;
        f.leds.selected = 2;
        RenderGlyphSource source;
        source.rasterizer = &f.rasterizer;
        source.logo = c.page == 1 ? &logo : nullptr;
        ProjectSettings previewSettings = f.settings;
        const RenderLayout render =
            BuildRenderLayout(f.settings, f.leds, source, f.random, f.gen, nullptr);

        LayoutRandom previewRandom;
        std::vector<TScatterPoint> points;
        const LedInfo info = f.leds;
        const LayoutResult preview = ComputePreviewLayout(previewSettings, info, f.rasterizer,
                                                          source.logo, previewRandom, points);
        auto key = [](const TDotRecord& r) {
            TDotRecord k = r;
            k.rotation = 0;
            return std::make_tuple(k.y, k.x, k.kind, k.width, k.height, k.left, k.top, k.right,
                                   k.bottom);
        };
        // The render keeps the position; its square is the one the preview's record holds.
        DotList finished;
        for (const RenderDot& r : render.dots) {
            TDotRecord d;
            d.x = r.x;
            d.y = r.y;
            d.kind = r.kind;
            finished.push_back(d);
        }
        FinishRecords(finished, 0, {render.cellWidth, render.cellHeight}, render.width,
                      render.height);
        EXPECT_EQ(finished.size(), render.dots.size());
        for (size_t i = 0; i < finished.size(); ++i) {
            EXPECT_EQ(finished[i].x, render.dots[i].x);
            EXPECT_EQ(finished[i].y, render.dots[i].y);
        }
        std::multiset<decltype(key(TDotRecord{}))> fromRender, fromPreview;
        for (const TDotRecord& r : finished)
            fromRender.insert(key(r));
        for (const TDotRecord& r : preview.dots)
            if (r.kind != 0) // the preview's background cells
                fromPreview.insert(key(r));
        EXPECT_FALSE(fromRender.empty()) << c.renderType << "/" << c.page;
        EXPECT_EQ(fromRender, fromPreview) << c.renderType << "/" << c.page;
    }
}

// The dot list has no fixed capacity: a glyph of more than 100,000 cells gets a background
// cell for each, and as many dots as it has dark pixels.
TEST(RenderLayoutTest, ListsGrowPastAHundredThousandRecords)
{
    std::vector<std::string> pattern(260, std::string(400, '.'));
    for (size_t y = 0; y < pattern.size(); ++y)
        for (size_t x = 0; x < 400; ++x)
            if ((x / 3 + y / 2) % 2 == 0)
                pattern[y][x] = '#';
    Fixture f;
    f.rasterizer = FixedRasterizer(pattern);
    const RenderLayout layout = f.build();
    EXPECT_TRUE(layout.backgroundCells);
    EXPECT_EQ(layout.columns * layout.rows, 104000);
    size_t dark = 0;
    for (const std::string& row : pattern)
        dark += static_cast<size_t>(std::count(row.begin(), row.end(), '#'));
    EXPECT_GT(dark, 50000u);
    EXPECT_EQ(layout.dots.size(), dark);
}

} // namespace
} // namespace lumexa
