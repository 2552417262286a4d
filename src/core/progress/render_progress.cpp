// Progress, remaining time and log figures of a render.
#include "core/progress/render_progress.h"

#include <cstdio>

namespace lumexa
{

int ProgressPosition(int64_t y, int64_t height)
{
    return 100 - static_cast<int>(static_cast<double>(y) * (100.0 / static_cast<double>(height)));
}

std::string ProgressLabel(int64_t y, int64_t height)
{
    char buf[32];
    std::snprintf(buf, sizeof buf, "%.1f%%",
                  100 - static_cast<double>(y) * (100.0 / static_cast<double>(height)));
    return buf;
}

std::string FinalProgressLabel(int position)
{
    return std::to_string(position) + "%";
}

std::string MinutesSeconds(int64_t milliseconds)
{
    if (milliseconds < 0)
        milliseconds = 0;
    const long long seconds = milliseconds / 1000;
    const long long minutes = seconds / 60;
    char buf[48];
    std::snprintf(buf, sizeof buf, "%02lld:%02lld", minutes, seconds - minutes * 60);
    return buf;
}

std::string FileSizeTail(int width, int height)
{
    const long long kb = static_cast<long long>(width) * height * 4 / 1000;
    return ": " + std::to_string(kb) + "kb";
}

std::string BytesTail(uint64_t bytes)
{
    return ": " + std::to_string(bytes / 1000) + "kb";
}

std::string ElapsedTail(int64_t elapsedMs)
{
    return " " + MinutesSeconds(elapsedMs);
}

std::string SizeTail(long long width, long long height)
{
    return ": " + std::to_string(width) + " x " + std::to_string(height);
}

} // namespace lumexa
