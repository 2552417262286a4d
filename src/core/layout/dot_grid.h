// The steps that turn a glyph into dot records, shared by the main window's recompute
// and the render window's layout: the threshold range, the displacement of a dot, the
// background cells, one dot per dark glyph pixel, the choice of a dot's LED image, and
// the finishing of every record (clamping, size and bounding square).
#pragma once

#include "core/layout/dot_record.h"
#include "core/layout/random_source.h"
#include "core/pictures/picture.h"
#include "core/project/settings.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <stop_token>
#include <utility>
#include <vector>

namespace lumexa
{

// Output pixels of one grid cell.
struct CellSize {
    int width = 16;
    int height = 16;
};

// Which byte of a glyph pixel is read: the glyph is black on white for text, so any
// channel stands for grey; a coloured logo glyph makes the choice matter.
enum class Channel : uint8_t { Blue = 0, Green = 1, Red = 2 };

// Narrows `threshold` to lowest + 1 .. highest - 1 of the glyph's red bytes and moves its
// position into that range. An empty range (a glyph of spaces only, or of no columns)
// throws the scroll bar's range error and leaves `threshold` as it was.
void NarrowThreshold(const Picture& glyph, ScrollSetting& threshold);

// Rows from the highest to the lowest glyph row holding a pixel whose red byte is below
// `threshold`, counted inclusively; 0 when there is none.
int CountFontDots(const Picture& glyph, int threshold);

struct Displacement {
    int dx = 0;
    int dy = 0;
};

// The shift of a dot along one axis for the fraction r: trunc((trunc(size x r) -
// size x 0.5) x shufle x 0.01).
inline int DisplacementShift(int size, int shufle, float r)
{
    const int cellPart = static_cast<int>(size * static_cast<double>(r));
    return static_cast<int>((cellPart - size * 0.5) * shufle * 0.01);
}

// The random displacement of one dot: nothing below `shufle` 1; otherwise two draws from
// `table`, x first, each turned into a DisplacementShift.
inline Displacement DrawDisplacement(CellSize cell, int shufle, RandomTable& table)
{
    if (shufle < 1)
        return {};
    const float r1 = DrawRandom(table);
    const float r2 = DrawRandom(table);
    return {DisplacementShift(cell.width, shufle, r1), DisplacementShift(cell.height, shufle, r2)};
}

// One record of kind 0 per grid cell, rows outer and columns inner.
void AppendBackgroundCells(int columns, int rows, CellSize cell, DotList& out);

// Chooses the kind of the dot in glyph column `column`; called once per dot, after its
// displacement was drawn.
using KindOfDot = std::function<int(int column)>;

// Takes one dot as it is made: its position (not yet finished) and its kind.
using DotSink = std::function<void(int x, int y, int kind)>;

// One dot per glyph pixel whose `channel` byte is below `threshold`, columns outer and rows
// inner, each displaced by DrawDisplacement from `shuffle` and given kind kindOf(column),
// handed to `sink` in that order. Throws Stopped once `stop` is requested.
void MakeGridDots(const Picture& glyph, Channel channel, int threshold, CellSize cell, int shufle,
                  RandomTable& shuffle, const KindOfDot& kindOf, const DotSink& sink,
                  const std::stop_token& stop = {});

// The dark pixels MakeGridDots makes dots of.
size_t CountGridDots(const Picture& glyph, Channel channel, int threshold);

// MakeGridDots into `out`, with room made for them all at once. The records are not
// finished.
void AppendGridDots(const Picture& glyph, Channel channel, int threshold, CellSize cell, int shufle,
                    RandomTable& shuffle, const KindOfDot& kindOf, DotList& out,
                    const std::stop_token& stop = {});

// 1 + trunc((ledCount - 1) x t), t drawn from `table`.
int RandomLedNumber(int ledCount, RandomTable& table);
// A tag's number when it names a lit LED image of the set (1 .. ledCount - 1), else 1.
int TaggedLedNumber(int tagNumber, int ledCount);
// The strip's selected LED image when it is a lit one other than 1 (2 .. ledCount - 1),
// else 1.
int SelectedLedNumber(int selected, int ledCount);

// The square around the circle through the corners of a cell-sized record, clipped to
// the picture: whole numbers held in floats.
struct BoundingSquare {
    float left = 0;
    float top = 0;
    float right = 0;
    float bottom = 0;
};

// The finishing of records of one cell size in a W x H picture, with what is the same for
// all of them worked out once.
class RecordFinish
{
  public:
    RecordFinish(CellSize cell, int64_t pictureWidth, int64_t pictureHeight);

    // A dot past the right edge ends at W - cell width, one past the bottom at H - cell
    // height; one before the left or top edge starts at 0.
    int32_t clampX(int64_t x) const;
    int32_t clampY(int64_t y) const;
    // From the 32-bit centre and radius of the record at (x, y), which is taken as it is.
    BoundingSquare squareAt(int32_t x, int32_t y) const
    {
        const auto [left, right] = across(x);
        const auto [top, bottom] = down(y);
        return {left, top, right, bottom};
    }
    // The square's left and right edges for a record at x, its top and bottom for one at y.
    std::pair<float, float> across(int32_t x) const { return edges(x, halfWidth_, width_); }
    std::pair<float, float> down(int32_t y) const { return edges(y, halfHeight_, height_); }

  private:
    std::pair<float, float> edges(int32_t p, float half, int64_t limit) const
    {
        const float centre = static_cast<float>(p + static_cast<double>(half));
        const int64_t low = static_cast<int64_t>(static_cast<double>(centre) - radius_);
        const int64_t high = static_cast<int64_t>(static_cast<double>(centre) + radius_);
        return {static_cast<float>(low < 1 ? 0 : low), static_cast<float>(std::min(high, limit))};
    }

    CellSize cell_;
    int64_t width_;
    int64_t height_;
    float radius_;
    float halfWidth_;
    float halfHeight_;
};

// Clamps x and y into the W x H picture (RecordFinish), sets width and height to the cell
// size and computes the bounding square. `rotation` is left as it is. Applied to records
// [from, end).
void FinishRecords(DotList& dots, size_t from, CellSize cell, int64_t pictureWidth,
                   int64_t pictureHeight);

} // namespace lumexa
