// The reduced preview on worker threads.
#include "app/runs/render_preview_runner.h"

#include "core/progress/remaining_time.h"
#include "core/render/dot_renderer.h"
#include "core/view/reduced_view.h"

#include <algorithm>
#include <exception>
#include <thread>
#include <vector>

namespace lumexa
{

PreviewRunner::PreviewRunner(RenderScene scene, int previewWidth, int previewHeight)
    : scene_(std::move(scene)), preview_(previewWidth, previewHeight),
      placement_(PlacePreview(scene_.width, scene_.height, previewWidth, previewHeight))
{
}

PreviewRunner::~PreviewRunner()
{
    if (worker_.joinable()) {
        worker_.request_stop();
        worker_.join();
    }
}

void PreviewRunner::start()
{
    worker_ = std::jthread([this](std::stop_token stop) {
        try {
            run(stop);
        } catch (const std::exception& e) {
            error_ = e.what();
            outcome_.store(Outcome::Failed, std::memory_order_release);
        }
    });
}

void PreviewRunner::cancel()
{
    worker_.request_stop();
}

void PreviewRunner::join()
{
    if (worker_.joinable())
        worker_.join();
}

std::string PreviewRunner::error() const
{
    return outcome() == Outcome::Failed ? error_ : std::string();
}

void PreviewRunner::run(std::stop_token stop)
{
    renderer_ = std::make_unique<DotRenderer>(scene_);
    const int width = scene_.width;
    const int height = scene_.height;
    const int factor = placement_.factor;
    const int threads = std::max(1, static_cast<int>(std::thread::hardware_concurrency()));
    // A few preview rows per band, so that every thread has one and the picture grows often.
    const int band = std::max(4, 2 * threads);
    const size_t stride = static_cast<size_t>(placement_.width) * 4;
    std::vector<uint8_t> rgba(stride * static_cast<size_t>(band));

    RemainingTime remaining(height);
    for (int end = placement_.height; end > 0;) {
        const int first = std::max(0, end - band);
        const int top = first * factor;
        const PixelRect rect{0, top, width, std::min(end * factor, height) - top};
        if (!RenderReduced(*renderer_, rect, factor, rgba.data(), stride, threads, stop)) {
            outcome_.store(Outcome::Cancelled, std::memory_order_release);
            return;
        }
        for (int r = first; r < end; ++r)
            preview_.drawRgbaRow(placement_.top + r, placement_.left,
                                 rgba.data() + static_cast<size_t>(r - first) * stride,
                                 placement_.width);
        remaining.update(height - top);
        remainingMs_.store(std::max<int64_t>(remaining.milliseconds(), 0),
                           std::memory_order_release);
        elapsedMs_.store(static_cast<int64_t>(remaining.elapsedSeconds() * 1000),
                         std::memory_order_release);
        lastRow_.store(top, std::memory_order_release);
        end = first;
    }
    if (stop.stop_requested()) {
        outcome_.store(Outcome::Cancelled, std::memory_order_release);
        return;
    }
    elapsedMs_.store(static_cast<int64_t>(remaining.elapsedSeconds() * 1000),
                     std::memory_order_release);
    outcome_.store(Outcome::Finished, std::memory_order_release);
}

} // namespace lumexa
