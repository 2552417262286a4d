// Candidate points and their selection for the Points style.
#include "core/layout/points_scatter.h"

#include "core/base/error.h"

#include <algorithm>
#include <bit>
#include <cstdint>

namespace lumexa
{

namespace
{

// Sub-steps per quadrant in each direction, and the divisor of every slope: half the
// sampling constant 10.
constexpr int kSteps = 5;
constexpr double kSlopeDivisor = 5.0;
// Draws in one cycle of a random table: its 10000 fractions and the cursor slot.
constexpr int kTableCycle = 10001;
// Candidates per quadrant.
constexpr int kCandidates = kSteps * kSteps;

// The grid of values around one pixel: corners are the mean of the four pixels meeting
// there, edge middles the mean of the two sharing the edge, the centre the pixel itself.
struct Neighbourhood {
    float m[3][3];
};

Neighbourhood interpolationGrid(int n[3][3])
{
    // n[a][b]: pixel at column c - 1 + a, row r - 1 + b.
    Neighbourhood g;
    for (int a = 0; a < 3; a += 2) {
        for (int b = 0; b < 3; b += 2) {
            const int ca = a == 0 ? 0 : 2; // neighbour column on that side
            const int rb = b == 0 ? 0 : 2;
            g.m[a][b] = static_cast<float>((n[ca][rb] + n[1][rb] + n[ca][1] + n[1][1]) * 0.25);
        }
    }
    g.m[1][0] = static_cast<float>((n[1][0] + n[1][1]) * 0.5);
    g.m[0][1] = static_cast<float>((n[0][1] + n[1][1]) * 0.5);
    g.m[2][1] = static_cast<float>((n[2][1] + n[1][1]) * 0.5);
    g.m[1][2] = static_cast<float>((n[1][2] + n[1][1]) * 0.5);
    g.m[1][1] = static_cast<float>(n[1][1]);
    return g;
}

// 255 - trunc(value + 1.0), at least 1.
int darknessOf(float value)
{
    const int d = 255 - static_cast<int>(static_cast<double>(value) + 1.0);
    return d < 1 ? 1 : d;
}

// The displacement of every slot of the displacement table, worked out once per call:
// a dot's two draws then cost two lookups. Slot 10000 is the cursor slot, which reads 0.
class ShiftLookup
{
  public:
    ShiftLookup(const RandomTable& table, CellSize cell, int shufle)
    {
        if (shufle < 1)
            return;
        x_.resize(kTableCycle);
        y_.resize(kTableCycle);
        for (size_t c = 0; c < kTableCycle; ++c) {
            const float r = c < table.values.size() ? table.values[c] : 0.0f;
            x_[c] = DisplacementShift(cell.width, shufle, r);
            y_[c] = DisplacementShift(cell.height, shufle, r);
        }
    }

    // The displacement of the candidate point number `number` when the first point's draws
    // started at `cursor`: every point takes two draws.
    Displacement at(int32_t cursor, uint64_t number) const
    {
        if (x_.empty())
            return {};
        const uint64_t c = (static_cast<uint64_t>(cursor) + 2 * number) % kTableCycle;
        return {x_[static_cast<size_t>(c)], y_[static_cast<size_t>((c + 1) % kTableCycle)]};
    }
    // The cursor after `count` points.
    int32_t cursorAfter(int32_t cursor, uint64_t count) const
    {
        if (x_.empty())
            return cursor;
        return static_cast<int32_t>((static_cast<uint64_t>(cursor) + 2 * count) % kTableCycle);
    }

    // As DrawDisplacement: two draws, x first, advancing the table's cursor.
    Displacement draw(RandomTable& table) const
    {
        if (x_.empty())
            return {};
        int32_t c = table.cursor;
        Displacement d;
        d.dx = x_[static_cast<size_t>(c)];
        c = c >= kTableCycle - 1 ? 0 : c + 1;
        d.dy = y_[static_cast<size_t>(c)];
        table.cursor = c >= kTableCycle - 1 ? 0 : c + 1;
        return d;
    }

  private:
    std::vector<int> x_;
    std::vector<int> y_;
};

// One bit per candidate of a quadrant, set when its acceptance draw passes; the draws
// are taken from `accept` in candidate order.
uint32_t acceptanceMask(const double (&darkness)[kCandidates], RandomTable& accept)
{
    uint32_t mask = 0;
    if (accept.cursor + kCandidates <= kTableCycle - 1) {
        // No draw reaches the cursor slot: read the fractions straight from the table.
        const float* t = accept.values.data() + accept.cursor;
        for (int k = 0; k < kCandidates; ++k)
            mask |= static_cast<uint32_t>(static_cast<int>(darkness[k] * t[k]) > 40) << k;
        accept.cursor += kCandidates;
        return mask;
    }
    for (int k = 0; k < kCandidates; ++k) {
        const float t = DrawRandom(accept);
        mask |= static_cast<uint32_t>(static_cast<int>(darkness[k] * t) > 40) << k;
    }
    return mask;
}

// The glyph's bytes of one channel; pixels outside the glyph read as 255.
class GlyphValues
{
  public:
    GlyphValues(const Picture& glyph, Channel channel)
        : glyph_(glyph), offset_(static_cast<size_t>(channel))
    {
    }
    int width() const { return glyph_.width(); }
    int height() const { return glyph_.height(); }
    int operator()(int x, int y) const
    {
        if (x < 0 || y < 0 || x >= glyph_.width() || y >= glyph_.height())
            return 255;
        return glyph_.row(y)[static_cast<size_t>(x) * 3 + offset_];
    }

  private:
    const Picture& glyph_;
    size_t offset_;
};

Neighbourhood neighbourhoodOf(const GlyphValues& value, int c, int r)
{
    int n[3][3];
    for (int a = 0; a < 3; ++a)
        for (int b = 0; b < 3; ++b)
            n[a][b] = value(c - 1 + a, r - 1 + b);
    return interpolationGrid(n);
}

// The accepted candidates of quadrant q (qa = q & 1 across, qb = q >> 1 down) of a pixel:
// bit i x 5 + j for the candidate i across and j down. Takes the quadrant's 25 draws
// from `accept`.
uint32_t quadrantMask(const Neighbourhood& g, int q, RandomTable& accept)
{
    const int qa = q & 1;
    const int qb = q >> 1;
    const float topLeft = g.m[qa][qb];
    const float bottomLeft = g.m[qa][qb + 1];
    const float topSlope =
        static_cast<float>((static_cast<double>(g.m[qa + 1][qb]) - topLeft) / kSlopeDivisor);
    const float bottomSlope =
        static_cast<float>((static_cast<double>(g.m[qa + 1][qb + 1]) - bottomLeft) / kSlopeDivisor);
    // The darkness of the quadrant's 25 candidates, i across and j down.
    double darkness[kCandidates];
    int darkest = 0;
    for (int i = 0; i < kSteps; ++i) {
        const float top = static_cast<float>(i * static_cast<double>(topSlope) + topLeft);
        const float bottom = static_cast<float>(i * static_cast<double>(bottomSlope) + bottomLeft);
        const float downSlope =
            static_cast<float>((static_cast<double>(bottom) - top) / kSlopeDivisor);
        for (int j = 0; j < kSteps; ++j) {
            const int d = darknessOf(static_cast<float>(j * static_cast<double>(downSlope) + top));
            darkness[i * kSteps + j] = d;
            darkest = std::max(darkest, d);
        }
    }
    // With fractions below 1, darkness 41 or less can never give more than 40: the
    // quadrant's draws are only counted off.
    if (darkest <= 41) {
        accept.cursor = (accept.cursor + kCandidates) % kTableCycle;
        return 0;
    }
    return acceptanceMask(darkness, accept);
}

// Where candidate `bit` of quadrant q of pixel (c, r) lands, displaced by d.
TScatterPoint candidatePosition(int c, int r, int q, int bit, CellSize cell, Displacement d)
{
    // c x 10 x (cell width x 0.1) is c x cell width; the quadrant offset is
    // cell width x 0.5 x qa.
    const double baseX = static_cast<double>(c) * cell.width - cell.width / 2;
    const double baseY = static_cast<double>(r) * cell.height - cell.height / 2;
    const int i = bit / kSteps;
    const int j = bit % kSteps;
    TScatterPoint p;
    p.x = static_cast<int32_t>(baseX + i + cell.width * 0.5 * (q & 1) + d.dx);
    p.y = static_cast<int32_t>(baseY + j + cell.height * 0.5 * (q >> 1) + d.dy);
    return p;
}

// The selection loop over n candidate points, of which `pointAt(index, slot)` gives
// number `index` (1 <= index < n), `slot` being the pick table's cursor before the draw
// of the index's hundreds. `emit(point, kind)` receives the dots.
template <typename PointAt, typename Emit>
void selectDots(int64_t n, int density, int ledCount, int columns, int rows, CellSize cell,
                RandomTable& led, RandomTable& pick, const std::stop_token& stop, PointAt&& pointAt,
                Emit&& emit)
{
    const int64_t cells = static_cast<int64_t>(columns) * rows;
    if (n == 0 || cells <= 0 || cell.width <= 0 || cell.height <= 0)
        return;
    std::vector<uint8_t> occupancy(static_cast<size_t>(cells), 0);
    const double bound = density * (n * 0.01);
    const int64_t hundreds = n / 100;
    for (int64_t k = 0; k < bound; ++k) {
        if ((k & 0xFFFF) == 0 && stop.stop_requested())
            throw Stopped();
        const int kind = RandomLedNumber(ledCount, led);
        const int32_t slot = pick.cursor;
        const float t1 = DrawRandom(pick);
        const float t2 = DrawRandom(pick);
        int64_t index = static_cast<int64_t>(hundreds * static_cast<double>(t1)) * 100 +
                        static_cast<int64_t>(100.0 * t2) + 1;
        if (index > n)
            index -= n;
        if (index < 1)
            index = 1;
        if (index >= n)
            continue; // point 0 is never chosen, nor any past the last
        const TScatterPoint p = pointAt(index, slot);
        const int64_t cell64 = static_cast<int64_t>(p.y / cell.height) * columns + p.x / cell.width;
        if (cell64 <= 0 || cell64 >= cells)
            continue;
        // The 8-bit counter stops at 255 rather than wrapping to 0: a wrapped counter
        // would let a much-hit cell take Density more dots each time round.
        uint8_t& count = occupancy[static_cast<size_t>(cell64)];
        if (count < 255)
            ++count;
        if (count > density)
            continue;
        emit(p, kind);
    }
}

// The accepted candidates of one glyph pixel, one mask per quadrant.
struct PixelCandidates {
    int32_t column = 0;
    int32_t row = 0;
    uint32_t masks[4] = {};
};

// The position of the set bit number `rank` (from the lowest) of `mask`.
int nthSetBit(uint32_t mask, int rank)
{
    for (; rank > 0; --rank)
        mask &= mask - 1;
    return std::countr_zero(mask);
}

} // namespace

void MakeCandidatePoints(const Picture& glyph, Channel channel, CellSize cell, int shufle,
                         RandomTable& accept, RandomTable& shuffle,
                         std::vector<TScatterPoint>& points, const std::stop_token& stop)
{
    points.clear();
    const GlyphValues value(glyph, channel);
    const ShiftLookup shifts(shuffle, cell, shufle);
    for (int c = 0; c < value.width(); ++c) {
        if (stop.stop_requested())
            throw Stopped();
        for (int r = 0; r < value.height(); ++r) {
            if (value(c, r) >= 255)
                continue;
            const Neighbourhood g = neighbourhoodOf(value, c, r);
            for (int q = 0; q < 4; ++q) {
                for (uint32_t mask = quadrantMask(g, q, accept); mask != 0; mask &= mask - 1)
                    points.push_back(candidatePosition(c, r, q, std::countr_zero(mask), cell,
                                                       shifts.draw(shuffle)));
            }
        }
    }
}

void SelectScatterDots(std::span<const TScatterPoint> points, int density, int ledCount,
                       int columns, int rows, CellSize cell, RandomTable& led, RandomTable& pick,
                       DotList& out, const std::stop_token& stop)
{
    selectDots(
        static_cast<int64_t>(points.size()), density, ledCount, columns, rows, cell, led, pick,
        stop, [&](int64_t index, int32_t) { return points[static_cast<size_t>(index)]; },
        [&](const TScatterPoint& p, int kind) {
            TDotRecord r;
            r.x = p.x;
            r.y = p.y;
            r.kind = kind;
            out.push_back(r);
        });
}

void ScatterRenderDots(const Picture& glyph, Channel channel, CellSize cell, int shufle,
                       int density, int ledCount, const ScatterTables& tables, const DotSink& sink,
                       const std::stop_token& stop)
{
    const GlyphValues value(glyph, channel);
    size_t spawning = 0;
    for (int r = 0; r < value.height(); ++r)
        for (int c = 0; c < value.width(); ++c)
            spawning += value(c, r) < 255 ? 1 : 0;

    // Pixels with at least one accepted candidate, and the number of each one's first point.
    std::vector<PixelCandidates> pixels;
    std::vector<uint64_t> firsts;
    pixels.reserve(spawning);
    firsts.reserve(spawning);
    uint64_t n = 0;
    for (int c = 0; c < value.width(); ++c) {
        if (stop.stop_requested())
            throw Stopped();
        for (int r = 0; r < value.height(); ++r) {
            if (value(c, r) >= 255)
                continue;
            const Neighbourhood g = neighbourhoodOf(value, c, r);
            PixelCandidates p;
            p.column = c;
            p.row = r;
            int accepted = 0;
            for (int q = 0; q < 4; ++q) {
                p.masks[q] = quadrantMask(g, q, tables.accept);
                accepted += std::popcount(p.masks[q]);
            }
            if (accepted == 0)
                continue;
            pixels.push_back(p);
            firsts.push_back(n);
            n += static_cast<uint64_t>(accepted);
        }
    }
    const ShiftLookup shifts(tables.shuffle, cell, shufle);
    const int32_t firstCursor = tables.shuffle.cursor;
    tables.shuffle.cursor = shifts.cursorAfter(firstCursor, n);

    // A point's pixel is found from the pixel of the first point its hundreds can name,
    // which depends only on the pick table's slot: the index is at most 100 points on.
    std::vector<size_t> pixelOfSlot(kTableCycle, SIZE_MAX);
    const int64_t hundreds = static_cast<int64_t>(n / 100);
    const auto pixelHolding = [&](uint64_t index) {
        return static_cast<size_t>(std::upper_bound(firsts.begin(), firsts.end(), index) -
                                   firsts.begin() - 1);
    };
    const auto pointAt = [&](int64_t index, int32_t slot) {
        const uint64_t number = static_cast<uint64_t>(index);
        size_t e = 0;
        if (slot >= 0 && slot < kTableCycle) {
            size_t& known = pixelOfSlot[static_cast<size_t>(slot)];
            if (known == SIZE_MAX) {
                const float t1 =
                    slot < 10000 ? tables.pick.values[static_cast<size_t>(slot)] : 0.0f;
                known = pixelHolding(static_cast<uint64_t>(
                    static_cast<int64_t>(hundreds * static_cast<double>(t1)) * 100 + 1));
            }
            e = known;
        }
        if (number < firsts[e]) {
            e = pixelHolding(number);
        } else {
            while (e + 1 < firsts.size() && firsts[e + 1] <= number)
                ++e;
        }
        const PixelCandidates& p = pixels[e];
        int rank = static_cast<int>(number - firsts[e]);
        int q = 0;
        while (rank >= std::popcount(p.masks[q]))
            rank -= std::popcount(p.masks[q++]);
        return candidatePosition(p.column, p.row, q, nthSetBit(p.masks[q], rank), cell,
                                 shifts.at(firstCursor, number));
    };
    selectDots(static_cast<int64_t>(n), density, ledCount, value.width(), value.height(), cell,
               tables.led, tables.pick, stop, pointAt,
               [&](const TScatterPoint& p, int kind) { sink(p.x, p.y, kind); });
}

} // namespace lumexa
