// The sampled preview on a worker thread.
#include "app/render_window/render_preview_runner.h"

#include "core/render/dot_renderer.h"

#include <chrono>
#include <exception>
#include <vector>

namespace lumexa
{

PreviewRunner::PreviewRunner(RenderScene scene, int previewWidth, int previewHeight)
    : scene_(std::move(scene)), preview_(previewWidth, previewHeight),
      mapping_(SampledPreviewMapping(scene_.width, scene_.height, previewWidth, previewHeight))
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
    using Clock = std::chrono::steady_clock;
    renderer_ = std::make_unique<DotRenderer>(scene_);
    const int width = scene_.width;
    const int height = scene_.height;
    const double s = mapping_.s;

    // The sample columns and where they land, the same for every row.
    std::vector<int> samples;
    std::vector<int> columns;
    for (double x = 0; x <= width; x = static_cast<int>(x + s)) {
        samples.push_back(static_cast<int>(x));
        columns.push_back(mapping_.column(x));
    }
    std::vector<uint8_t> bgr(samples.size() * 3);

    const Clock::time_point start = Clock::now();
    int64_t rows = 0;
    for (double y = height; y >= 0; y = static_cast<int>(y - s)) {
        // The estimate divides the time so far by the rows begun, before this row is
        // composed, so the first figure is 00:00.
        ++rows;
        const int64_t elapsed =
            std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start).count();
        elapsedMs_.store(elapsed, std::memory_order_release);
        remainingMs_.store(static_cast<int64_t>((elapsed / rows) * (height / s)) - elapsed,
                           std::memory_order_release);
        if (stop.stop_requested()) {
            outcome_.store(Outcome::Cancelled, std::memory_order_release);
            return;
        }
        const int py = mapping_.row(y);
        const int ry = static_cast<int>(y);
        for (size_t i = 0; i < samples.size(); ++i) {
            // Samples on the result's right or bottom edge lie outside it and stay black.
            renderer_->ComposePreviewPixel(samples[i], ry, &bgr[i * 3]);
        }
        preview_.drawBgrRow(py, columns.data(), bgr.data(), static_cast<int>(samples.size()));
        lastRow_.store(ry, std::memory_order_release);
    }
    elapsedMs_.store(
        std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start).count(),
        std::memory_order_release);
    outcome_.store(Outcome::Finished, std::memory_order_release);
}

} // namespace lumexa
