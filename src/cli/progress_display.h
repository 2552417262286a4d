// What lumexa-render prints on stderr while it works: the log lines of the run in the
// language's words, and the progress with the remaining time, as a live bar on a
// terminal or as plain lines (one per tenth of the work) otherwise.
#pragma once

#include "core/progress/render_log.h"
#include "core/project/language_table.h"
#include "core/render/render_job.h"

#include <chrono>
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

    // Log lines; safe to call from the render job's thread.
    void clear() override {}
    void add(int number, std::string_view tail) override;

    void warning(const std::string& message);
    // Shows the progress after each written row; called on the job's thread, in the
    // order of the rows, so that progress and log lines come out in order.
    void rowWritten(const RenderJob& job);
    // Ends the live line.
    void finish(const RenderJob& job);

  private:
    void endLiveLine();

    std::FILE* out_;
    const LanguageTable& language_;
    const bool live_;
    const bool quiet_;
    std::mutex mutex_;
    bool lineOpen_ = false;
    bool barComplete_ = false;
    int rows_ = 0;
    int lastTenth_ = 0;
    std::chrono::steady_clock::time_point lastDrawn_{};
};

} // namespace lumexa::cli
