// What lumexa-render prints on stderr while it works: the log lines of the run in the
// language's words, and the progress with the remaining time, as a live bar on a
// terminal or as plain lines (one per tenth of the work) otherwise.
#pragma once

#include "core/progress/render_log.h"
#include "core/project/language_table.h"
#include "core/run/run_progress.h"

#include <cstdio>
#include <mutex>
#include <string>

namespace lumexa::cli
{

class ProgressDisplay : public RenderLog
{
  public:
    // `live`: redraw one line in place. `quiet`: print only warnings.
    ProgressDisplay(std::FILE* out, const LanguageTable& language, bool live, bool quiet);

    // Log lines; safe to call from the run's thread.
    void clear() override {}
    void add(int number, std::string_view tail) override;

    void warning(const std::string& message);
    // A line of its own, like a log line (the poster's plan); safe from the run's thread.
    void note(const std::string& line);
    // The run whose progress is shown: its figures are brought up to date before each log
    // line, so that they come out in the order they happened.
    void follow(const RunProgress& progress) { progress_ = &progress; }
    // Shows the run's progress; called a few times a second by the thread that waits for
    // the run. Nothing is shown before the run has begun counting.
    void show(const RunProgress& progress);
    // Shows the last figures and ends the live line.
    void finish(const RunProgress& progress);

  private:
    void endLiveLine();
    void draw(const RunProgress& progress, bool last); // with the mutex held

    std::FILE* out_;
    const LanguageTable& language_;
    const bool live_;
    const bool quiet_;
    const RunProgress* progress_ = nullptr;
    std::mutex mutex_;
    bool lineOpen_ = false;
    bool barComplete_ = false;
    int lastTenth_ = -1;
};

} // namespace lumexa::cli
