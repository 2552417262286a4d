// The remaining time of a run, driven by a clock the test moves: rows of a fraction of a
// millisecond give a real estimate from the first row on, the estimate settles on the truth
// through uneven rows, and it follows a run that changes pace.
#include "core/progress/remaining_time.h"

#include <gtest/gtest.h>

#include <cmath>
#include <random>

using namespace lumexa;

namespace
{

// A run of `rows` rows whose row r takes rowSeconds(r), with the estimate updated every
// `batch` rows as a writer does; `check` sees the true and the estimated milliseconds left.
template <typename RowSeconds, typename Check>
void SimulateRun(int rows, int batch, RowSeconds rowSeconds, Check check)
{
    double now = 100.0; // any moment
    RemainingTime estimate(rows, [&] { return now; });
    EXPECT_EQ(estimate.milliseconds(), -1);
    std::vector<double> times(static_cast<size_t>(rows));
    for (int r = 0; r < rows; ++r)
        times[static_cast<size_t>(r)] = rowSeconds(r);
    double total = 0;
    for (double t : times)
        total += t;
    double elapsed = 0;
    for (int r = 0; r < rows; ++r) {
        elapsed += times[static_cast<size_t>(r)];
        now = 100.0 + elapsed;
        if ((r + 1) % batch == 0 || r + 1 == rows) {
            estimate.update(r + 1);
            check(elapsed, (total - elapsed) * 1000.0, estimate.milliseconds());
        }
    }
}

} // namespace

TEST(RemainingTime, SubMillisecondRowsGiveAnEstimateFromTheFirstRow)
{
    // 8000 rows of 0.4 ms: 3.2 s. An estimate of whole milliseconds per row reads 0 here.
    SimulateRun(
        8000, 1, [](int) { return 0.0004; },
        [](double, double truth, int64_t shown) { EXPECT_NEAR(shown, truth, 1.0); });
}

TEST(RemainingTime, UnevenRowsSettleWithinAFewPercentAfterTheFirstSecond)
{
    struct Case {
        const char* name;
        double meanSeconds; // per row
        double spread;      // rows take mean x (1 +- spread), uniformly
        int batch;
    } const cases[] = {
        {"fast rows, every row", 0.0003, 0.5, 1},
        {"fast rows in bursts", 0.0003, 0.9, 64},
        {"slow rows", 0.02, 0.3, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::mt19937 rng(16);
        std::uniform_real_distribution<double> jitter(1 - c.spread, 1 + c.spread);
        const int rows = static_cast<int>(6.0 / c.meanSeconds); // about six seconds
        double worst = 0;
        SimulateRun(
            rows, c.batch, [&](int) { return c.meanSeconds * jitter(rng); },
            [&](double elapsed, double truth, int64_t shown) {
                ASSERT_GE(shown, 0);
                if (elapsed >= 1.0 && truth > 500)
                    worst = std::max(worst, std::abs(shown - truth) / truth);
            });
        EXPECT_LT(worst, 0.1);
    }
}

TEST(RemainingTime, FollowsARunThatSlowsDown)
{
    // The first half at 0.2 ms a row, the second at 0.6 ms: the estimate leaves the early
    // pace behind within a few seconds of the change.
    const int rows = 30000;
    double lastError = 1;
    SimulateRun(
        rows, 16, [&](int r) { return r < rows / 2 ? 0.0002 : 0.0006; },
        [&](double elapsed, double truth, int64_t shown) {
            if (elapsed > 3.0 + 6.0 && truth > 500)
                lastError = std::abs(shown - truth) / truth;
        });
    EXPECT_LT(lastError, 0.1);
}
