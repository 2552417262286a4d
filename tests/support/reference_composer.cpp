// The reference composer: candidates found by scanning the lists from both ends, then every
// pixel of the row tested against every candidate.
#include "support/reference_composer.h"

#include "core/layout/dot_grid.h"
#include "core/render/led_sampling.h"

#include <algorithm>
#include <cstring>
#include <optional>

namespace lumexa::reference
{
namespace
{

struct Range {
    size_t first = 0;
    size_t end = 0; // one past the last candidate
};

template <typename Covers> Range scanFromBothEnds(const DotList& list, Covers covers)
{
    size_t first = 0;
    while (first < list.size() && !covers(list[first]))
        ++first;
    size_t end = list.size();
    while (end > first && !covers(list[end - 1]))
        --end;
    return {first, end};
}

Range dotCandidates(const DotList& dots, int py)
{
    return scanFromBothEnds(dots,
                            [py](const TDotRecord& d) { return d.top < py && py < d.bottom; });
}

Range backgroundCandidates(const DotList& cells, int py)
{
    return scanFromBothEnds(
        cells, [py](const TDotRecord& d) { return d.y <= py && py <= d.y + d.height; });
}

const LedImage* ledOf(const RenderScene& scene, int kind)
{
    if (kind < 0 || static_cast<size_t>(kind) >= scene.leds.size())
        return nullptr;
    return scene.leds[static_cast<size_t>(kind)];
}

bool boxCovers(const TDotRecord& d, int px, int py)
{
    return d.left < px && px < d.right && d.top < py && py < d.bottom;
}

// One pixel as the composition sees it: colours and, for the full render, coverage.
struct Pixel {
    int r = 0, g = 0, b = 0, c = 0;
};

// The three dot steps.
void composeDot(const RenderScene& scene, const TDotRecord& d, int px, int py, Pixel& p)
{
    const LedImage* led = ledOf(scene, d.kind);
    if (led == nullptr)
        return;
    const int u = px - d.x;
    const int v = py - d.y;
    const int angle = scene.options.rotate ? d.rotation : 0;
    bool drawn = false;
    if (scene.options.useMask && led->alphaInUse) {
        const std::optional<LedSample> alpha =
            SampleLedPicture(*led, led->alphaPicture, u, v, angle);
        const std::optional<LedSample> s = SampleLedPicture(*led, led->picture, u, v, angle);
        if (alpha && s) {
            const int m = alpha->blue;
            const float t = MaskFactor(m);
            const double keep = 1 - static_cast<double>(t);
            p.r = static_cast<int>(p.r * keep + s->red * static_cast<double>(t));
            p.g = static_cast<int>(p.g * keep + s->green * static_cast<double>(t));
            p.b = static_cast<int>(p.b * keep + s->blue * static_cast<double>(t));
            p.c = std::max(p.c, m);
        }
        drawn = true;
    }
    if (scene.options.additive) {
        if (const std::optional<LedSample> s = SampleLedPicture(*led, led->picture, u, v, angle)) {
            p.r = std::min(p.r + s->red, 255);
            p.g = std::min(p.g + s->green, 255);
            p.b = std::min(p.b + s->blue, 255);
        }
        p.c = p.b;
        drawn = true;
    }
    if (!drawn) {
        if (const std::optional<LedSample> s = SampleLedPicture(*led, led->picture, u, v, angle)) {
            p.r = s->red;
            p.g = s->green;
            p.b = s->blue;
        }
        p.c = 255;
    }
}

void ComposePixel(const RenderScene& scene, const SceneRecords& records, Range cells, Range dots,
                  int px, int py, Pixel& p)
{
    const LedImage* led0 = ledOf(scene, 0);
    bool panel = false; // a background cell covers the pixel
    if (scene.options.background && led0 != nullptr) {
        for (size_t i = cells.first; i < cells.end; ++i) {
            const TDotRecord& cell = records.background[i];
            if (!(cell.x <= px && px < cell.x + cell.width && cell.y <= py &&
                  py < cell.y + cell.height))
                continue;
            const int u = px - cell.x;
            const int v = py - cell.y;
            // A cell larger than LED image 0 shows nothing where the picture ends.
            if (u >= led0->picture.width() || v >= led0->picture.height())
                continue;
            const uint8_t* src = led0->picture.row(v) + static_cast<size_t>(u) * 3;
            p = {src[2], src[1], src[0], 0};
            panel = true;
        }
    }
    for (size_t i = dots.first; i < dots.end; ++i) {
        const TDotRecord& d = records.dots[i];
        if (boxCovers(d, px, py))
            composeDot(scene, d, px, py, p);
    }
    // An opaque panel: every pixel a background cell covers ends with coverage 255.
    if (panel && scene.options.opaqueBackground)
        p.c = 255;
}

} // namespace

SceneRecords RecordsOf(const RenderScene& scene)
{
    SceneRecords records;
    if (scene.backgroundCells) {
        AppendBackgroundCells(scene.columns, scene.rows, scene.cell, records.background);
        FinishRecords(records.background, 0, scene.cell, scene.width, scene.height);
    }
    const RecordFinish finish(scene.cell, scene.width, scene.height);
    for (const RenderDot& dot : scene.dots) {
        TDotRecord d;
        d.x = dot.x;
        d.y = dot.y;
        d.width = scene.cell.width;
        d.height = scene.cell.height;
        d.kind = dot.kind;
        d.rotation = dot.rotation;
        const BoundingSquare square = finish.squareAt(dot.x, dot.y);
        d.left = square.left;
        d.top = square.top;
        d.right = square.right;
        d.bottom = square.bottom;
        records.dots.push_back(d);
    }
    return records;
}

void RenderRow(const RenderScene& scene, int py, uint8_t* rgbaRow)
{
    RenderRow(scene, RecordsOf(scene), py, rgbaRow);
}

void RenderRow(const RenderScene& scene, const SceneRecords& records, int py, uint8_t* rgbaRow)
{
    std::memset(rgbaRow, 0, static_cast<size_t>(scene.width) * 4);
    const Range cells = backgroundCandidates(records.background, py);
    const Range dots = dotCandidates(records.dots, py);
    for (int px = 0; px < scene.width; ++px) {
        Pixel p;
        ComposePixel(scene, records, cells, dots, px, py, p);
        uint8_t* out = rgbaRow + static_cast<size_t>(px) * 4;
        out[0] = static_cast<uint8_t>(p.r);
        out[1] = static_cast<uint8_t>(p.g);
        out[2] = static_cast<uint8_t>(p.b);
        out[3] = static_cast<uint8_t>(p.c);
    }
}

} // namespace lumexa::reference
