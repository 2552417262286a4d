// Sample tables by LED image and angle.
#include "core/render/led_sample_cache.h"

#include "core/render/led_sampling.h"

#include <cmath>
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

} // namespace

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

LedSampleRun SampleLedRow(const LedImage& led, int angle, bool withAlpha, int v, int uBegin,
                          int uEnd, uint8_t* out)
{
    // X and Y are monotonic in u (exact products, rounded sums), so the positions inside the
    // picture form one run: skip to it, take it, and stop where it ends.
    int u = uBegin;
    std::optional<LedSamplePoint> point;
    while (u < uEnd && !(point = LocateLedSample(led, u, v, angle)))
        ++u;
    LedSampleRun run{u, u};
    for (; u < uEnd && point; point = LocateLedSample(led, ++u, v, angle)) {
        const LedSample s = InterpolateLedSample(led, led.picture, *point);
        out[0] = s.red;
        out[1] = s.green;
        out[2] = s.blue;
        out[3] = withAlpha ? InterpolateLedSample(led, led.alphaPicture, *point).blue
                           : uint8_t{255};
        out += 4;
    }
    run.end = u;
    return run;
}

std::unique_ptr<LedSampleTable> BuildLedSampleTable(const LedImage& led, int angle, bool withAlpha)
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
    const Picture& picture = led.picture;
    const Picture& alpha = led.alphaPicture;
    if (withAlpha && (alpha.width() < picture.width() || alpha.height() < picture.height()))
        return nullptr;
    // Room for every position of the square; trimmed to the samples at the end.
    table->entries.resize(rows * rows * 4);
    size_t at = 0;
    for (int row = 0; row < table->size; ++row) {
        const LedSampleRun run = SampleLedRow(led, angle, withAlpha, table->v0 + row, table->u0,
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
        built = BuildLedSampleTable(image, angle, withAlpha_[static_cast<size_t>(led)]);
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
