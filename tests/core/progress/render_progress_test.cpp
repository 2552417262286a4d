// The figures a render shows: progress bar, labels, remaining time and log tails.
#include "core/progress/render_progress.h"

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
