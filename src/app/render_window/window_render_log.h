// The render window's log as the engine's render job writes it: the job adds lines on
// its own thread, so they are queued here and the window moves them into its log on the
// user-interface thread when it polls the run.
#pragma once

#include "core/progress/render_log.h"

#include <mutex>
#include <string>
#include <utility>
#include <vector>

namespace lumexa
{

class WindowRenderLog : public RenderLog
{
  public:
    struct Line {
        int number = 0;   // -1 for a clear
        std::string tail; // figures after the language string
    };

    void clear() override;
    void add(int number, std::string_view tail = {}) override;
    // The lines queued since the last call, in the order they were added.
    std::vector<Line> take();

  private:
    std::mutex mutex_;
    std::vector<Line> lines_;
};

} // namespace lumexa
