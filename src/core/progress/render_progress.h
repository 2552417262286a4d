// The figures the render window shows while rows are written: the progress bar and its
// label, the remaining time and the log lines' tails. Plain functions of the row counts
// and times, so that every window and the headless renderer show the same numbers.
#pragma once

#include <cstdint>
#include <string>

namespace lumexa
{

// Progress bar position after result row y (counted from the top) of `height` rows has
// been composed: 100 - trunc(y x (100 / H)). Runs that count other units give what is
// left of them as y, and their total as H.
int ProgressPosition(int64_t y, int64_t height);
// The running label: 100 - y x (100 / H) with one decimal, "37.5%".
std::string ProgressLabel(int64_t y, int64_t height);
// The label at the end: the bar's position as a whole number, "100%".
std::string FinalProgressLabel(int position);

// "%02d:%02d" of minutes and seconds; a negative time shows as 00:00.
std::string MinutesSeconds(int64_t milliseconds);

// Log line tails: ": %dkb" with W x H x 4 / 1000, " %02d:%02d" of an elapsed time and
// ": %d x %d" of a size.
std::string FileSizeTail(int width, int height);
// ": %dkb" of a file's real size in bytes.
std::string BytesTail(uint64_t bytes);
std::string ElapsedTail(int64_t elapsedMs);
std::string SizeTail(long long width, long long height);

} // namespace lumexa
