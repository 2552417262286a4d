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
#include <utility>

namespace lumexa
{

void RenderRandom::fillAtStart(RandomGenerator& gen)
{
    for (RandomTable* t : {&shuffle, &pick, &led, &accept, &angle, &spare})
        FillRandomTable(*t, kDefaultSeed, gen);
}

void SortByRow(RenderDotList& dots)
{
    // A stable sort, so that the drawing order of overlapping dots in one row, and so
    // the result's bytes, do not depend on the library's sort.
    std::stable_sort(dots.begin(), dots.end(), [](const RenderDot& a, const RenderDot& b) {
        return a.y != b.y ? a.y < b.y : a.kind < b.kind;
    });
}

void ShuffleDrawingOrder(RenderDotList& dots, RandomGenerator& gen)
{
    const int64_t n = static_cast<int64_t>(dots.size());
    const int64_t step = std::max<int64_t>(static_cast<int64_t>(n * 0.05), 1);
    for (int64_t i = 0; i < n; ++i) {
        const int64_t offset = step + gen.step() % step;
        if (i + offset > 0 && i + offset < n)
            std::swap(dots[static_cast<size_t>(i)], dots[static_cast<size_t>(i + offset)]);
    }
}

namespace
{

// A rotation for every record, in list order.
void DrawAngles(RenderDotList& dots, RandomTable& angle)
{
    for (RenderDot& dot : dots)
        dot.rotation = static_cast<int>(DrawRandom(angle) * 360.0);
}

} // namespace

RenderLayout BuildRenderLayout(ProjectSettings& settings, const LedInfo& leds,
                               const RenderGlyphSource& source, RenderRandom& random,
                               RandomGenerator& gen, RenderLog* log, const std::stop_token& stop)
{
    const auto checkStop = [&stop] {
        if (stop.stop_requested())
            throw Stopped();
    };
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
        glyph =
            source.rasterizer->drawText(parsed.stripped, settings.fontName,
                                        settings.fontSize.position(), settings.kerning.position());
    }
    checkStop();
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
    if (settings.renderType == kRandomPoints) {
        out.add(kStringRandomPoints);
        // The render reads the red byte where the main window's Points style reads blue.
        ScatterTables tables{random.accept, random.shuffle, random.led, random.pick};
        ScatterRenderDots(glyph.image, Channel::Red, cell, shufle, settings.density.position(),
                          leds.count, tables, layout.dots, stop);
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
        AppendGridDots(glyph.image, Channel::Red, threshold, cell, shufle, random.shuffle, kindOf,
                       layout.dots);
    }
    checkStop();
    // The angle table serves nothing else, so drawing the angles after the dots gives
    // each dot the angle it would get when drawn as the dot is appended.
    DrawAngles(layout.dots, random.angle);
    FinishRecords(layout.dots, cell, layout.width, layout.height);

    checkStop();
    SortByRow(layout.dots);
    ShuffleDrawingOrder(layout.dots, gen);

    out.add(kStringLayoutEnd);
    out.add(kStringLayoutClosing);
    return layout;
}

} // namespace lumexa
