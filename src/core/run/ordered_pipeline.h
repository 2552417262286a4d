// Work done on several threads and used in order: items (a result's rows, a file's
// compressed pieces) are processed in any order on worker threads, and one consuming thread
// takes them in index order. The items live in a fixed ring of slots, item i in slot
// i % slots, and item i is processed only once item i - slots has been consumed, so memory
// stays the same whatever the number of items.
//
// Items become processable when they are released: all at once when the workers make them
// from nothing (rows composed from their index), or one by one once the consumer has filled
// them (pieces of rows to compress). A consumer that waits may process items itself, so
// that N threads in all keep N cores busy.
#pragma once

#include "core/base/error.h"

#include <condition_variable>
#include <cstdint>
#include <functional>
#include <mutex>
#include <new>
#include <optional>
#include <stop_token>
#include <thread>
#include <vector>

namespace lumexa
{

template <class Item> class OrderedPipeline
{
  public:
    // Processes item `index` in its slot; `worker` is 0..workers - 1 on the pipeline's own
    // threads and `workers` on the consuming thread, for state kept per thread. Throwing
    // Stopped stops the pipeline; any other exception stops it with that as the failure.
    using Process = std::function<void(Item& item, int64_t index, int worker)>;

    OrderedPipeline(size_t slots, int workers, Process process)
        : process_(std::move(process)), slots_(slots < 1 ? 1 : slots), workers_(workers)
    {
        done_.assign(slots_.size(), -1);
        threads_.reserve(static_cast<size_t>(workers > 0 ? workers : 0));
        try {
            for (int w = 0; w < workers; ++w)
                threads_.emplace_back([this, w] { work(w); });
        } catch (const std::exception& e) {
            // The threads started wait for work that never comes: they are stopped before
            // they are joined, and the shortage is told in words.
            stop();
            threads_.clear();
            throw ErrorFrom(e);
        }
    }
    // Stops the workers and waits for them; items not consumed are dropped.
    ~OrderedPipeline()
    {
        stop();
        threads_.clear();
    }
    OrderedPipeline(const OrderedPipeline&) = delete;
    OrderedPipeline& operator=(const OrderedPipeline&) = delete;

    size_t slotCount() const { return slots_.size(); }
    Item& slot(int64_t index) { return slots_[static_cast<size_t>(index) % slots_.size()]; }

    // Items before `count` may be processed (once their slots are free).
    void release(int64_t count)
    {
        {
            std::lock_guard lock(mutex_);
            if (count > released_)
                released_ = count;
        }
        workWake_.notify_all();
    }

    // Item `index` once it is processed, or null while it is not (never waits).
    Item* processed(int64_t index)
    {
        std::lock_guard lock(mutex_);
        if (failure_)
            throw *failure_;
        return isDone(index) ? &slot(index) : nullptr;
    }

    // Waits until item `index` is processed and returns it; with `help`, the calling
    // thread processes items itself while it waits. Null when the pipeline was stopped
    // without a failure; a failure is thrown.
    Item* waitFor(int64_t index, bool help)
    {
        std::unique_lock lock(mutex_);
        for (;;) {
            if (failure_)
                throw *failure_;
            if (stopped_)
                return nullptr;
            if (isDone(index))
                return &slot(index);
            // After an item of its own (or a failed one) the state is looked at again;
            // otherwise there is nothing to do but wait for the workers.
            if (help && processOne(lock, workers_))
                continue;
            if (!failure_ && !stopped_)
                consumerWake_.wait(lock);
        }
    }

    // Items before `count` are used: their slots may take new items.
    void consumed(int64_t count)
    {
        {
            std::lock_guard lock(mutex_);
            if (count > consumed_)
                consumed_ = count;
        }
        workWake_.notify_all();
    }

    // Stops every thread at its next wait; the first failure given is kept and thrown by
    // later waits.
    void stop(std::optional<Error> failure = std::nullopt)
    {
        {
            std::lock_guard lock(mutex_);
            stopLocked(std::move(failure));
        }
        workWake_.notify_all();
        consumerWake_.notify_all();
    }

    std::optional<Error> failure() const
    {
        std::lock_guard lock(mutex_);
        return failure_;
    }

  private:
    bool isDone(int64_t index) const
    {
        return done_[static_cast<size_t>(index) % slots_.size()] == index;
    }
    bool processable() const
    {
        return next_ < released_ && next_ < consumed_ + static_cast<int64_t>(slots_.size());
    }

    void stopLocked(std::optional<Error> failure)
    {
        if (!stopped_ && failure)
            failure_ = std::move(failure);
        stopped_ = true;
    }

    void work(int worker)
    {
        std::unique_lock lock(mutex_);
        for (;;) {
            workWake_.wait(lock, [&] { return stopped_ || processable(); });
            if (stopped_)
                return;
            processOne(lock, worker);
        }
    }

    // Takes the next item when it may be processed and processes it outside the lock.
    // Called and returns with `lock` held; false when no item was processed.
    bool processOne(std::unique_lock<std::mutex>& lock, int worker)
    {
        if (stopped_ || !processable())
            return false;
        const int64_t index = next_++;
        Item& item = slot(index);
        lock.unlock();
        std::optional<Error> error;
        bool stopped = false;
        try {
            process_(item, index, worker);
        } catch (const Stopped&) {
            stopped = true;
        } catch (const std::exception& e) {
            error = ErrorFrom(e);
        } catch (...) {
            error = Error("An item could not be processed");
        }
        lock.lock();
        if (error || stopped) {
            stopLocked(std::move(error));
            workWake_.notify_all();
            consumerWake_.notify_all();
            return false;
        }
        done_[static_cast<size_t>(index) % slots_.size()] = index;
        consumerWake_.notify_one(); // there is one consumer
        return true;
    }

    Process process_;
    std::vector<Item> slots_;
    std::vector<int64_t> done_; // per slot: the item processed in it last
    const int workers_;
    mutable std::mutex mutex_;
    std::condition_variable workWake_;
    std::condition_variable consumerWake_;
    int64_t next_ = 0;     // the next item to process
    int64_t released_ = 0; // items before this may be processed
    int64_t consumed_ = 0; // items before this are used
    bool stopped_ = false;
    std::optional<Error> failure_;
    std::vector<std::jthread> threads_;
};

} // namespace lumexa
