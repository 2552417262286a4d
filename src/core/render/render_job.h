// The render to file: composes the result's rows on a small pool of threads and hands
// them, in the writer's order, to a RowWriter. A few rows per thread are in flight at any
// time, so memory does not grow with the result's height. The job runs on the calling
// thread (a background run's, as a rule) and counts the rows written in a RunProgress that
// another thread may poll; a stop request takes effect before the next row is written.
#pragma once

#include "core/progress/render_log.h"
#include "core/render/row_writer.h"
#include "core/run/run_progress.h"

#include <cstdint>
#include <functional>
#include <stop_token>

namespace lumexa
{

// Composes result row y into `width` pixels of red, green, blue, coverage. Called from
// several threads at once for different rows.
using ComposeRow = std::function<void(int y, uint8_t* rgbaRow)>;
// Sees each row after it has been written, on the job's thread (for a reduced preview).
using RowObserver = std::function<void(int y, const uint8_t* rgbaRow)>;

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
    // threads - 1 more composing threads of its own. Returns true with the file committed,
    // false when `stop` was requested, with the file discarded; throws an Error (a failed
    // write names its file, a row that could not be composed names none) with the file
    // discarded. `progress` (optional) counts the rows written.
    bool run(std::stop_token stop = {}, RunProgress* progress = nullptr);

    int width() const { return setup_.width; }
    int height() const { return setup_.height; }
    int threads() const { return threads_; }

  private:
    RenderJobSetup setup_;
    int threads_ = 1;
};

} // namespace lumexa
