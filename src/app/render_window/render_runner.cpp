// A render to file on a worker thread.
#include "app/render_window/render_runner.h"

#include "core/render/dot_renderer.h"

#include <exception>

namespace lumexa
{

RenderRunner::RenderRunner(RenderScene scene, std::unique_ptr<RowWriter> writer, RenderLog& log,
                           int previewWidth, int previewHeight, int threads)
    : scene_(std::move(scene)), writer_(std::move(writer)), preview_(previewWidth, previewHeight),
      mapping_(RenderPreviewMapping(scene_.width, scene_.height, previewWidth, previewHeight))
{
    columns_.resize(static_cast<size_t>(scene_.width));
    for (int x = 0; x < scene_.width; ++x)
        columns_[static_cast<size_t>(x)] = mapping_.column(x);

    RenderJobSetup setup;
    setup.width = scene_.width;
    setup.height = scene_.height;
    setup.compose = [this](int y, uint8_t* row) { renderer_->RenderRow(y, row); };
    setup.writer = writer_.get();
    setup.log = &log;
    setup.observer = [this](int y, const uint8_t* row) { observe(y, row); };
    setup.threads = threads;
    job_ = std::make_unique<RenderJob>(std::move(setup));
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
        try {
            // The renderer's row index is built here, off the window's thread.
            renderer_ = std::make_unique<DotRenderer>(scene_);
        } catch (const std::exception& e) {
            setupError_ = e.what();
            writer_->discard();
            done_.store(true, std::memory_order_release);
            return;
        }
        job_->run(stop);
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

RenderState RenderRunner::state() const
{
    if (done() && !setupError_.empty())
        return RenderState::Failed;
    return job_->state();
}

std::string RenderRunner::error() const
{
    if (done() && !setupError_.empty())
        return setupError_;
    return job_->error();
}

void RenderRunner::observe(int y, const uint8_t* rgbaRow)
{
    // Output rows that land on a preview row already drawn are not shown again.
    const int row = mapping_.row(y);
    if (row == lastPreviewRow_)
        return;
    lastPreviewRow_ = row;
    preview_.drawRgbaRow(row, columns_.data(), rgbaRow, scene_.width);
}

} // namespace lumexa
