// The render to file: composes the result's rows on a small pool of threads and hands
// them, in the writer's order, to a RowWriter. A few rows per thread are in flight at any
// time, so memory does not grow with the result's height. Progress and the outcome are
// atomics that another thread (a window's timer) may poll while the job runs; Cancel is a
// stop request that takes effect before the next row is written.
#pragma once

#include "core/base/error.h"
#include "core/progress/render_log.h"
#include "core/render/row_writer.h"

#include <atomic>
#include <cstdint>
#include <functional>
#include <mutex>
#include <stop_token>
#include <string>

namespace lumexa
{

// Composes result row y into `width` pixels of red, green, blue, coverage. Called from
// several threads at once for different rows.
using ComposeRow = std::function<void(int y, uint8_t* rgbaRow)>;
// Sees each row after it has been written, on the job's thread (for a reduced preview).
using RowObserver = std::function<void(int y, const uint8_t* rgbaRow)>;

enum class RenderState { Idle, Running, Finished, Cancelled, Failed };

struct RenderJobSetup {
    int width = 0;
    int height = 0;
    ComposeRow compose;
    RowWriter* writer = nullptr;
    RenderLog* log = nullptr; // optional; lines #1 to #6 and #19
    RowObserver observer;     // optional
    int threads = 0;          // threads that compose, the calling one included; 0: one per core
    int rowsPerThread = 3;    // rows in flight per thread
};

class RenderJob
{
  public:
    explicit RenderJob(RenderJobSetup setup);
    RenderJob(const RenderJob&) = delete;
    RenderJob& operator=(const RenderJob&) = delete;

    // Runs the whole render on the calling thread, which writes and composes, with
    // threads - 1 more composing threads of its own, and
    // returns the outcome: Finished with the file committed, Cancelled or Failed with the
    // file discarded. A run that ends in Failed keeps its message in error().
    RenderState run(std::stop_token stop = {});

    // Safe to call from any thread while run() works.
    RenderState state() const { return state_.load(std::memory_order_acquire); }
    int rowsDone() const { return rowsDone_.load(std::memory_order_acquire); }
    // The result row (counted from the top) written last, or -1 before the first.
    int lastRow() const { return lastRow_.load(std::memory_order_acquire); }
    // The row for the progress figures (ProgressPosition, ProgressLabel): H - rows done,
    // which is the row written last when rows go bottom-up, and counts down the same way
    // for writers that take them top-down. H before the first row.
    int progressRow() const { return setup_.height - rowsDone(); }
    int64_t remainingMs() const { return remainingMs_.load(std::memory_order_acquire); }
    int64_t elapsedMs() const { return elapsedMs_.load(std::memory_order_acquire); }
    // What failed; valid once state() is Failed. A failed write names its file; a row that
    // could not be composed names none.
    Error error() const;

    int width() const { return setup_.width; }
    int height() const { return setup_.height; }
    int threads() const { return threads_; }

  private:
    void finish(RenderState state);

    RenderJobSetup setup_;
    int threads_ = 1;
    std::atomic<RenderState> state_{RenderState::Idle};
    std::atomic<int> rowsDone_{0};
    std::atomic<int> lastRow_{-1};
    std::atomic<int64_t> remainingMs_{0};
    std::atomic<int64_t> elapsedMs_{0};
    mutable std::mutex errorMutex_;
    Error error_{std::string()};
};

} // namespace lumexa
