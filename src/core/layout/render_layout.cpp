// The render layout.
#include "core/layout/render_layout.h"

#include "core/base/error.h"
#include "core/base/text_codec.h"
#include "core/layout/dot_grid.h"
#include "core/layout/points_scatter.h"
#include "core/pictures/logo_glyph.h"
#include "core/progress/render_progress.h"
#include "core/project/tags.h"

#include <algorithm>
#include <functional>
#include <utility>

namespace lumexa
{

void RenderRandom::fillAtStart(RandomGenerator& gen)
{
    for (RandomTable* t : {&shuffle, &pick, &led, &accept, &angle, &spare})
        FillRandomTable(*t, kDefaultSeed, gen);
}

namespace
{

// Counting sort of the positions in `from` (or of 0..n-1 when `from` is empty) by key,
// keeping the order of equal keys; keys lie in 0..buckets-1.
template <typename Key>
std::vector<uint32_t> CountingOrder(size_t n, const std::vector<uint32_t>& from, size_t buckets,
                                    const Key& keyOf, const std::stop_token& stop)
{
    std::vector<size_t> next(buckets + 1, 0);
    for (size_t i = 0; i < n; ++i) {
        CheckStopEvery(i, stop);
        ++next[keyOf(i) + 1];
    }
    for (size_t b = 0; b < buckets; ++b)
        next[b + 1] += next[b];
    std::vector<uint32_t> order(n);
    for (size_t j = 0; j < n; ++j) {
        CheckStopEvery(j, stop);
        const uint32_t i = from.empty() ? static_cast<uint32_t>(j) : from[j];
        order[next[keyOf(i)]++] = i;
    }
    return order;
}

// Puts words[order[j]] at place j for every j, in place: each cycle of the permutation is
// followed once, and a place done is marked in `order` by pointing at itself.
void ApplyOrder(std::vector<uint64_t>& words, std::vector<uint32_t>& order,
                const std::stop_token& stop)
{
    const size_t n = words.size();
    size_t moved = 0;
    for (size_t start = 0; start < n; ++start) {
        if (order[start] == start)
            continue;
        const uint64_t first = words[start];
        size_t at = start;
        for (;;) {
            CheckStopEvery(++moved, stop);
            const size_t from = order[at];
            order[at] = static_cast<uint32_t>(at);
            if (from == start) {
                words[at] = first;
                break;
            }
            words[at] = words[from];
            at = from;
        }
    }
}

// One bucket per (y, kind) pair up to this many; beyond, two passes sort by kind, then y.
constexpr uint64_t kMostPairBuckets = uint64_t{1} << 22;

} // namespace

void SortByRow(RenderDotList& dots, const std::stop_token& stop)
{
    // A stable sort, so that the drawing order of overlapping dots in one row, and so
    // the result's bytes, do not depend on the library's sort. A long text has tens of
    // millions of dots, so they are counted into buckets by row and kind (a stop request
    // is seen within milliseconds) and moved into place without a second copy of the list.
    const size_t n = dots.size();
    if (n < 2)
        return;
    std::vector<uint64_t>& words = dots.mutableWords();
    int32_t minY = dots.yOf(words[0]), maxY = minY;
    int32_t minKind = dots.kindOf(words[0]), maxKind = minKind;
    for (const uint64_t w : words) {
        minY = std::min(minY, dots.yOf(w));
        maxY = std::max(maxY, dots.yOf(w));
        minKind = std::min(minKind, dots.kindOf(w));
        maxKind = std::max(maxKind, dots.kindOf(w));
    }
    const uint64_t ys = static_cast<uint64_t>(int64_t{maxY} - minY) + 1;
    const uint64_t kinds = static_cast<uint64_t>(int64_t{maxKind} - minKind) + 1;
    const auto yOf = [&](size_t i) {
        return static_cast<size_t>(int64_t{dots.yOf(words[i])} - minY);
    };
    const auto kindOf = [&](size_t i) {
        return static_cast<size_t>(int64_t{dots.kindOf(words[i])} - minKind);
    };
    std::vector<uint32_t> order;
    if (ys * kinds <= kMostPairBuckets) {
        order = CountingOrder(
            n, {}, static_cast<size_t>(ys * kinds),
            [&](size_t i) { return yOf(i) * static_cast<size_t>(kinds) + kindOf(i); }, stop);
    } else {
        // By the minor key first, then stably by the major one.
        const std::vector<uint32_t> byKind =
            CountingOrder(n, {}, static_cast<size_t>(kinds), kindOf, stop);
        order = CountingOrder(n, byKind, static_cast<size_t>(ys), yOf, stop);
    }
    ApplyOrder(words, order, stop);
}

void ShuffleDrawingOrder(RenderDotList& dots, RandomGenerator& gen, const std::stop_token& stop)
{
    const int64_t n = static_cast<int64_t>(dots.size());
    if (n == 0)
        return;
    std::vector<uint64_t>& words = dots.mutableWords();
    const int64_t step = std::max<int64_t>(static_cast<int64_t>(n * 0.05), 1);
    for (int64_t i = 0; i < n; ++i) {
        CheckStopEvery(static_cast<size_t>(i), stop);
        const int64_t offset = step + gen.step() % step;
        if (i + offset > 0 && i + offset < n)
            std::swap(words[static_cast<size_t>(i)], words[static_cast<size_t>(i + offset)]);
    }
}

namespace
{

// Takes the layout's dots as they are made: each finished (moved inside the result) and
// given its rotation, the next draw of the angle table, as it comes. Since the angle table
// serves nothing else, that is the angle each dot gets when the angles are drawn after all
// dots, in list order. Refuses the dot past kMaxRenderDots.
class RenderDotSink
{
  public:
    RenderDotSink(RenderDotList& dots, CellSize cell, int64_t width, int64_t height,
                  RandomTable& angle)
        : dots_(dots), finish_(cell, width, height), angle_(angle)
    {
        dots_.setBounds(width, height);
    }

    void operator()(int x, int y, int kind)
    {
        if (static_cast<int64_t>(dots_.size()) >= kMaxRenderDots)
            throw Error("The layout makes more than " + std::to_string(kMaxRenderDots) +
                        " dots, more than a render can hold: a lower density, a shorter text "
                        "or a smaller font or logo makes fewer");
        RenderDot d;
        d.x = finish_.clampX(x);
        d.y = finish_.clampY(y);
        d.kind = kind;
        d.rotation = static_cast<int>(DrawRandom(angle_) * 360.0);
        dots_.push_back(d);
    }

  private:
    RenderDotList& dots_;
    RecordFinish finish_;
    RandomTable& angle_;
};

} // namespace

RenderLayout BuildRenderLayout(ProjectSettings& settings, const LedInfo& leds,
                               const RenderGlyphSource& source, RenderRandom& random,
                               RandomGenerator& gen, RenderLog* log, const std::stop_token& stop)
{
    NullRenderLog nullLog;
    RenderLog& out = log ? *log : nullLog;
    RenderLayout layout;

    // The order of the rebuilds only decides the state the generator is left in for the
    // local shuffle.
    for (RandomTable* t :
         {&random.pick, &random.led, &random.shuffle, &random.accept, &random.angle})
        ReseedRandomTable(*t, settings.seedText, gen);

    out.clear();
    out.add(kStringLayoutBegin);

    const bool logoPage = settings.activePage == 1;
    Glyph glyph;
    ParsedText parsed;
    if (logoPage) {
        if (!source.logo)
            throw Error("No logo is loaded: load a logo picture or show the Text page");
        glyph = MakeLogoGlyph(*source.logo, settings.logoSize.position(), settings.logoInvert);
    } else {
        parsed = ParseTags(Utf8ToChars(settings.text));
        if (!source.rasterizer)
            throw Error("No text rasteriser is available");
        glyph = source.rasterizer->drawText(parsed.stripped, settings.fontName,
                                            settings.fontSize.position(),
                                            settings.kerning.position(), stop);
    }
    CheckStop(stop);
    NarrowThreshold(glyph.image, settings.brightnes);
    const int threshold = settings.brightnes.position();

    if (leds.led0Width < 1 || leds.led0Height < 1)
        throw Error("LED image 0 has no pixels");
    const CellSize cell{leds.led0Width, leds.led0Height};
    layout.columns = glyph.image.width();
    layout.rows = glyph.image.height();
    layout.cellWidth = cell.width;
    layout.cellHeight = cell.height;
    layout.width = static_cast<int64_t>(layout.columns) * cell.width;
    layout.height = static_cast<int64_t>(layout.rows) * cell.height;
    out.add(kStringGlyphSize, SizeTail(layout.columns, layout.rows));
    out.add(kStringResultSize, SizeTail(layout.width, layout.height));
    out.add(kStringLayoutBegin);

    if (settings.useBackground) {
        out.add(kStringBackgroundCells);
        layout.backgroundCells = true;
    }

    const int shufle = settings.shufle.position();
    RenderDotSink sink(layout.dots, cell, layout.width, layout.height, random.angle);
    if (settings.renderType == kRandomPoints) {
        out.add(kStringRandomPoints);
        // The render reads the red byte where the main window's Points style reads blue.
        ScatterTables tables{random.accept, random.shuffle, random.led, random.pick};
        ScatterRenderDots(glyph.image, Channel::Red, cell, shufle, settings.density.position(),
                          leds.count, tables, std::ref(sink), stop);
    } else {
        out.add(kStringGridDots);
        KindOfDot kindOf;
        if (settings.renderType == kRandomBitmaps) {
            kindOf = [&](int) { return RandomLedNumber(leds.count, random.led); };
        } else if (logoPage) {
            const int kind = SelectedLedNumber(leds.selected, leds.count);
            kindOf = [kind](int) { return kind; };
        } else {
            kindOf = [&](int column) {
                const size_t c = static_cast<size_t>(column);
                const int character = c < glyph.columnMap.size() ? glyph.columnMap[c] : 0;
                return TaggedLedNumber(parsed.ledAt(character), leds.count);
            };
        }
        // Room for every dot at once: grown dot by dot, a long text's list would be copied
        // at every doubling and end up to half again as large as it needs.
        layout.dots.reserve(CountGridDots(glyph.image, Channel::Red, threshold));
        MakeGridDots(glyph.image, Channel::Red, threshold, cell, shufle, random.shuffle, kindOf,
                     std::ref(sink), stop);
    }
    CheckStop(stop);
    // The glyph is done with: its memory goes before the sort takes its own.
    glyph = Glyph();
    SortByRow(layout.dots, stop);
    ShuffleDrawingOrder(layout.dots, gen, stop);

    out.add(kStringLayoutEnd);
    out.add(kStringLayoutClosing);
    return layout;
}

} // namespace lumexa
