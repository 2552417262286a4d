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

} // namespace

void MakeCandidatePoints(const Picture& glyph, Channel channel, CellSize cell, int shufle,
                         RandomTable& accept, RandomTable& shuffle,
                         std::vector<TScatterPoint>& points, const std::stop_token& stop)
{
    points.clear();
    const int width = glyph.width();
    const int height = glyph.height();
    const size_t offset = static_cast<size_t>(channel);
    const auto value = [&](int x, int y) -> int {
        if (x < 0 || y < 0 || x >= width || y >= height)
            return 255;
        return glyph.row(y)[static_cast<size_t>(x) * 3 + offset];
    };
    // c x 10 x (cell width x 0.1) is c x cell width; the quadrant offset is
    // cell width x 0.5 x qa.
    const double halfW = cell.width * 0.5;
    const double halfH = cell.height * 0.5;
    const int halfWDiv = cell.width / 2;
    const int halfHDiv = cell.height / 2;
    const ShiftLookup shifts(shuffle, cell, shufle);

    for (int c = 0; c < width; ++c) {
        if (stop.stop_requested())
            throw Stopped();
        for (int r = 0; r < height; ++r) {
            if (value(c, r) >= 255)
                continue;
            int n[3][3];
            for (int a = 0; a < 3; ++a)
                for (int b = 0; b < 3; ++b)
                    n[a][b] = value(c - 1 + a, r - 1 + b);
            const Neighbourhood g = interpolationGrid(n);
            const double baseX = static_cast<double>(c) * cell.width - halfWDiv;
            const double baseY = static_cast<double>(r) * cell.height - halfHDiv;

            for (int q = 0; q < 4; ++q) {
                const int qa = q & 1;
                const int qb = q >> 1;
                const float topLeft = g.m[qa][qb];
                const float bottomLeft = g.m[qa][qb + 1];
                const float topSlope = static_cast<float>(
                    (static_cast<double>(g.m[qa + 1][qb]) - topLeft) / kSlopeDivisor);
                const float bottomSlope = static_cast<float>(
                    (static_cast<double>(g.m[qa + 1][qb + 1]) - bottomLeft) / kSlopeDivisor);
                // The darkness of the quadrant's 25 candidates, i across and j down.
                double darkness[kCandidates];
                int darkest = 0;
                for (int i = 0; i < kSteps; ++i) {
                    const float top =
                        static_cast<float>(i * static_cast<double>(topSlope) + topLeft);
                    const float bottom =
                        static_cast<float>(i * static_cast<double>(bottomSlope) + bottomLeft);
                    const float downSlope =
                        static_cast<float>((static_cast<double>(bottom) - top) / kSlopeDivisor);
                    for (int j = 0; j < kSteps; ++j) {
                        const int d = darknessOf(
                            static_cast<float>(j * static_cast<double>(downSlope) + top));
                        darkness[i * kSteps + j] = d;
                        darkest = std::max(darkest, d);
                    }
                }
                // With fractions below 1, darkness 41 or less can never give more than
                // 40: the quadrant's draws are only counted off.
                if (darkest <= 41) {
                    accept.cursor = (accept.cursor + kCandidates) % kTableCycle;
                    continue;
                }
                for (uint32_t mask = acceptanceMask(darkness, accept); mask != 0;
                     mask &= mask - 1) {
                    const int k = std::countr_zero(mask);
                    const int i = k / kSteps;
                    const int j = k % kSteps;
                    const Displacement d = shifts.draw(shuffle);
                    TScatterPoint p;
                    p.x = static_cast<int32_t>(baseX + i + halfW * qa + d.dx);
                    p.y = static_cast<int32_t>(baseY + j + halfH * qb + d.dy);
                    points.push_back(p);
                }
            }
        }
    }
}

void SelectScatterDots(std::span<const TScatterPoint> points, int density, int ledCount,
                       int columns, int rows, CellSize cell, RandomTable& led, RandomTable& pick,
                       DotList& out, const std::stop_token& stop)
{
    const int64_t n = static_cast<int64_t>(points.size());
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
        const TScatterPoint& p = points[static_cast<size_t>(index)];
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
        TDotRecord r;
        r.x = p.x;
        r.y = p.y;
        r.kind = kind;
        out.push_back(r);
    }
}

} // namespace lumexa
