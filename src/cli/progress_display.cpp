// Progress and log lines on stderr.
#include "cli/progress_display.h"

#include "core/progress/render_progress.h"

namespace lumexa::cli
{

namespace
{

constexpr int kBarWidth = 30;

} // namespace

ProgressDisplay::ProgressDisplay(std::FILE* out, const LanguageTable& language, bool live,
                                 bool quiet)
    : out_(out), language_(language), live_(live), quiet_(quiet)
{
}

void ProgressDisplay::endLiveLine()
{
    if (lineOpen_) {
        // A complete bar stays on the screen; an unfinished one makes room for the line.
        std::fputs(barComplete_ ? "\n" : "\r\033[K", out_);
        lineOpen_ = false;
    }
}

void ProgressDisplay::add(int number, std::string_view tail)
{
    if (quiet_)
        return;
    std::lock_guard lock(mutex_);
    endLiveLine();
    const std::string line = language_[number] + std::string(tail);
    if (!line.empty())
        std::fprintf(out_, "%s\n", line.c_str());
    std::fflush(out_);
}

void ProgressDisplay::warning(const std::string& message)
{
    std::lock_guard lock(mutex_);
    endLiveLine();
    std::fprintf(out_, "lumexa-render: warning: %s\n", message.c_str());
    std::fflush(out_);
}

void ProgressDisplay::rowWritten(const RenderJob& job)
{
    const int height = job.height();
    const int done = ++rows_;
    if (quiet_ || height < 1)
        return;
    // The figures of the render window: after `done` rows the row just composed is
    // H - done counted from the top (rows are written bottom-up).
    const int y = height - done;
    const int position = ProgressPosition(y, height);
    const auto now = std::chrono::steady_clock::now();
    if (live_) {
        if (done < height && now - lastDrawn_ < std::chrono::milliseconds(100))
            return;
    } else {
        if (position / 10 <= lastTenth_ && done < height)
            return;
        lastTenth_ = position / 10;
    }
    lastDrawn_ = now;
    const std::string label = ProgressLabel(y, height);
    const std::string remaining = MinutesSeconds(job.remainingMs());
    std::lock_guard lock(mutex_);
    if (live_) {
        const int filled = position * kBarWidth / 100;
        std::string bar(static_cast<size_t>(filled), '#');
        bar.append(static_cast<size_t>(kBarWidth - filled), '-');
        std::fprintf(out_, "\r[%s] %6s  remaining %s", bar.c_str(), label.c_str(),
                     remaining.c_str());
        lineOpen_ = true;
        barComplete_ = done == height;
    } else {
        std::fprintf(out_, "%s  remaining %s\n", label.c_str(), remaining.c_str());
    }
    std::fflush(out_);
}

void ProgressDisplay::finish(const RenderJob&)
{
    std::lock_guard lock(mutex_);
    endLiveLine();
    std::fflush(out_);
}

} // namespace lumexa::cli
