// A render to file on a worker thread.
#include "app/render_window/render_runner.h"

namespace lumexa
{

RenderRunner::RenderRunner(RenderLayout layout, const LedImageSet& leds,
                           const ProjectSettings& settings, RenderToFileOptions options,
                           int previewWidth, int previewHeight)
    : preview_(previewWidth, previewHeight)
{
    options.onRow = [this](const RenderJob&, int y, const uint8_t* row) { observe(y, row); };
    render_ = std::make_unique<FileRender>(std::move(layout), leds, settings, std::move(options));
    mapping_ =
        RenderPreviewMapping(render_->width(), render_->height(), previewWidth, previewHeight);
    columns_.resize(static_cast<size_t>(render_->width()));
    for (int x = 0; x < render_->width(); ++x)
        columns_[static_cast<size_t>(x)] = mapping_.column(x);
}

RenderRunner::~RenderRunner()
{
    // The jthread asks the job to stop and waits for it, so nothing outlives the scene.
    if (worker_.joinable()) {
        worker_.request_stop();
        worker_.join();
    }
}

void RenderRunner::start()
{
    worker_ = std::jthread([this](std::stop_token stop) {
        render_->run(stop);
        done_.store(true, std::memory_order_release);
    });
}

void RenderRunner::cancel()
{
    worker_.request_stop();
}

void RenderRunner::join()
{
    if (worker_.joinable())
        worker_.join();
}

void RenderRunner::observe(int y, const uint8_t* rgbaRow)
{
    // Output rows that land on a preview row already drawn are not shown again.
    const int row = mapping_.row(y);
    if (row == lastPreviewRow_)
        return;
    lastPreviewRow_ = row;
    preview_.drawRgbaRow(row, columns_.data(), rgbaRow, render_->width());
}

} // namespace lumexa
