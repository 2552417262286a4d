// Sample tables for the dot renderer. Every rotation is a whole degree, so the samples of an
// LED picture (and of its alpha picture) at every cell position a dot's bounding square can
// reach can be worked out once per LED image and angle, with the exact arithmetic of
// SampleLedPicture, and then read instead of recomputed for every pixel.
#pragma once

#include "core/pictures/led_image.h"

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <mutex>
#include <vector>

namespace lumexa
{

// The samples of one LED image at one angle over a square of cell positions around the
// rotation centre. Each row holds one run of positions that have a sample (a turned picture
// meets a row of cells in one run); positions of the square outside the run have none.
struct LedSampleTable {
    int u0 = 0, v0 = 0;           // cell position of the square's first column and row
    int size = 0;                 // the square's side
    std::vector<int> runBegin;    // per row: first u with a sample
    std::vector<int> runEnd;      // per row: one past the last u with a sample
    std::vector<size_t> runAt;    // per row: index of the run's first entry
    std::vector<uint8_t> entries; // 4 bytes per sample: red, green, blue, alpha (or 255)

    bool coversRow(int v) const { return v >= v0 && v < v0 + size; }
    bool coversColumns(long long uBegin, long long uEnd) const
    {
        return uBegin >= u0 && uEnd <= static_cast<long long>(u0) + size;
    }
    size_t bytes() const;
};

// An LED picture with the blue byte of its alpha picture beside each pixel: 4 bytes a pixel
// (red, green, blue, alpha), so that the four values of a sample are weighed together.
struct LedPixels {
    int width = 0;
    int height = 0;
    std::vector<uint8_t> bytes;
};

// The pixels of led.picture; with `withAlpha` (the alpha picture then holds at least the LED
// picture's size) the alpha byte is the alpha picture's blue, else 0.
LedPixels InterleaveLedPixels(const LedImage& led, bool withAlpha);

// The positions of row v from uBegin to uEnd - 1 that have a sample form one run (a turned
// picture meets a row of cells in one run): [begin, end), begin == end when there are none.
struct LedSampleRun {
    int begin = 0;
    int end = 0;
};

// Samples row v of `led` (its pixels interleaved as `pixels`) at `angle` over positions
// uBegin..uEnd-1 as a table row holds them: 4 bytes per position of the run into `out` (room
// for uEnd - uBegin positions), red, green, blue and, with `withAlpha`, the blue byte of the
// alpha picture's sample, else 255. The bytes are those of SampleLedPicture.
LedSampleRun SampleLedRow(const LedImage& led, const LedPixels& pixels, int angle, bool withAlpha,
                          int v, int uBegin, int uEnd, uint8_t* out);

// Builds the table of `led` at `angle`; with `withAlpha`, the fourth byte is the blue byte of
// the alpha picture's sample, else 255. Returns nothing when the alpha picture is smaller than
// the LED picture, so that the caller samples that LED image directly.
std::unique_ptr<LedSampleTable> BuildLedSampleTable(const LedImage& led, const LedPixels& pixels,
                                                    int angle, bool withAlpha);
std::unique_ptr<LedSampleTable> BuildLedSampleTable(const LedImage& led, int angle, bool withAlpha);

// Tables by (LED image, angle), built on first use from any thread and kept while they fit
// in the memory budget; past it, callers sample directly.
class LedSampleCache
{
  public:
    LedSampleCache(std::vector<const LedImage*> leds, std::vector<bool> withAlpha,
                   size_t budgetBytes);
    ~LedSampleCache();
    LedSampleCache(const LedSampleCache&) = delete;
    LedSampleCache& operator=(const LedSampleCache&) = delete;

    // The table of LED image `led` (a valid index) at `angle` (0..359), or null: over the
    // budget, or while another thread builds it.
    const LedSampleTable* table(int led, int angle) const;
    // The table if it is built already, else null; never builds.
    // Row v of LED image `led` at `angle` sampled without a table, as its table's row would
    // hold them (see SampleLedRow).
    LedSampleRun sampleRow(int led, int angle, int v, int uBegin, int uEnd, uint8_t* out) const
    {
        const size_t i = static_cast<size_t>(led);
        return SampleLedRow(*leds_[i], pixels_[i], angle, withAlpha_[i], v, uBegin, uEnd, out);
    }
    const LedSampleTable* builtTable(int led, int angle) const
    {
        const LedSampleTable* t =
            slots_[static_cast<size_t>(led) * 360 + static_cast<size_t>(angle)].load(
                std::memory_order_acquire);
        return usable(t) ? t : nullptr;
    }

  private:
    static bool usable(const LedSampleTable* t);
    const LedSampleTable* build(std::atomic<const LedSampleTable*>& slot, int led, int angle) const;

    std::vector<const LedImage*> leds_;
    std::vector<bool> withAlpha_;
    std::vector<LedPixels> pixels_;
    size_t budget_;
    std::unique_ptr<std::atomic<const LedSampleTable*>[]> slots_;
    mutable std::mutex mutex_; // guards owned_ and used_
    mutable std::vector<std::unique_ptr<LedSampleTable>> owned_;
    mutable size_t used_ = 0;
};

} // namespace lumexa
