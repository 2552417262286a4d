// The main window's recompute without the drawing: from the settings, the LED set's
// numbers and a glyph source, everything the preview and the status bar show. The
// windows read the settings model, call ComputePreviewLayout and draw the result.
#pragma once

#include "core/layout/dot_grid.h"
#include "core/layout/dot_record.h"
#include "core/layout/random_source.h"
#include "core/pictures/glyph.h"
#include "core/pictures/picture.h"
#include "core/project/settings.h"
#include "core/project/tags.h"

#include <array>
#include <cstdint>
#include <stop_token>
#include <vector>

namespace lumexa
{

// What the layout needs of the LED image set.
struct LedInfo {
    int count = 0;     // loaded LED images
    int led0Width = 0; // LED image 0's size
    int led0Height = 0;
    int selected = -1; // SelectedLedImage: highest lowered strip panel, -1 for none
};

// The main window's random source: one generator and five tables, all filled with the
// default seed at start-up. Table roles: 0 displacement, 1 Points pick, 2 unused,
// 3 LED number, 4 Points acceptance.
struct LayoutRandom {
    LayoutRandom();
    RandomGenerator gen;
    std::array<RandomTable, 5> tables;
};

enum class LayoutStatus {
    Done,   // glyph, dots and status values are filled
    NoText, // the text field is empty: nothing is redrawn
    NoLogo, // Logo page without a logo: the window shows its prompt
};

struct LayoutResult {
    LayoutStatus status = LayoutStatus::Done;
    ParsedText parsed; // Text page only
    Glyph glyph;
    int columns = 0; // the glyph's
    int rows = 0;
    // The columns laid out: all of them, or the first ones up to kMostPreviewCells cells.
    int drawnColumns = 0;
    CellSize cell;
    int style = kFlat;
    DotList dots;           // finished records, in drawing order
    int fontDots = 0;       // status panel 0
    int64_t imageWidth = 0; // drawnColumns x cell width
    int64_t imageHeight = 0;
    bool renderAllowed = false; // RenderCommandAllowed for these settings
};

// The most glyph cells the preview lays out. The preview is recomputed at every keystroke
// and scroll step, and a text at the largest size may have 16 million cells, whose records
// would take gigabytes: past this, only the first columns are laid out, and the window says
// so. A million cells are thousands of columns, many screens at any scale.
inline constexpr int64_t kMostPreviewCells = int64_t{1} << 20;

// Whether the Render command may be enabled: two or more LED images, a text, and the
// Text page.
bool RenderCommandAllowed(const ProjectSettings& settings, const LedInfo& leds);

// LED image 0's size with two or more LED images, else 16 x 16.
CellSize PreviewCellSize(const LedInfo& leds);

// The glyph of the active page: on the Text page `parsed.stripped` drawn through
// `rasterizer` with the font, size and kerning of `settings`; on the Logo page `logo`
// (which must not be null there) scaled by the logo size.
Glyph MakeLayoutGlyph(const ProjectSettings& settings, const ParsedText& parsed,
                      GlyphRasterizer& rasterizer, const Picture* logo,
                      const std::stop_token& stop = {});

// The recompute. Reseeds tables 1, 3, 0 and 4 from the seed text, parses the tags,
// builds the glyph (text through `rasterizer`, or `logo` on the Logo page), narrows the
// threshold in `settings.brightnes` (the range and position change as a scroll bar's
// would) and builds the finished dot list. `points` is the caller's buffer for the
// Points style; it is refilled and keeps its capacity. A bad tag number or an empty
// threshold range throws lumexa::Error; `settings` then keeps what was applied before.
LayoutResult ComputePreviewLayout(ProjectSettings& settings, const LedInfo& leds,
                                  GlyphRasterizer& rasterizer, const Picture* logo,
                                  LayoutRandom& random, std::vector<TScatterPoint>& points);

// The recompute without its dots: what it does to `settings` and what it throws, for a
// caller that shows no preview (lumexa-render). A long text's dots would take hundreds of
// megabytes for nothing. Throws Stopped once `stop` is requested.
void CheckPreviewLayout(ProjectSettings& settings, const LedInfo& leds, GlyphRasterizer& rasterizer,
                        const Picture* logo, const std::stop_token& stop = {});

} // namespace lumexa
