// The smoothed row rate and the time left.
#include "core/progress/remaining_time.h"

#include <chrono>
#include <cmath>

namespace lumexa
{
namespace
{

// The rate is measured over at least this long, so that a single slow or fast row (or the
// moment a writer flushes a buffer) is not taken for the run's pace.
constexpr double kSampleSeconds = 0.1;
// Older measurements weigh e^(-age / kSmoothingSeconds): about the last two seconds count.
constexpr double kSmoothingSeconds = 2.0;

} // namespace

double RemainingTime::SteadySeconds()
{
    using namespace std::chrono;
    return duration<double>(steady_clock::now().time_since_epoch()).count();
}

RemainingTime::RemainingTime(int64_t units, Clock clock) : clock_(std::move(clock)), units_(units)
{
    start_ = clock_();
    sampleTime_ = start_;
}

void RemainingTime::update(int64_t done)
{
    const double now = clock_();
    if (done <= 0 || now <= start_)
        return;
    if (now - start_ < kSmoothingSeconds) {
        // Early on, the average since the start is the steadiest figure there is.
        rate_ = static_cast<double>(done) / (now - start_);
        sampleTime_ = now;
        sampleUnits_ = done;
    } else if (const double span = now - sampleTime_; span >= kSampleSeconds) {
        const double measured = static_cast<double>(done - sampleUnits_) / span;
        const double keep = std::exp(-span / kSmoothingSeconds);
        rate_ = keep * rate_ + (1 - keep) * measured;
        sampleTime_ = now;
        sampleUnits_ = done;
    }
    if (rate_ > 0)
        remainingMs_ =
            static_cast<int64_t>(std::llround(1000.0 * static_cast<double>(units_ - done) / rate_));
}

} // namespace lumexa
