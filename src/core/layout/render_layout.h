// The render window's own layout of the text or logo at full size: the main window's
// dots again (same glyph, threshold, displacements and LED numbers for the same seed),
// plus a rotation for every dot, the background cells, the choice of dots by render type,
// sorting by row and a local shuffle of the drawing order.
#pragma once

#include "core/layout/dot_record.h"
#include "core/layout/render_dot_list.h"
#include "core/layout/preview_layout.h"
#include "core/layout/random_source.h"
#include "core/pictures/glyph.h"
#include "core/pictures/picture.h"
#include "core/progress/render_log.h"
#include "core/project/settings.h"

#include <cstdint>
#include <stop_token>
#include <vector>

namespace lumexa
{

// Language string numbers of the layout's log lines.
inline constexpr int kStringLayoutBegin = 12;
inline constexpr int kStringGlyphSize = 13;
inline constexpr int kStringResultSize = 14;
inline constexpr int kStringBackgroundCells = 15;
inline constexpr int kStringGridDots = 16;
inline constexpr int kStringRandomPoints = 17;
inline constexpr int kStringLayoutEnd = 18;
inline constexpr int kStringLayoutClosing = 19;

// The most dots a render layout holds. A grid layout has at most one dot per cell, but the
// random points can put up to the density's number in each: a layout past this many would
// need more memory than a render may take, and is refused.
inline constexpr int64_t kMaxRenderDots = kMaxGridCells;

// The render window's random tables, by role. Each is filled with the start seed when
// the program starts; the layout rebuilds the first five from the seed field.
struct RenderRandom {
    RandomTable shuffle; // displacements
    RandomTable pick;    // Points selection index
    RandomTable led;     // random LED numbers
    RandomTable accept;  // Points acceptance
    RandomTable angle;   // rotations
    RandomTable spare;   // never read

    void fillAtStart(RandomGenerator& gen);
};

// What the layout needs of the LED image set.

// Where the glyph comes from: the rasteriser on the Text page, the logo picture on the
// Logo page.
struct RenderGlyphSource {
    GlyphRasterizer* rasterizer = nullptr;
    const Picture* logo = nullptr; // null when no logo is loaded
};

struct RenderLayout {
    RenderDotList dots; // sorted by y then kind, then locally shuffled: drawing order
    // One background cell of LED image 0 per grid cell, at (column x cell width, row x cell
    // height) with kind 0 and rotation 0, rows outer and columns inner, which is their order
    // by y then kind. The grid implies them, so they are not stored one by one.
    bool backgroundCells = false;
    int columns = 0; // glyph size
    int rows = 0;
    int cellWidth = 0;
    int cellHeight = 0;
    int64_t width = 0;  // W = columns x cell width
    int64_t height = 0; // H = rows x cell height
};

// Builds the layout. Narrows `settings.brightnes` to the glyph's grey levels as the main
// window does; the dots use the moved threshold. Reads the render type and the background
// option from `settings`. Draws from the tables of `random` and, for the local shuffle,
// steps `gen` on from the state the rebuilding of the tables left. Log lines go to `log`
// (null for none).
// Throws an Error for a tag number that does not convert, an empty threshold range, a
// Logo page without a logo, a cell of no pixels or more than kMaxRenderDots dots; throws
// Stopped when `stop` is requested
// (Ctrl-C in lumexa-render), checked between the steps and inside the long Points loops.
RenderLayout BuildRenderLayout(ProjectSettings& settings, const LedInfo& leds,
                               const RenderGlyphSource& source, RenderRandom& random,
                               RandomGenerator& gen, RenderLog* log,
                               const std::stop_token& stop = {});

// Sorts by y, then kind; records equal in both keep their order. Throws Stopped once
// `stop` is requested (the list is then in no order).
void SortByRow(RenderDotList& dots, const std::stop_token& stop = {});
// Moves records forward in hops of step .. 2 x step - 1 places (step = 5 % of the count,
// at least 1), one generator step per record, so that every row's dots are not drawn
// strictly in row order. Throws Stopped once `stop` is requested.
void ShuffleDrawingOrder(RenderDotList& dots, RandomGenerator& gen,
                         const std::stop_token& stop = {});

} // namespace lumexa
