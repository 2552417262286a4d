// The figures a render shows: progress bar, labels, remaining time and log tails.
#include "core/render/render_progress.h"

#include <gtest/gtest.h>

namespace lumexa
{
namespace
{

TEST(RenderProgressTest, BarAndLabelFollowTheRowJustComposed)
{
    struct Case {
        int y, height, position;
        const char* label;
    };
    const Case cases[] = {
        {199, 200, 1, "0.5%"},   // the first row of 200
        {100, 200, 50, "50.0%"}, // half-way
        {0, 200, 100, "100.0%"}, // the last row
        {2, 3, 34, "33.3%"},     // 100 - trunc(66.67)
        {1, 3, 67, "66.7%"},     {0, 1, 100, "100.0%"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(ProgressPosition(c.y, c.height), c.position) << c.y << "/" << c.height;
        EXPECT_EQ(ProgressLabel(c.y, c.height), c.label) << c.y << "/" << c.height;
    }
    EXPECT_EQ(FinalProgressLabel(100), "100%");
}

TEST(RenderProgressTest, RemainingTimeBlendsLastRowAndAverage)
{
    struct Case {
        int height, done;
        int64_t elapsed, last, remaining;
    };
    const Case cases[] = {
        // w = (100 - 1) / 100 in float: (0.01 x 10 + 0.99 x 20) x 199 rows left = 3960.1.
        {200, 1, 10, 20, 3960},
        // w = 0.5: average 100 div 50 = 2 and last row 6 give 4 per row, 150 rows left.
        {200, 50, 100, 6, 600},
        // Past half-way the average alone counts: 1000 div 150 = 6, 50 rows left.
        {200, 150, 1000, 99, 300},
        // Everything done.
        {200, 200, 5000, 30, 0},
    };
    for (const Case& c : cases)
        EXPECT_EQ(RemainingMilliseconds(c.height, c.done, c.elapsed, c.last), c.remaining)
            << c.done;
    // The average is an integer division: 1001 div 150 is still 6.
    EXPECT_EQ(RemainingMilliseconds(200, 150, 1001, 99), 300);
}

TEST(RenderProgressTest, MinutesAndSeconds)
{
    EXPECT_EQ(MinutesSeconds(0), "00:00");
    EXPECT_EQ(MinutesSeconds(65999), "01:05");
    EXPECT_EQ(MinutesSeconds(6000000), "100:00"); // minutes keep all their digits
    EXPECT_EQ(MinutesSeconds(-1500), "00:00");    // an estimate below zero
}

TEST(RenderProgressTest, LogTails)
{
    EXPECT_EQ(FileSizeTail(300, 200), ": 240kb");
    EXPECT_EQ(FileSizeTail(25600, 4096), ": 419430kb"); // past what 32 bits of bytes hold
    EXPECT_EQ(FileSizeTail(65535, 65535), ": 17179344kb");
    EXPECT_EQ(ElapsedTail(125000), " 02:05");
    EXPECT_EQ(SizeTail(12, 20), ": 12 x 20");
}

} // namespace
} // namespace lumexa
