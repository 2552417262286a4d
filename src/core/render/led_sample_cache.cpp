// Sample tables by LED image and angle.
#include "core/render/led_sample_cache.h"

#include "core/render/byte_lanes.h"
#include "core/render/led_sampling.h"

#include <cmath>
#include <cstring>
#include <new>
#include <optional>

namespace lumexa
{
namespace
{

// Mark slots whose table is not kept (over the budget, or an alpha picture too small), and
// slots whose table one thread is building.
const LedSampleTable kDirect{};
const LedSampleTable kBuilding{};

// The four bytes of a sample at `point`: the bilinear sums of InterpolateLedSample over the
// pixels `upper` and `lower` (rows iy and the one below it) and the pixels `next` bytes on.
// Each lane is worked out with the same operations in the same order as there.
inline void WeighSample(const uint8_t* upper, const uint8_t* lower, size_t next,
                        const LedSamplePoint& point, uint8_t* out)
{
    const LedSampleWeights w = WeightsAt(point);
#ifdef LUMEXA_SSE2_LANES
    const __m128i p00 = ByteLanes(upper);
    const __m128i p10 = ByteLanes(upper + next);
    const __m128i p11 = ByteLanes(lower + next);
    const __m128i p01 = ByteLanes(lower);
    const auto weigh = [&](__m128i a00, __m128i a10, __m128i a11, __m128i a01) {
        __m128d sum = _mm_mul_pd(_mm_cvtepi32_pd(a00), _mm_set1_pd(w.w00));
        sum = _mm_add_pd(sum, _mm_mul_pd(_mm_cvtepi32_pd(a10), _mm_set1_pd(w.w10)));
        sum = _mm_add_pd(sum, _mm_mul_pd(_mm_cvtepi32_pd(a11), _mm_set1_pd(w.w11)));
        sum = _mm_add_pd(sum, _mm_mul_pd(_mm_cvtepi32_pd(a01), _mm_set1_pd(w.w01)));
        return _mm_cvttpd_epi32(sum);
    };
    const auto high = [](__m128i v) { return _mm_unpackhi_epi64(v, v); };
    const uint32_t bytes =
        LanesToBytes(weigh(p00, p10, p11, p01), weigh(high(p00), high(p10), high(p11), high(p01)));
    std::memcpy(out, &bytes, 4);
#else
    for (size_t k = 0; k < 4; ++k) {
        const double p00 = upper[k];
        const double p10 = upper[next + k];
        const double p01 = lower[k];
        const double p11 = lower[next + k];
        out[k] = static_cast<uint8_t>(
            static_cast<int>(p00 * w.w00 + p10 * w.w10 + p11 * w.w11 + p01 * w.w01));
    }
#endif
}

// Whether the alpha picture holds at least the LED picture's size, as sampling it needs.
bool AlphaFits(const LedImage& led)
{
    return led.alphaPicture.width() >= led.picture.width() &&
           led.alphaPicture.height() >= led.picture.height();
}

} // namespace

LedPixels InterleaveLedPixels(const LedImage& led, bool withAlpha)
{
    LedPixels pixels;
    pixels.width = led.picture.width();
    pixels.height = led.picture.height();
    pixels.bytes.resize(static_cast<size_t>(pixels.width) * static_cast<size_t>(pixels.height) * 4);
    uint8_t* out = pixels.bytes.data();
    for (int y = 0; y < pixels.height; ++y) {
        const uint8_t* bgr = led.picture.row(y);
        const uint8_t* alpha = withAlpha ? led.alphaPicture.row(y) : nullptr;
        for (int x = 0; x < pixels.width; ++x, bgr += 3, out += 4) {
            out[0] = bgr[2];
            out[1] = bgr[1];
            out[2] = bgr[0];
            out[3] = alpha != nullptr ? alpha[static_cast<size_t>(x) * 3] : uint8_t{0};
        }
    }
    return pixels;
}

bool LedSampleCache::usable(const LedSampleTable* t)
{
    return t != nullptr && t != &kDirect && t != &kBuilding;
}

size_t LedSampleTable::bytes() const
{
    return sizeof(*this) + entries.capacity() +
           (runBegin.capacity() + runEnd.capacity()) * sizeof(int) +
           runAt.capacity() * sizeof(size_t);
}

LedSampleRun SampleLedRow(const LedImage& led, const LedPixels& pixels, int angle, bool withAlpha,
                          int v, int uBegin, int uEnd, uint8_t* out)
{
    // X and Y are monotonic in u (exact products, rounded sums), so the positions inside the
    // picture form one run: skip to it, take it, and stop where it ends.
    int u = uBegin;
    std::optional<LedSamplePoint> point;
    while (u < uEnd && !(point = LocateLedSample(led, u, v, angle)))
        ++u;
    LedSampleRun run{u, u};
    const size_t stride = static_cast<size_t>(pixels.width) * 4;
    for (; u < uEnd && point; point = LocateLedSample(led, ++u, v, angle)) {
        // The last column and row stand in for the ones past them.
        const int lowerRow = point->iy == pixels.height - 1 ? point->iy : point->iy + 1;
        const size_t next = point->ix == pixels.width - 1 ? 0 : 4;
        const size_t column = static_cast<size_t>(point->ix) * 4;
        WeighSample(pixels.bytes.data() + static_cast<size_t>(point->iy) * stride + column,
                    pixels.bytes.data() + static_cast<size_t>(lowerRow) * stride + column, next,
                    *point, out);
        if (!withAlpha)
            out[3] = 255;
        out += 4;
    }
    run.end = u;
    return run;
}

std::unique_ptr<LedSampleTable> BuildLedSampleTable(const LedImage& led, int angle, bool withAlpha)
{
    return BuildLedSampleTable(led, InterleaveLedPixels(led, withAlpha && AlphaFits(led)), angle,
                               withAlpha);
}

std::unique_ptr<LedSampleTable> BuildLedSampleTable(const LedImage& led, const LedPixels& pixels,
                                                    int angle, bool withAlpha)
{
    auto table = std::make_unique<LedSampleTable>();
    const double w = led.picture.width();
    const double h = led.picture.height();
    // Wide enough for every cell position of a bounding square around a cell of the
    // picture's size: the circle through the corners, with room for rounding.
    const int reach = static_cast<int>(std::ceil(std::sqrt(w * w + h * h) * 0.5)) + 2;
    table->size = 2 * reach + 1;
    table->u0 = led.halfWidth - reach;
    table->v0 = led.halfHeight - reach;
    const size_t rows = static_cast<size_t>(table->size);
    table->runBegin.assign(rows, 0);
    table->runEnd.assign(rows, 0);
    table->runAt.assign(rows, 0);

    // Bounds are checked here once for both pictures, as SampleLedPicture would check them.
    if (withAlpha && !AlphaFits(led))
        return nullptr;
    // Room for every position of the square; trimmed to the samples at the end.
    table->entries.resize(rows * rows * 4);
    size_t at = 0;
    for (int row = 0; row < table->size; ++row) {
        const LedSampleRun run =
            SampleLedRow(led, pixels, angle, withAlpha, table->v0 + row, table->u0,
                         table->u0 + table->size, table->entries.data() + at);
        table->runAt[static_cast<size_t>(row)] = at;
        table->runBegin[static_cast<size_t>(row)] = run.begin;
        table->runEnd[static_cast<size_t>(row)] = run.end;
        at += static_cast<size_t>(run.end - run.begin) * 4;
    }
    table->entries.resize(at);
    table->entries.shrink_to_fit();
    return table;
}

LedSampleCache::LedSampleCache(std::vector<const LedImage*> leds, std::vector<bool> withAlpha,
                               size_t budgetBytes)
    : leds_(std::move(leds)), withAlpha_(std::move(withAlpha)), budget_(budgetBytes),
      slots_(std::make_unique<std::atomic<const LedSampleTable*>[]>(leds_.size() * 360))
{
    pixels_.resize(leds_.size());
    for (size_t i = 0; i < leds_.size(); ++i) {
        if (leds_[i] == nullptr)
            continue;
        pixels_[i] = InterleaveLedPixels(*leds_[i], withAlpha_[i] && AlphaFits(*leds_[i]));
    }
    for (size_t i = 0; i < leds_.size() * 360; ++i)
        slots_[i].store(nullptr, std::memory_order_relaxed);
}

LedSampleCache::~LedSampleCache() = default;

const LedSampleTable* LedSampleCache::table(int led, int angle) const
{
    std::atomic<const LedSampleTable*>& slot =
        slots_[static_cast<size_t>(led) * 360 + static_cast<size_t>(angle)];
    const LedSampleTable* t = slot.load(std::memory_order_acquire);
    if (t == nullptr) {
        // The first thread to ask builds the table; a thread asking meanwhile samples that
        // row directly instead of building it a second time or waiting.
        if (slot.compare_exchange_strong(t, &kBuilding, std::memory_order_acq_rel))
            t = build(slot, led, angle);
    }
    return t == &kDirect || t == &kBuilding ? nullptr : t;
}

const LedSampleTable* LedSampleCache::build(std::atomic<const LedSampleTable*>& slot, int led,
                                            int angle) const
{
    const LedImage& image = *leds_[static_cast<size_t>(led)];
    {
        // Refuse before the work when even the picture's worth of samples would not fit.
        std::lock_guard lock(mutex_);
        const size_t estimate = static_cast<size_t>(image.picture.width()) *
                                static_cast<size_t>(image.picture.height()) * 4;
        if (used_ + estimate > budget_) {
            slot.store(&kDirect, std::memory_order_release);
            return &kDirect;
        }
    }
    std::unique_ptr<LedSampleTable> built;
    try {
        built = BuildLedSampleTable(image, pixels_[static_cast<size_t>(led)], angle,
                                    withAlpha_[static_cast<size_t>(led)]);
    } catch (const std::bad_alloc&) {
        // The tables only save time: without room for one, the pictures are sampled directly.
    }
    const LedSampleTable* published = &kDirect;
    {
        std::lock_guard lock(mutex_);
        if (built && used_ + built->bytes() <= budget_) {
            used_ += built->bytes();
            published = built.get();
            owned_.push_back(std::move(built));
        }
    }
    slot.store(published, std::memory_order_release);
    return published;
}

} // namespace lumexa
