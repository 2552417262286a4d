// How far a run has come. The thread that does the work writes the figures; any other (a
// window's timer, the terminal's progress line) may read them at any time. Work is counted in
// units of the run's own choosing (rows, pixels, tiles), and the count only ever rises, so
// that a bar drawn from it runs forward whatever order the work is done in.
#pragma once

#include "core/progress/remaining_time.h"

#include <atomic>
#include <cstdint>
#include <optional>

namespace lumexa
{

class RunProgress
{
  public:
    // Back to a run that has not begun. Only while no work thread writes.
    void reset();
    // Starts counting `total` units now: the count goes back to 0 and the estimate of the
    // time left starts afresh. Work thread only, as are advance() and setPart().
    void begin(int64_t total);
    // `done` units of the total are finished; a smaller count than before is ignored.
    void advance(int64_t done);
    // For work made of parts (a poster's pages): the part under way, from 1, of `parts`.
    void setPart(int part, int parts);

    int64_t done() const { return done_.load(std::memory_order_acquire); }
    // 0 until begin(): the run is still preparing (laying out, building its scene).
    int64_t total() const { return total_.load(std::memory_order_acquire); }
    int part() const { return part_.load(std::memory_order_acquire); }
    int parts() const { return parts_.load(std::memory_order_acquire); }
    // Milliseconds since begin(); -1 for the time left until there is an estimate.
    int64_t elapsedMs() const { return elapsedMs_.load(std::memory_order_acquire); }
    int64_t remainingMs() const { return remainingMs_.load(std::memory_order_acquire); }
    // What is left as the render window counts it: total - done, the row a bottom-up render
    // has reached. Falls from total to 0.
    int64_t left() const;

  private:
    std::atomic<int64_t> done_{0};
    std::atomic<int64_t> total_{0};
    std::atomic<int> part_{0};
    std::atomic<int> parts_{0};
    std::atomic<int64_t> elapsedMs_{0};
    std::atomic<int64_t> remainingMs_{-1};
    std::optional<RemainingTime> estimate_; // the work thread's own
};

} // namespace lumexa
