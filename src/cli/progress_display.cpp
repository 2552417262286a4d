// Progress and log lines on stderr.
#include "cli/progress_display.h"

#include "core/base/shown_text.h"
#include "core/progress/render_progress.h"

#include <algorithm>

namespace lumexa::cli
{

namespace
{

constexpr int kBarWidth = 30;

// The log lines' words where no language file gives them (none was found, or it lacks the
// number): without them a line would be its figures alone (": 240kb").
struct FallbackText {
    int number;
    const char* text;
};
constexpr FallbackText kFallbackTexts[] = {
    {1, "Render started."},
    {2, "Result file size"},
    {3, "File header written."},
    {4, "Rendering rows..."},
    {5, "Render cancelled; the unfinished file was deleted."},
    {6, "Render time"},
    {12, "--------------------"},
    {13, "Dot grid"},
    {14, "Result size in pixels"},
    {15, "Laying out the background LEDs..."},
    {16, "Laying out the lit LEDs..."},
    {17, "Scattering random points..."},
    {18, "Sorting and shuffling the dots..."},
    {19, "Done."},
};

std::string LogText(const LanguageTable& language, int number)
{
    if (!language[number].empty())
        return language[number];
    for (const FallbackText& f : kFallbackTexts)
        if (f.number == number)
            return f.text;
    return {};
}

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
    std::string text = LogText(language_, number);
    // A line without words shows its figures without the separator in front of them.
    if (text.empty())
        tail.remove_prefix(std::min(tail.size(), tail.find_first_not_of(": ")));
    note(text + std::string(tail));
}

void ProgressDisplay::note(const std::string& line)
{
    if (quiet_)
        return;
    std::lock_guard lock(mutex_);
    if (progress_)
        draw(*progress_, false);
    endLiveLine();
    if (!line.empty())
        std::fprintf(out_, "%s\n", EscapeControls(line).c_str());
    std::fflush(out_);
}

void ProgressDisplay::warning(const std::string& message)
{
    std::lock_guard lock(mutex_);
    endLiveLine();
    std::fprintf(out_, "lumexa-render: warning: %s\n", EscapeControls(message).c_str());
    std::fflush(out_);
}

void ProgressDisplay::show(const RunProgress& progress)
{
    std::lock_guard lock(mutex_);
    draw(progress, false);
}

void ProgressDisplay::finish(const RunProgress& progress)
{
    std::lock_guard lock(mutex_);
    draw(progress, true);
    endLiveLine();
    std::fflush(out_);
}

void ProgressDisplay::draw(const RunProgress& progress, bool last)
{
    const int64_t total = progress.total();
    if (quiet_ || total < 1 || progress.done() < 1)
        return;
    // The figures of the render window: what is left counts down as a bottom-up render
    // reaches its rows.
    const int64_t left = progress.left();
    const int position = ProgressPosition(left, total);
    const bool complete = left == 0;
    if (last && !complete)
        return;
    if (!live_) {
        if (position / 10 <= lastTenth_)
            return;
        lastTenth_ = position / 10;
    }
    std::string label = ProgressLabel(left, total);
    if (progress.parts() > 0)
        label = "page " + std::to_string(progress.part()) + " of " +
                std::to_string(progress.parts()) + ", " + label;
    const std::string remaining = MinutesSeconds(complete ? 0 : progress.remainingMs());
    if (live_) {
        const int filled = position * kBarWidth / 100;
        std::string bar(static_cast<size_t>(filled), '#');
        bar.append(static_cast<size_t>(kBarWidth - filled), '-');
        std::fprintf(out_, "\r[%s] %6s  remaining %s", bar.c_str(), label.c_str(),
                     remaining.c_str());
        lineOpen_ = true;
        barComplete_ = complete;
    } else {
        std::fprintf(out_, "%s  remaining %s\n", label.c_str(), remaining.c_str());
    }
    std::fflush(out_);
}

} // namespace lumexa::cli
