// Queued log lines of a render running on another thread.
#include "app/render_window/window_render_log.h"

namespace lumexa
{

void WindowRenderLog::clear()
{
    std::lock_guard lock(mutex_);
    lines_.push_back({-1, {}});
}

void WindowRenderLog::add(int number, std::string_view tail)
{
    std::lock_guard lock(mutex_);
    lines_.push_back({number, std::string(tail)});
}

std::vector<WindowRenderLog::Line> WindowRenderLog::take()
{
    std::lock_guard lock(mutex_);
    return std::exchange(lines_, {});
}

} // namespace lumexa
