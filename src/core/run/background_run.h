// One piece of work on a thread of its own: the one way the program runs anything long in
// the background (a render to a file, a poster, the render window's preview, the
// inspector's tiles, lumexa-render's run). The run owns the thread and its stop source,
// and keeps the outcome: its state, the structured Error of a failure and the progress
// figures, all safe to read from another thread while it works. Results are handed back
// by polling, never by calling into the thread that started it.
#pragma once

#include "core/base/error.h"
#include "core/run/run_progress.h"
#include "core/run/run_state.h"

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <optional>
#include <stop_token>
#include <thread>

namespace lumexa
{

class BackgroundRun
{
  public:
    // The work: true when it is complete, false when it honoured the stop request (as does
    // throwing Stopped). Any other exception makes the run Failed: an Error as it is,
    // running out of memory and anything else as an Error that says so.
    using Work = std::function<bool(std::stop_token stop, RunProgress& progress)>;

    BackgroundRun() = default;
    // Asks the work to stop and waits for its thread.
    ~BackgroundRun();
    BackgroundRun(const BackgroundRun&) = delete;
    BackgroundRun& operator=(const BackgroundRun&) = delete;

    // Starts `work` on a new thread, after the earlier work (if any) has ended; its figures
    // and outcome are cleared. start(), cancel() and join() are called by the run's owner.
    void start(Work work);
    // Asks the work to stop; it ends at its next check.
    void cancel();
    // Waits until the work has ended; true at once when it has.
    void join();
    // Waits at most `timeout` for the work to end; true when it has.
    bool waitFor(std::chrono::milliseconds timeout);

    // Safe from any thread at any time.
    RunState state() const { return state_.load(std::memory_order_acquire); }
    bool running() const { return state() == RunState::Running; }
    bool ended() const;
    bool cancelRequested() const { return stop_.stop_requested(); }
    const RunProgress& progress() const { return progress_; }
    // What failed; valid once state() is Failed.
    Error error() const;

  private:
    void startThread(Work work);
    void finish(RunState state, std::optional<Error> error);

    RunProgress progress_;
    std::atomic<RunState> state_{RunState::Idle};
    mutable std::mutex mutex_;
    std::condition_variable ended_;
    std::optional<Error> error_;
    std::stop_source stop_;
    std::jthread thread_;
};

} // namespace lumexa
