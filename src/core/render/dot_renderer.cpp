// The fast dot renderer: row bands, spans and sample tables.
#include "core/render/dot_renderer.h"

#include "core/base/error.h"
#include "core/render/byte_lanes.h"
#include "core/render/led_sampling.h"

#include <algorithm>
#include <atomic>
#include <cmath>
#include <cstring>
#include <optional>
#include <tuple>

namespace lumexa
{
namespace
{

// How many dots ahead the samples of a dot's row are fetched.
constexpr long kPrefetchAhead = 4;

// Bands taller than this would list too many records that miss most of their rows.
constexpr int kMaxBandHeight = 128;

// The first whole number in lo..hi that is greater than f (hi when there is none): the
// first pixel strictly past a box's left or top edge.
int firstAbove(float f, int lo, int hi)
{
    if (std::isnan(f) || f >= hi)
        return hi;
    if (f < lo)
        return lo;
    return std::min(static_cast<int>(std::floor(f)) + 1, hi);
}

// The first whole number in lo..hi that is not below f: one past the last pixel strictly
// before a box's right or bottom edge.
int firstNotBelow(float f, int lo, int hi)
{
    if (std::isnan(f) || f <= lo)
        return lo;
    if (f > hi)
        return hi;
    return static_cast<int>(std::ceil(f));
}

int clampTo(long long value, int lo, int hi)
{
    return static_cast<int>(std::clamp<long long>(value, lo, hi));
}

// The mask step for one pixel `p` (red, green, blue, coverage) and its sample `s` (red,
// green, blue, alpha): each colour p x keep + s x t truncated, the coverage the higher of the
// two.
inline void BlendMasked(uint8_t* p, const uint8_t* s, double keep, double t)
{
#ifdef LUMEXA_SSE2_LANES
    const __m128i pixel = ByteLanes(p);
    const __m128i sample = ByteLanes(s);
    const __m128d keeps = _mm_set1_pd(keep);
    const __m128d ts = _mm_set1_pd(t);
    const auto weigh = [&](__m128i a, __m128i b) {
        return _mm_cvttpd_epi32(
            _mm_add_pd(_mm_mul_pd(_mm_cvtepi32_pd(a), keeps), _mm_mul_pd(_mm_cvtepi32_pd(b), ts)));
    };
    const __m128i redGreen = weigh(pixel, sample);
    const __m128i blue =
        weigh(_mm_unpackhi_epi64(pixel, pixel), _mm_unpackhi_epi64(sample, sample));
    const uint32_t result = (LanesToBytes(redGreen, blue) & 0x00FFFFFFu) |
                            static_cast<uint32_t>(std::max(p[3], s[3])) << 24;
    std::memcpy(p, &result, 4);
#else
    p[0] = static_cast<uint8_t>(static_cast<int>(p[0] * keep + s[0] * t));
    p[1] = static_cast<uint8_t>(static_cast<int>(p[1] * keep + s[1] * t));
    p[2] = static_cast<uint8_t>(static_cast<int>(p[2] * keep + s[2] * t));
    p[3] = std::max(p[3], s[3]);
#endif
}

} // namespace

std::pair<int, int> DotRenderer::rowsAt(int32_t y) const
{
    if (y >= 0 && static_cast<size_t>(y) < rowsAtY_.size())
        return rowsAtY_[static_cast<size_t>(y)];
    const auto [top, bottom] = finish_.down(y);
    const int begin = firstAbove(top, 0, height_);
    return {begin, std::max(firstNotBelow(bottom, 0, height_), begin)};
}

DotRenderer::Placed DotRenderer::place(uint64_t word) const
{
    const RenderDot d = dots_.unpack(word);
    Placed p;
    p.x = d.x;
    p.y = d.y;
    const auto [left, right] = finish_.across(d.x);
    p.colBegin = firstAbove(left, 0, width_);
    p.colEnd = std::max(firstNotBelow(right, 0, width_), p.colBegin);
    std::tie(p.rowBegin, p.rowEnd) = rowsAt(d.y);
    p.led = d.kind >= 0 && static_cast<size_t>(d.kind) < leds_.size() &&
                    leds_[static_cast<size_t>(d.kind)] != nullptr
                ? d.kind
                : -1;
    p.angle = options_.rotate && d.rotation >= 0 && d.rotation <= 359 ? d.rotation : 0;
    return p;
}

std::pair<const uint32_t*, const uint32_t*> DotRenderer::bandDots(int py) const
{
    const BandIndex& index = dotIndex_;
    if (py < 0 || py >= height_)
        return {nullptr, nullptr};
    const int b = py / index.bandHeight;
    // Two bands per thread: rows are asked for in order, and a thread that serves two
    // renderers in turn (a test comparing them) does not make its lists again each row.
    struct Kept {
        uint64_t owner = 0;
        int band = -1;
        std::vector<uint32_t> items;
    };
    thread_local Kept kept[2];
    thread_local int newer = 0;
    for (int k = 0; k < 2; ++k) {
        if (kept[k].owner == identity_ && kept[k].band == b) {
            newer = k;
            return {kept[k].items.data(), kept[k].items.data() + kept[k].items.size()};
        }
    }
    Kept& list = kept[1 - newer];
    newer = 1 - newer;
    list.owner = identity_;
    list.band = b;
    std::vector<uint32_t>& items = list.items;
    items.clear();
    const auto listed = [&](int band) {
        return std::pair{index.items.data() + index.start[static_cast<size_t>(band)],
                         index.items.data() + index.start[static_cast<size_t>(band) + 1]};
    };
    const auto [own, ownEnd] = listed(b);
    items.assign(own, ownEnd);
    // The dots of the bands above that still reach this band, merged in by list order.
    const int bandTop = b * index.bandHeight;
    std::vector<uint32_t> merged;
    for (int above = std::max(b - index.reach, 0); above < b; ++above) {
        const auto [from, to] = listed(above);
        merged.clear();
        merged.reserve(items.size() + static_cast<size_t>(to - from));
        const uint32_t* mine = items.data();
        const uint32_t* mineEnd = mine + items.size();
        for (const uint32_t* i = from; i != to; ++i) {
            if (rowsAt(dots_.unpack(words_[*i]).y).second <= bandTop)
                continue;
            while (mine != mineEnd && *mine < *i)
                merged.push_back(*mine++);
            merged.push_back(*i);
        }
        merged.insert(merged.end(), mine, mineEnd);
        items.swap(merged);
    }
    return {items.data(), items.data() + items.size()};
}

DotRenderer::DotRenderer(const RenderScene& scene, size_t sampleTableBudget,
                         const std::stop_token& stop)
    : DotRenderer(scene, scene.options, sampleTableBudget, stop)
{
}

DotRenderer::DotRenderer(const RenderScene& scene, const RenderOptions& options,
                         size_t sampleTableBudget, const std::stop_token& stop)
    : width_(std::max(scene.width, 0)), height_(std::max(scene.height, 0)), options_(options),
      leds_(scene.leds), roles_([&] {
          std::vector<LedRole> roles(scene.leds.size());
          for (size_t i = 0; i < roles.size(); ++i) {
              const LedImage* led = scene.leds[i];
              if (led == nullptr)
                  continue;
              roles[i].maskStep = options.useMask && led->alphaInUse;
              roles[i].alphaUsable = led->alphaPicture.width() >= led->picture.width() &&
                                     led->alphaPicture.height() >= led->picture.height();
          }
          return roles;
      }()),
      dots_(scene.dots), words_(dots_.words()), finish_(scene.cell, width_, height_),
      samples_(
          leds_,
          [&] {
              std::vector<bool> withAlpha(roles_.size());
              for (size_t i = 0; i < roles_.size(); ++i)
                  withAlpha[i] = roles_[i].maskStep && roles_[i].alphaUsable;
              return withAlpha;
          }(),
          sampleTableBudget)
{
    for (int m = 0; m < 256; ++m) {
        blend_[m] = static_cast<double>(MaskFactor(m));
        keep_[m] = 1 - blend_[m];
    }

    static std::atomic<uint64_t> renderers{0};
    identity_ = ++renderers;

    // A table of the rows each y covers, where the result is short enough for one: the
    // rows of a dot are looked at for every row of its band.
    constexpr int kMostTableRows = 1 << 20;
    if (height_ <= kMostTableRows) {
        rowsAtY_.resize(static_cast<size_t>(height_));
        for (int y = 0; y < height_; ++y) {
            const auto [top, bottom] = finish_.down(y);
            const int begin = firstAbove(top, 0, height_);
            rowsAtY_[static_cast<size_t>(y)] = {
                begin, std::max(firstNotBelow(bottom, 0, height_), begin)};
        }
    }

    // The dots by the band of their first row, counted first and then placed, in list
    // order: one entry per dot.
    const size_t count = dots_.size();
    BandIndex& index = dotIndex_;
    int tallest = 1;
    for (size_t i = 0; i < count; ++i) {
        CheckStopEvery(i, stop);
        const auto [begin, end] = rowsAt(dots_.unpack(words_[i]).y);
        tallest = std::max(tallest, end - begin);
    }
    index.bandHeight = std::min(tallest, kMaxBandHeight);
    index.reach = (tallest - 1 + index.bandHeight - 1) / index.bandHeight;
    const size_t bands = static_cast<size_t>((height_ + index.bandHeight - 1) / index.bandHeight);
    index.start.assign(bands + 1, 0);
    for (size_t i = 0; i < count; ++i) {
        CheckStopEvery(i, stop);
        const auto [begin, end] = rowsAt(dots_.unpack(words_[i]).y);
        if (begin < end)
            ++index.start[static_cast<size_t>(begin / index.bandHeight) + 1];
    }
    for (size_t b = 0; b < bands; ++b)
        index.start[b + 1] += index.start[b];
    index.items.resize(index.start[bands]);
    std::vector<size_t> next(index.start.begin(), index.start.end() - 1);
    for (size_t i = 0; i < count; ++i) {
        CheckStopEvery(i, stop);
        const auto [begin, end] = rowsAt(dots_.unpack(words_[i]).y);
        if (begin < end)
            index.items[next[static_cast<size_t>(begin / index.bandHeight)]++] =
                static_cast<uint32_t>(i);
    }

    auto ledIndex = [&](int kind) {
        if (kind < 0 || static_cast<size_t>(kind) >= leds_.size() ||
            leds_[static_cast<size_t>(kind)] == nullptr)
            return -1;
        return kind;
    };
    const LedImage* led0 = ledIndex(0) == 0 ? leds_[0] : nullptr;
    if (options_.background && scene.backgroundCells && led0 != nullptr && scene.columns > 0 &&
        scene.rows > 0 && scene.cell.width > 0 && scene.cell.height > 0) {
        background_ = true;
        columns_ = scene.columns;
        rows_ = scene.rows;
        cell_ = scene.cell;
        backgroundWidth_ = led0->picture.width();
        backgroundHeight_ = led0->picture.height();
        backgroundPixels_.resize(static_cast<size_t>(backgroundWidth_) *
                                 static_cast<size_t>(backgroundHeight_) * 4);
        uint8_t* out = backgroundPixels_.data();
        for (int v = 0; v < backgroundHeight_; ++v) {
            const uint8_t* src = led0->picture.row(v);
            for (int u = 0; u < backgroundWidth_; ++u, src += 3, out += 4) {
                out[0] = src[2];
                out[1] = src[1];
                out[2] = src[0];
                // Coloured but fully transparent, unless the panel is to be opaque.
                out[3] = options_.opaqueBackground ? 255 : 0;
            }
        }
    }
}

bool DotRenderer::RenderRow(int py, uint8_t* rgbaRow, const std::stop_token& stop) const
{
    std::memset(rgbaRow, 0, static_cast<size_t>(width_) * 4);
    if (py < 0 || py >= height_)
        return true;
    const auto [dots, dotsEnd] = bandDots(py);
    return composeRow(py, 0, width_, dots, dotsEnd, rgbaRow, stop);
}

void DotRenderer::RenderSpan(int py, int x0, int x1, uint8_t* rgba) const
{
    if (x1 <= x0)
        return;
    std::memset(rgba, 0, static_cast<size_t>(x1 - x0) * 4);
    if (py < 0 || py >= height_)
        return;
    const auto [dots, dotsEnd] = bandDots(py);
    composeRow(py, x0, x1, dots, dotsEnd, rgba);
}

bool DotRenderer::RenderRegion(const PixelRect& rect, uint8_t* rgba, size_t stride,
                               std::stop_token stop) const
{
    if (rect.width <= 0 || rect.height <= 0)
        return true;
    const int x0 = rect.x;
    const int x1 = rect.x + rect.width;
    // Each band's dots are narrowed once to those that reach the region's columns, so that
    // a narrow region does not walk every dot of a wide row for each of its rows.
    std::vector<uint32_t> dots;
    int dotBand = -1;
    for (int r = 0; r < rect.height; ++r) {
        if (stop.stop_requested())
            return false;
        const int py = rect.y + r;
        uint8_t* out = rgba + static_cast<size_t>(r) * stride;
        std::memset(out, 0, static_cast<size_t>(rect.width) * 4);
        if (py < 0 || py >= height_)
            continue;
        if (py / dotIndex_.bandHeight != dotBand) {
            dotBand = py / dotIndex_.bandHeight;
            dots.clear();
            const auto [from, to] = bandDots(py);
            for (const uint32_t* i = from; i != to; ++i) {
                const Placed dot = place(words_[*i]);
                if (dot.colBegin < x1 && dot.colEnd > x0)
                    dots.push_back(*i);
            }
        }
        composeRow(py, x0, x1, dots.data(), dots.data() + dots.size(), out);
    }
    return true;
}

bool DotRenderer::composeRow(int py, int x0, int x1, const uint32_t* dots, const uint32_t* dotsEnd,
                             uint8_t* out, const std::stop_token& stop) const
{
    // Only pixels inside the result are composed; the rest stay black and transparent.
    const int begin = std::max(x0, 0);
    const int end = std::min(x1, width_);
    if (begin >= end)
        return true;
    // Every background cell first, then the dots in list order: each pixel sees its records
    // in the same order as when every record is tested at every pixel.
    if (background_)
        composeBackgroundRow(py, begin, end, x0, out);
    for (const uint32_t* i = dots; i != dotsEnd; ++i) {
        if (((i - dots) & 0x3FFF) == 0x3FFF && stop.stop_requested())
            return false;
        // The samples of a dot's row sit in its own table, away from the previous dot's: ask
        // for them a few dots ahead so that they arrive while earlier dots are composed.
        if (dotsEnd - i > kPrefetchAhead)
            prefetchDotRow(i[kPrefetchAhead], py);
        const uint64_t word = words_[*i];
        const auto [rowBegin, rowEnd] = rowsAt(dots_.unpack(word).y);
        if (py < rowBegin || py >= rowEnd)
            continue;
        const Placed dot = place(word);
        if (covers(dot, py))
            composeDotRow(dot, py, begin, end, x0, out);
    }
    // The additive step takes the coverage from the blue byte; an opaque panel stays opaque
    // under it. The other steps leave 255 as they find it.
    if (background_ && options_.opaqueBackground && options_.additive)
        forBackgroundSpans(py, begin, end, [&](int from, int to, int) {
            for (uint8_t* p = out + static_cast<size_t>(from - x0) * 4 + 3;
                 p < out + static_cast<size_t>(to - x0) * 4; p += 4)
                *p = 255;
        });
    return true;
}

void DotRenderer::prefetchDotRow(uint32_t index, int py) const
{
    const uint64_t word = words_[index];
    const auto [rowBegin, rowEnd] = rowsAt(dots_.unpack(word).y);
    if (py < rowBegin || py >= rowEnd)
        return;
    const Placed dot = place(word);
    if (!covers(dot, py))
        return;
    const LedSampleTable* table = samples_.builtTable(dot.led, dot.angle);
    const long long v = static_cast<long long>(py) - dot.y;
    if (table == nullptr || v < table->v0 || v >= static_cast<long long>(table->v0) + table->size)
        return;
    const size_t r = static_cast<size_t>(v - table->v0);
    const size_t bytes = static_cast<size_t>(table->runEnd[r] - table->runBegin[r]) * 4;
    const uint8_t* at = table->entries.data() + table->runAt[r];
    for (size_t offset = 0; offset < bytes; offset += 64)
        __builtin_prefetch(at + offset);
}

template <typename Span>
void DotRenderer::forBackgroundSpans(int py, int clipBegin, int clipEnd, Span span) const
{
    // The cells of a row neither overlap nor leave gaps, so each pixel has at most one.
    const int row = py / cell_.height;
    if (row >= rows_)
        return;
    const int v = py - row * cell_.height;
    if (v >= backgroundHeight_)
        return; // a cell larger than LED image 0 shows nothing where the picture ends
    const int shown = std::min(cell_.width, backgroundWidth_);
    const int last = std::min((clipEnd - 1) / cell_.width, columns_ - 1);
    for (int column = clipBegin / cell_.width; column <= last; ++column) {
        const long long x = static_cast<long long>(column) * cell_.width;
        const int from = clampTo(x, clipBegin, clipEnd);
        const int to = clampTo(x + shown, from, clipEnd);
        if (from < to)
            span(from, to, from - static_cast<int>(x));
    }
}

void DotRenderer::composeBackgroundRow(int py, int clipBegin, int clipEnd, int x0,
                                       uint8_t* out) const
{
    // Spans come only for rows that LED image 0 reaches.
    const size_t v = static_cast<size_t>(py % cell_.height);
    forBackgroundSpans(py, clipBegin, clipEnd, [&](int from, int to, int u) {
        const uint8_t* source =
            backgroundPixels_.data() +
            (v * static_cast<size_t>(backgroundWidth_) + static_cast<size_t>(u)) * 4;
        std::memcpy(out + static_cast<size_t>(from - x0) * 4, source,
                    static_cast<size_t>(to - from) * 4);
    });
}

void DotRenderer::composeDotRow(const Placed& dot, int py, int clipBegin, int clipEnd, int x0,
                                uint8_t* out) const
{
    const int colBegin = std::max(dot.colBegin, clipBegin);
    const int colEnd = std::min(dot.colEnd, clipEnd);
    if (colBegin >= colEnd)
        return;
    const LedRole role = roles_[static_cast<size_t>(dot.led)];
    const LedSampleTable* table = samples_.table(dot.led, dot.angle);
    const long long v = static_cast<long long>(py) - dot.y;

    // The pixels of the span that have a sample form one run, read from the table of the
    // dot's LED image and angle or, without one, sampled here for this row.
    int runBegin = colBegin;
    int runEnd = colBegin;
    const uint8_t* samples = nullptr;
    if (table != nullptr &&
        table->coversRow(static_cast<int>(std::clamp<long long>(v, -(1LL << 30), 1LL << 30))) &&
        table->coversColumns(static_cast<long long>(dot.colBegin) - dot.x,
                             static_cast<long long>(dot.colEnd) - dot.x)) {
        const size_t r = static_cast<size_t>(v - table->v0);
        runBegin = clampTo(static_cast<long long>(table->runBegin[r]) + dot.x, colBegin, colEnd);
        runEnd = clampTo(static_cast<long long>(table->runEnd[r]) + dot.x, runBegin, colEnd);
        if (runBegin < runEnd)
            samples = table->entries.data() + table->runAt[r] +
                      static_cast<size_t>(runBegin - dot.x - table->runBegin[r]) * 4;
    } else {
        // Cell positions this far out sample nothing (the clamp keeps the arithmetic whole);
        // a span that reaches past them is cut where it could have no samples.
        constexpr long long kFar = 1LL << 30;
        const long long uBegin =
            std::max<long long>(static_cast<long long>(colBegin) - dot.x, -kFar);
        const long long uEnd = std::min<long long>(static_cast<long long>(colEnd) - dot.x, kFar);
        if (uBegin < uEnd && v > -kFar && v < kFar) {
            thread_local std::vector<uint8_t> row;
            row.resize(static_cast<size_t>(uEnd - uBegin) * 4);
            const LedSampleRun run =
                samples_.sampleRow(dot.led, dot.angle, static_cast<int>(v),
                                   static_cast<int>(uBegin), static_cast<int>(uEnd), row.data());
            runBegin = static_cast<int>(run.begin + dot.x);
            runEnd = static_cast<int>(run.end + dot.x);
            samples = row.data();
        }
    }
    uint8_t* const spanBegin = out + static_cast<size_t>(colBegin - x0) * 4;
    uint8_t* const run = out + static_cast<size_t>(runBegin - x0) * 4;
    uint8_t* const runStop = out + static_cast<size_t>(runEnd - x0) * 4;
    uint8_t* const spanEnd = out + static_cast<size_t>(colEnd - x0) * 4;

    bool drawn = false;
    if (role.maskStep) {
        if (role.alphaUsable) {
            const uint8_t* s = samples;
            for (uint8_t* p = run; p != runStop; p += 4, s += 4) {
                const uint8_t m = s[3];
                // No opacity leaves the pixel as it is: its weights are exactly 1 and 0.
                if (m != 0)
                    BlendMasked(p, s, keep_[m], blend_[m]);
            }
        }
        drawn = true;
    }
    if (options_.additive) {
        for (uint8_t* p = spanBegin; p != run; p += 4)
            p[3] = p[2];
        const uint8_t* s = samples;
        for (uint8_t* p = run; p != runStop; p += 4, s += 4) {
            p[0] = static_cast<uint8_t>(std::min(p[0] + s[0], 255));
            p[1] = static_cast<uint8_t>(std::min(p[1] + s[1], 255));
            p[2] = static_cast<uint8_t>(std::min(p[2] + s[2], 255));
            p[3] = p[2];
        }
        for (uint8_t* p = runStop; p != spanEnd; p += 4)
            p[3] = p[2];
        drawn = true;
    }
    if (!drawn) {
        // Samples of LED images drawn this way hold 255 in the fourth byte: the run is copied
        // whole, and the rest of the span is covered with its colours kept.
        for (uint8_t* p = spanBegin; p != run; p += 4)
            p[3] = 255;
        if (samples != nullptr)
            std::memcpy(run, samples, static_cast<size_t>(runStop - run));
        for (uint8_t* p = runStop; p != spanEnd; p += 4)
            p[3] = 255;
    }
}

std::optional<DotAt> DotRenderer::DotAtPixel(int px, int py) const
{
    std::optional<DotAt> found;
    const auto [from, to] = bandDots(py);
    for (const uint32_t* i = from; i != to; ++i) {
        const Placed dot = place(words_[*i]);
        if (covers(dot, py) && dot.colBegin <= px && px < dot.colEnd)
            found = DotAt{*i, dot.led};
    }
    return found;
}

} // namespace lumexa
