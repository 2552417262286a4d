// The Points scatter: every non-white glyph pixel spawns up to 100 candidate points,
// accepted at random in proportion to an interpolated darkness; a random selection of
// them, limited per grid cell by the density, becomes the dots.
#pragma once

#include "core/layout/dot_grid.h"
#include "core/layout/dot_record.h"
#include "core/layout/random_source.h"
#include "core/pictures/picture.h"

#include <span>
#include <stop_token>
#include <vector>

namespace lumexa
{

// Fills `points` (cleared first; its capacity is kept for the next call) with the
// accepted candidate points of every glyph pixel whose `channel` byte is below 255,
// columns outer and rows inner. Pixels outside the glyph read as 255. Each candidate
// draws once from `accept`; each accepted one is displaced with two draws from `shuffle`
// when `shufle` is at least 1. Intermediate values are rounded to 32-bit floats.
void MakeCandidatePoints(const Picture& glyph, Channel channel, CellSize cell, int shufle,
                         RandomTable& accept, RandomTable& shuffle,
                         std::vector<TScatterPoint>& points, const std::stop_token& stop = {});

// Runs the selection loop over N = points.size() while k < density x (N x 0.01): each
// iteration draws an LED number from `led`, then an index from two draws of `pick`;
// a point whose grid cell is neither cell 0 nor outside the grid adds 1 to that cell's
// 8-bit counter (which stays at 255 once there) and becomes a dot while the counter is
// at most `density`, so no cell ever takes more than `density` dots. The records are
// appended to `out` unfinished.
// Both throw Stopped when `stop` is requested: on a long text they run for seconds.
void SelectScatterDots(std::span<const TScatterPoint> points, int density, int ledCount,
                       int columns, int rows, CellSize cell, RandomTable& led, RandomTable& pick,
                       DotList& out, const std::stop_token& stop = {});

// The tables the scatter draws from, by role.
struct ScatterTables {
    RandomTable& accept;
    RandomTable& shuffle;
    RandomTable& led;
    RandomTable& pick;
};

// MakeCandidatePoints and then SelectScatterDots over the glyph's columns x rows grid,
// with the same draws and the same dots, without holding the candidate points: a long
// text has hundreds of millions of them. What is kept is the mask of accepted candidates
// of every glyph pixel, and a point is worked out again when the selection picks it; its
// displacement follows from its number, since every point takes two draws from
// `shuffle`. This holds only while `accept` and `shuffle` are different tables, as they
// are in the layouts. The dots go to `sink` unfinished, in the order SelectScatterDots
// appends them. Throws Stopped when `stop` is requested.
void ScatterRenderDots(const Picture& glyph, Channel channel, CellSize cell, int shufle,
                       int density, int ledCount, const ScatterTables& tables, const DotSink& sink,
                       const std::stop_token& stop = {});

} // namespace lumexa
