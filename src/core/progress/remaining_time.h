// The time a run has left, estimated from the units of work (rows, pages, tiles) done so far.
// Rows take well under a millisecond each, so the rate is kept in floating point (units per
// second) and smoothed over the last seconds: the estimate is there from the first unit on,
// follows a run that speeds up or slows down, and does not jump with every unit.
#pragma once

#include <cstdint>
#include <functional>

namespace lumexa
{

class RemainingTime
{
  public:
    // Seconds since any fixed moment; the steady clock unless a test gives its own.
    using Clock = std::function<double()>;
    static double SteadySeconds();

    // Starts timing a run of `units` units now.
    explicit RemainingTime(int64_t units, Clock clock = SteadySeconds);

    // `done` units of the run are finished by now.
    void update(int64_t done);
    // Milliseconds left, or -1 before the first unit gave a rate.
    int64_t milliseconds() const { return remainingMs_; }
    // Seconds since the start, by the estimate's clock.
    double elapsedSeconds() const { return clock_() - start_; }

  private:
    Clock clock_;
    int64_t units_ = 0;
    double start_ = 0;
    double sampleTime_ = 0; // the last moment the rate was measured
    int64_t sampleUnits_ = 0;
    double rate_ = 0; // units per second, smoothed; 0: no rate yet
    int64_t remainingMs_ = -1;
};

} // namespace lumexa
