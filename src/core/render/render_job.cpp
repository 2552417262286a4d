// The render to file on a pool of composing threads.
#include "core/render/render_job.h"

#include "core/base/error.h"
#include "core/progress/remaining_time.h"
#include "core/progress/render_progress.h"

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <exception>
#include <filesystem>
#include <new>
#include <optional>
#include <thread>
#include <vector>

namespace lumexa
{

namespace
{

using Clock = std::chrono::steady_clock;

int64_t MillisecondsBetween(Clock::time_point a, Clock::time_point b)
{
    return std::chrono::duration_cast<std::chrono::milliseconds>(b - a).count();
}

// The rows in flight: rows are taken in write order, but never more than `slots` rows
// ahead of the writer, so each slot's buffer is free again by the time it is taken
// again. The writing thread composes too whenever the row it needs is not ready, so that
// N threads in all keep N cores busy and one thread composes and writes in turn.
class RowPipeline
{
  public:
    RowPipeline(int width, int height, int slots, const ComposeRow& compose, RowOrder order)
        : height_(height), compose_(compose), order_(order), slots_(static_cast<size_t>(slots))
    {
        for (Slot& s : slots_)
            s.rgba.assign(static_cast<size_t>(width) * 4, 0);
    }

    int rowOf(int index) const
    {
        return order_ == RowOrder::BottomUp ? height_ - 1 - index : index;
    }

    // The loop of a composing thread.
    void compose()
    {
        std::unique_lock lock(mutex_);
        for (;;) {
            composerWake_.wait(lock, [&] { return abort_ || next_ >= height_ || roomAhead(); });
            if (abort_ || next_ >= height_)
                return;
            if (composeOne(lock))
                writerWake_.notify_one();
        }
    }

    // Waits until row `index` (in write order) is composed, composing rows itself while
    // it waits; null when the run is stopped.
    const uint8_t* waitFor(int index)
    {
        Slot& slot = slots_[static_cast<size_t>(index) % slots_.size()];
        std::unique_lock lock(mutex_);
        for (;;) {
            if (abort_)
                return nullptr;
            if (slot.composed == index)
                return slot.rgba.data();
            // After a row of its own (or a failed one) the state is looked at again;
            // otherwise there is nothing to do but wait for the other threads.
            if (!composeOne(lock) && !abort_)
                writerWake_.wait(lock);
        }
    }

    void written(int count)
    {
        {
            std::lock_guard lock(mutex_);
            written_ = count;
        }
        composerWake_.notify_all();
    }

    // Stops every thread at its next wait; the first failure given is kept.
    void stopWith(std::optional<Error> failure)
    {
        std::lock_guard lock(mutex_);
        stopLocked(std::move(failure));
    }

    std::optional<Error> failure() const
    {
        std::lock_guard lock(mutex_);
        return failure_;
    }

  private:
    struct Slot {
        std::vector<uint8_t> rgba;
        int composed = -1; // the row index whose pixels the buffer holds
    };

    int slotCount() const { return static_cast<int>(slots_.size()); }
    bool roomAhead() const { return next_ < height_ && next_ < written_ + slotCount(); }

    void stopLocked(std::optional<Error> failure)
    {
        if (!abort_ && failure)
            failure_ = std::move(failure);
        abort_ = true;
        composerWake_.notify_all();
        writerWake_.notify_all();
    }

    // Takes the next row when the window has room and composes it outside the lock.
    // Called and returns with `lock` held; false when no row was composed.
    bool composeOne(std::unique_lock<std::mutex>& lock)
    {
        if (abort_ || !roomAhead())
            return false;
        const int index = next_++;
        Slot& slot = slots_[static_cast<size_t>(index) % slots_.size()];
        lock.unlock();
        std::optional<Error> error;
        try {
            compose_(rowOf(index), slot.rgba.data());
        } catch (const std::bad_alloc&) {
            error = Error("Out of memory while composing row " + std::to_string(rowOf(index)));
        } catch (const Error& e) {
            error = e;
        } catch (const std::exception& e) {
            error = Error(e.what());
        } catch (...) {
            error = Error("A row could not be composed");
        }
        lock.lock();
        if (error) {
            stopLocked(std::move(error));
            return false;
        }
        slot.composed = index;
        return true;
    }

    const int height_;
    const ComposeRow& compose_;
    const RowOrder order_;
    std::vector<Slot> slots_;
    mutable std::mutex mutex_;
    std::condition_variable composerWake_;
    std::condition_variable writerWake_;
    int next_ = 0;
    int written_ = 0;
    bool abort_ = false;
    std::optional<Error> failure_;
};

} // namespace

RenderJob::RenderJob(RenderJobSetup setup) : setup_(std::move(setup))
{
    threads_ =
        setup_.threads > 0 ? setup_.threads : static_cast<int>(std::thread::hardware_concurrency());
    threads_ = std::max(threads_, 1);
    setup_.rowsPerThread = std::max(setup_.rowsPerThread, 1);
}

Error RenderJob::error() const
{
    std::lock_guard lock(errorMutex_);
    return error_;
}

void RenderJob::finish(RenderState state)
{
    state_.store(state, std::memory_order_release);
}

RenderState RenderJob::run(std::stop_token stop)
{
    NullRenderLog nullLog;
    RenderLog& log = setup_.log ? *setup_.log : nullLog;
    RowWriter& writer = *setup_.writer;
    const int width = setup_.width;
    const int height = setup_.height;

    rowsDone_.store(0, std::memory_order_release);
    lastRow_.store(-1, std::memory_order_release);
    remainingMs_.store(0, std::memory_order_release);
    elapsedMs_.store(0, std::memory_order_release);
    {
        std::lock_guard lock(errorMutex_);
        error_ = Error(std::string());
    }
    state_.store(RenderState::Running, std::memory_order_release);

    auto fail = [&](const Error& error) {
        writer.discard();
        {
            std::lock_guard lock(errorMutex_);
            error_ = error;
        }
        finish(RenderState::Failed);
        return RenderState::Failed;
    };

    log.add(1);
    try {
        writer.open(width, height);
    } catch (const Error& e) {
        return fail(e);
    } catch (const std::exception& e) {
        return fail(CannotWrite(writer.path(), e.what()));
    }
    // A Targa file's size and header are settled now; a compressed file's size is known
    // only once it is complete, so its picture size is told instead, its file size at the end.
    if (writer.sizeKnownAhead()) {
        log.add(2, FileSizeTail(width, height));
        log.add(3);
    } else {
        log.add(14, SizeTail(width, height));
    }

    const int slots = std::max(2, threads_ * setup_.rowsPerThread);
    RowPipeline pipeline(width, height, slots, setup_.compose, writer.rowOrder());
    const Clock::time_point start = Clock::now();
    RemainingTime remaining(height);
    log.add(4);

    bool cancelled = false;
    std::optional<Error> failure;
    {
        // A stop request wakes the writer if it waits for a row.
        std::stop_callback onStop(stop, [&] { pipeline.stopWith({}); });
        // This thread composes as well, so threads_ - 1 more are started.
        std::vector<std::jthread> composers;
        composers.reserve(static_cast<size_t>(threads_ - 1));
        for (int i = 1; i < threads_; ++i)
            composers.emplace_back([&] { pipeline.compose(); });

        for (int index = 0; index < height; ++index) {
            if (stop.stop_requested()) {
                cancelled = true;
                break;
            }
            const uint8_t* row = pipeline.waitFor(index);
            if (!row) {
                failure = pipeline.failure();
                cancelled = !failure;
                break;
            }
            const int y = pipeline.rowOf(index);
            // Whatever fails here, the composing threads must be stopped before they are
            // joined, so nothing is let out of the loop.
            try {
                writer.writeRow(row);
                if (setup_.observer)
                    setup_.observer(y, row);
            } catch (const std::bad_alloc&) {
                failure = CannotWrite(writer.path(), "out of memory");
                break;
            } catch (const Error& e) {
                failure = e;
                break;
            } catch (const std::exception& e) {
                failure = CannotWrite(writer.path(), e.what());
                break;
            } catch (...) {
                failure = CannotWrite(writer.path(), "the row was not written");
                break;
            }
            pipeline.written(index + 1);

            const int done = index + 1;
            const Clock::time_point now = Clock::now();
            elapsedMs_.store(MillisecondsBetween(start, now), std::memory_order_release);
            remaining.update(done);
            remainingMs_.store(std::max<int64_t>(remaining.milliseconds(), 0),
                               std::memory_order_release);
            lastRow_.store(y, std::memory_order_release);
            rowsDone_.store(done, std::memory_order_release);
        }
        pipeline.stopWith({});
    } // the composing threads are joined here

    if (failure)
        return fail(*failure);
    if (cancelled) {
        writer.discard();
        log.add(5);
        finish(RenderState::Cancelled);
        return RenderState::Cancelled;
    }
    try {
        writer.commit();
    } catch (const Error& e) {
        return fail(e);
    } catch (const std::exception& e) {
        return fail(CannotWrite(writer.path(), e.what()));
    }
    if (!writer.sizeKnownAhead()) {
        std::error_code unknown;
        const uintmax_t bytes = std::filesystem::file_size(writer.path(), unknown);
        if (!unknown)
            log.add(2, BytesTail(bytes));
    }
    const int64_t elapsed = MillisecondsBetween(start, Clock::now());
    elapsedMs_.store(elapsed, std::memory_order_release);
    log.add(6, ElapsedTail(elapsed));
    log.add(19);
    finish(RenderState::Finished);
    return RenderState::Finished;
}

} // namespace lumexa
