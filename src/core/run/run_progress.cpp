// Progress figures of a run.
#include "core/run/run_progress.h"

#include <algorithm>
#include <cmath>

namespace lumexa
{

void RunProgress::reset()
{
    estimate_.reset();
    total_.store(0, std::memory_order_release);
    done_.store(0, std::memory_order_release);
    part_.store(0, std::memory_order_release);
    parts_.store(0, std::memory_order_release);
    elapsedMs_.store(0, std::memory_order_release);
    remainingMs_.store(-1, std::memory_order_release);
}

void RunProgress::begin(int64_t total)
{
    done_.store(0, std::memory_order_release);
    elapsedMs_.store(0, std::memory_order_release);
    remainingMs_.store(-1, std::memory_order_release);
    estimate_.emplace(total);
    total_.store(total, std::memory_order_release);
}

void RunProgress::advance(int64_t done)
{
    if (!estimate_ || done <= this->done())
        return;
    estimate_->update(done);
    elapsedMs_.store(std::llround(estimate_->elapsedSeconds() * 1000), std::memory_order_release);
    remainingMs_.store(estimate_->milliseconds(), std::memory_order_release);
    done_.store(std::min(done, total()), std::memory_order_release);
}

void RunProgress::setPart(int part, int parts)
{
    parts_.store(parts, std::memory_order_release);
    part_.store(part, std::memory_order_release);
}

int64_t RunProgress::left() const
{
    const int64_t t = total();
    return std::max<int64_t>(t - done(), 0);
}

} // namespace lumexa
