// The main window's recompute: tags, glyph, threshold, dot list and status values.
#include "core/layout/preview_layout.h"

#include "core/base/text_codec.h"
#include "core/layout/points_scatter.h"
#include "core/pictures/logo_glyph.h"

#include <algorithm>

namespace lumexa
{

namespace
{

enum TableRole { kShuffleTable = 0, kPickTable = 1, kLedTable = 3, kAcceptTable = 4 };

// The columns of a columns x rows glyph that the preview lays out (at least one).
int DrawnColumns(int columns, int rows)
{
    if (static_cast<int64_t>(columns) * rows <= kMostPreviewCells)
        return columns;
    return static_cast<int>(std::max<int64_t>(1, kMostPreviewCells / std::max(rows, 1)));
}

// The first `columns` columns of `picture`.
Picture LeftColumns(const Picture& picture, int columns)
{
    Picture left(columns, picture.height());
    for (int y = 0; y < picture.height(); ++y)
        std::copy_n(picture.row(y), left.stride(), left.row(y));
    return left;
}

} // namespace

LayoutRandom::LayoutRandom()
{
    for (RandomTable& t : tables)
        FillRandomTable(t, kDefaultSeed, gen);
}

bool RenderCommandAllowed(const ProjectSettings& settings, const LedInfo& leds)
{
    return leds.count > 1 && !settings.text.empty() && settings.activePage == 0;
}

CellSize PreviewCellSize(const LedInfo& leds)
{
    if (leds.count >= 2)
        return {leds.led0Width, leds.led0Height};
    return {16, 16};
}

Glyph MakeLayoutGlyph(const ProjectSettings& settings, const ParsedText& parsed,
                      GlyphRasterizer& rasterizer, const Picture* logo, const std::stop_token& stop)
{
    if (settings.activePage == 1 && logo != nullptr)
        return MakeLogoGlyph(*logo, settings.logoSize.position(), settings.logoInvert);
    return rasterizer.drawText(parsed.stripped, settings.fontName, settings.fontSize.position(),
                               settings.kerning.position(), stop);
}

namespace
{

// The recompute's first steps: false when there is nothing to lay out (the status says why).
bool readyToLayOut(const ProjectSettings& settings, const LedInfo& leds, const Picture* logo,
                   LayoutResult& result)
{
    result.renderAllowed = RenderCommandAllowed(settings, leds);
    if (settings.text.empty()) {
        result.status = LayoutStatus::NoText;
        return false;
    }
    if (settings.activePage == 1 && logo == nullptr) {
        result.status = LayoutStatus::NoLogo;
        return false;
    }
    return true;
}

// The tags, the glyph and the threshold: everything that can fail.
void makeGlyph(ProjectSettings& settings, GlyphRasterizer& rasterizer, const Picture* logo,
               LayoutResult& result, const std::stop_token& stop = {})
{
    if (settings.activePage != 1)
        result.parsed = ParseTags(Utf8ToChars(settings.text));
    result.glyph = MakeLayoutGlyph(settings, result.parsed, rasterizer, logo, stop);
    NarrowThreshold(result.glyph.image, settings.brightnes);
}

} // namespace

void CheckPreviewLayout(ProjectSettings& settings, const LedInfo& leds, GlyphRasterizer& rasterizer,
                        const Picture* logo, const std::stop_token& stop)
{
    LayoutResult result;
    if (readyToLayOut(settings, leds, logo, result))
        makeGlyph(settings, rasterizer, logo, result, stop);
}

LayoutResult ComputePreviewLayout(ProjectSettings& settings, const LedInfo& leds,
                                  GlyphRasterizer& rasterizer, const Picture* logo,
                                  LayoutRandom& random, std::vector<TScatterPoint>& points)
{
    LayoutResult result;
    if (!readyToLayOut(settings, leds, logo, result))
        return result;
    const bool logoPage = settings.activePage == 1;

    // Every table starts again from the seed, so the same settings give the same dots.
    for (int role : {kPickTable, kLedTable, kShuffleTable, kAcceptTable})
        ReseedRandomTable(random.tables[static_cast<size_t>(role)], settings.seedText, random.gen);
    RandomTable& shuffle = random.tables[kShuffleTable];

    makeGlyph(settings, rasterizer, logo, result);
    const int threshold = settings.brightnes.position();
    result.columns = result.glyph.image.width();
    result.rows = result.glyph.image.height();
    result.fontDots = CountFontDots(result.glyph.image, threshold);
    result.drawnColumns = DrawnColumns(result.columns, result.rows);
    const Picture shown = result.drawnColumns < result.columns
                              ? LeftColumns(result.glyph.image, result.drawnColumns)
                              : Picture();
    const Picture& image = shown.empty() ? result.glyph.image : shown;

    result.cell = PreviewCellSize(leds);
    result.style = settings.previewButton;
    result.imageWidth = static_cast<int64_t>(result.drawnColumns) * result.cell.width;
    result.imageHeight = static_cast<int64_t>(result.rows) * result.cell.height;

    const int style = result.style;
    const bool lit = leds.count >= 2;
    const int shufle = settings.shufle.position();
    DotList& dots = result.dots;
    if (style >= kPoints && style <= kBitmap && lit)
        AppendBackgroundCells(result.drawnColumns, result.rows, result.cell, dots);

    if (style >= kFlat && style <= kDot) {
        AppendGridDots(
            image, Channel::Red, threshold, result.cell, shufle, shuffle,
            [style](int) { return -style; }, dots);
    } else if (style == kRandom && lit) {
        RandomTable& ledTable = random.tables[kLedTable];
        AppendGridDots(
            image, Channel::Red, threshold, result.cell, shufle, shuffle,
            [&](int) { return RandomLedNumber(leds.count, ledTable); }, dots);
    } else if (style == kPreview && lit) {
        // A project file can leave this style down on the Logo page, where no character
        // names an LED image: every dot then takes LED image 1.
        const std::vector<int32_t>& columnMap = result.glyph.columnMap;
        const ParsedText& parsed = result.parsed;
        AppendGridDots(
            image, Channel::Red, threshold, result.cell, shufle, shuffle,
            [&](int column) {
                if (logoPage || static_cast<size_t>(column) >= columnMap.size())
                    return 1;
                return TaggedLedNumber(parsed.ledAt(columnMap[static_cast<size_t>(column)]),
                                       leds.count);
            },
            dots);
    } else if (style == kBitmap && lit) {
        const int kind = SelectedLedNumber(leds.selected, leds.count);
        AppendGridDots(
            image, Channel::Red, threshold, result.cell, shufle, shuffle,
            [kind](int) { return kind; }, dots);
    } else if (style == kPoints) {
        MakeCandidatePoints(image, Channel::Blue, result.cell, shufle, random.tables[kAcceptTable],
                            shuffle, points);
        SelectScatterDots(points, settings.density.position(), leds.count, result.drawnColumns,
                          result.rows, result.cell, random.tables[kLedTable],
                          random.tables[kPickTable], dots);
    }
    FinishRecords(dots, 0, result.cell, result.imageWidth, result.imageHeight);
    return result;
}

} // namespace lumexa
