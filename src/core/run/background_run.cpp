// A run on a thread of its own.
#include "core/run/background_run.h"

#include <new>

namespace lumexa
{

BackgroundRun::~BackgroundRun()
{
    cancel();
    join();
}

void BackgroundRun::start(Work work)
{
    join();
    progress_.reset();
    {
        std::lock_guard lock(mutex_);
        error_.reset();
    }
    stop_ = std::stop_source();
    state_.store(RunState::Running, std::memory_order_release);
    try {
        startThread(std::move(work));
    } catch (const std::exception& e) {
        // No thread to run on (the system's limit is reached): the run fails as work that
        // ran out would, and the caller reports it as any failure.
        finish(RunState::Failed, ErrorFrom(e));
    }
}

void BackgroundRun::startThread(Work work)
{
    thread_ = std::jthread([this, work = std::move(work), stop = stop_.get_token()] {
        try {
            const bool complete = work(stop, progress_);
            finish(complete ? RunState::Finished : RunState::Cancelled, std::nullopt);
        } catch (const Stopped&) {
            finish(RunState::Cancelled, std::nullopt);
        } catch (const Error& e) {
            finish(RunState::Failed, e);
        } catch (const std::exception& e) {
            finish(RunState::Failed, ErrorFrom(e));
        } catch (...) {
            finish(RunState::Failed, Error("The work failed for an unknown reason"));
        }
    });
}

void BackgroundRun::finish(RunState state, std::optional<Error> error)
{
    {
        std::lock_guard lock(mutex_);
        error_ = std::move(error);
        state_.store(state, std::memory_order_release);
    }
    ended_.notify_all();
}

void BackgroundRun::cancel()
{
    stop_.request_stop();
}

bool BackgroundRun::ended() const
{
    const RunState s = state();
    return s != RunState::Running;
}

void BackgroundRun::join()
{
    if (thread_.joinable())
        thread_.join();
}

bool BackgroundRun::waitFor(std::chrono::milliseconds timeout)
{
    std::unique_lock lock(mutex_);
    return ended_.wait_for(lock, timeout, [this] { return ended(); });
}

Error BackgroundRun::error() const
{
    std::lock_guard lock(mutex_);
    return error_.value_or(Error(std::string()));
}

} // namespace lumexa
