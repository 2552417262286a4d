// Glyph-to-dot steps common to the preview and the render layout.
#include "core/layout/dot_grid.h"

#include "core/base/error.h"

#include <algorithm>
#include <cmath>

namespace lumexa
{

void NarrowThreshold(const Picture& glyph, ScrollSetting& threshold)
{
    int lowest = 255;
    int highest = 0;
    for (int y = 0; y < glyph.height(); ++y) {
        const uint8_t* row = glyph.row(y);
        for (int x = 0; x < glyph.width(); ++x) {
            const int red = row[static_cast<size_t>(x) * 3 + 2];
            lowest = std::min(lowest, red);
            highest = std::max(highest, red);
        }
    }
    // A glyph of a single grey level (a text of spaces, a blank logo) leaves no threshold
    // that tells dots from the rest.
    if (lowest + 1 > highest - 1)
        throw Error("Property value out of range (" + std::to_string(lowest + 1) + ".." +
                    std::to_string(highest - 1) +
                    "): the text or logo has no light and dark pixels for the threshold to "
                    "tell apart");
    threshold.setRange(lowest + 1, highest - 1);
}

int CountFontDots(const Picture& glyph, int threshold)
{
    int first = -1;
    int last = -1;
    for (int y = 0; y < glyph.height(); ++y) {
        const uint8_t* row = glyph.row(y);
        for (int x = 0; x < glyph.width(); ++x) {
            if (row[static_cast<size_t>(x) * 3 + 2] < threshold) {
                if (first < 0)
                    first = y;
                last = y;
                break;
            }
        }
    }
    return first < 0 ? 0 : last - first + 1;
}

void AppendBackgroundCells(int columns, int rows, CellSize cell, DotList& out)
{
    out.reserve(out.size() +
                static_cast<size_t>(std::max(columns, 0)) * static_cast<size_t>(std::max(rows, 0)));
    for (int row = 0; row < rows; ++row) {
        for (int column = 0; column < columns; ++column) {
            TDotRecord r;
            r.x = column * cell.width;
            r.y = row * cell.height;
            out.push_back(r);
        }
    }
}

size_t CountGridDots(const Picture& glyph, Channel channel, int threshold)
{
    const size_t offset = static_cast<size_t>(channel);
    size_t dark = 0;
    for (int row = 0; row < glyph.height(); ++row) {
        const uint8_t* p = glyph.row(row) + offset;
        for (int column = 0; column < glyph.width(); ++column, p += 3)
            dark += *p < threshold ? 1 : 0;
    }
    return dark;
}

void MakeGridDots(const Picture& glyph, Channel channel, int threshold, CellSize cell, int shufle,
                  RandomTable& shuffle, const KindOfDot& kindOf, const DotSink& sink,
                  const std::stop_token& stop)
{
    const size_t offset = static_cast<size_t>(channel);
    for (int column = 0; column < glyph.width(); ++column) {
        CheckStop(stop);
        const size_t at = static_cast<size_t>(column) * 3 + offset;
        for (int row = 0; row < glyph.height(); ++row) {
            if (glyph.row(row)[at] >= threshold)
                continue;
            const Displacement d = DrawDisplacement(cell, shufle, shuffle);
            sink(column * cell.width + d.dx, row * cell.height + d.dy, kindOf(column));
        }
    }
}

void AppendGridDots(const Picture& glyph, Channel channel, int threshold, CellSize cell, int shufle,
                    RandomTable& shuffle, const KindOfDot& kindOf, DotList& out,
                    const std::stop_token& stop)
{
    // Room for every dot at once: grown dot by dot, a long text's list would be copied at
    // every doubling and end up to half again as large as it needs.
    out.reserve(out.size() + CountGridDots(glyph, channel, threshold));
    MakeGridDots(
        glyph, channel, threshold, cell, shufle, shuffle, kindOf,
        [&out](int x, int y, int kind) {
            TDotRecord r;
            r.x = x;
            r.y = y;
            r.kind = kind;
            out.push_back(r);
        },
        stop);
}

int RandomLedNumber(int ledCount, RandomTable& table)
{
    return 1 + static_cast<int>((ledCount - 1) * static_cast<double>(DrawRandom(table)));
}

int TaggedLedNumber(int tagNumber, int ledCount)
{
    return tagNumber >= 1 && tagNumber < ledCount ? tagNumber : 1;
}

int SelectedLedNumber(int selected, int ledCount)
{
    return selected >= 2 && selected < ledCount ? selected : 1;
}

namespace
{

int32_t clampEdge(int64_t v, int size, int64_t limit)
{
    if (v < 0)
        v = 0;
    if (v > limit)
        v = limit;
    if (v + size > limit)
        v = limit - size;
    return static_cast<int32_t>(v);
}

} // namespace

RecordFinish::RecordFinish(CellSize cell, int64_t pictureWidth, int64_t pictureHeight)
    : cell_(cell), width_(pictureWidth), height_(pictureHeight)
{
    // Every record has the cell's size, so the radius is the same for all of them.
    const double w = cell.width;
    const double h = cell.height;
    radius_ = static_cast<float>(std::sqrt(w * w + h * h) * 0.5);
    halfWidth_ = static_cast<float>(w * 0.5);
    halfHeight_ = static_cast<float>(h * 0.5);
}

int32_t RecordFinish::clampX(int64_t x) const
{
    return clampEdge(x, cell_.width, width_);
}

int32_t RecordFinish::clampY(int64_t y) const
{
    return clampEdge(y, cell_.height, height_);
}

void FinishRecords(DotList& dots, size_t from, CellSize cell, int64_t pictureWidth,
                   int64_t pictureHeight)
{
    const RecordFinish finish(cell, pictureWidth, pictureHeight);
    for (size_t i = from; i < dots.size(); ++i) {
        TDotRecord& r = dots[i];
        r.x = finish.clampX(r.x);
        r.y = finish.clampY(r.y);
        r.width = cell.width;
        r.height = cell.height;
        const BoundingSquare square = finish.squareAt(r.x, r.y);
        r.left = square.left;
        r.top = square.top;
        r.right = square.right;
        r.bottom = square.bottom;
    }
}

} // namespace lumexa
