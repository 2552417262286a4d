// A render to file on a worker thread.
#include "app/runs/render_runner.h"

#include "core/view/reduced_view.h"

#include <algorithm>

namespace lumexa
{

RenderRunner::RenderRunner(RenderLayout layout, const LedImageSet& leds,
                           const ProjectSettings& settings, RenderToFileOptions options,
                           int previewWidth, int previewHeight)
    : preview_(previewWidth, previewHeight)
{
    options.onRow = [this](const RenderJob&, int y, const uint8_t* row) { observe(y, row); };
    render_ = std::make_unique<FileRender>(std::move(layout), leds, settings, std::move(options));
    placement_ = PlacePreview(render_->width(), render_->height(), previewWidth, previewHeight);
    sums_.resize(static_cast<size_t>(placement_.width) * 4);
    reduced_.resize(static_cast<size_t>(placement_.width) * 4);
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
    const int factor = placement_.factor;
    const int block = y / factor;
    if (block != blockRow_) {
        std::fill(sums_.begin(), sums_.end(), 0);
        blockRow_ = block;
        blockRows_ = 0;
    }
    AddRowToBlockSums(rgbaRow, render_->width(), factor, sums_.data());
    ++blockRows_;
    // Rows come in order, up or down: the block row is whole when its rows are all in.
    const int rowsInBlock = std::min(factor, render_->height() - block * factor);
    if (blockRows_ == rowsInBlock)
        drawBlockRow();
}

void RenderRunner::drawBlockRow()
{
    AverageBlockSums(sums_.data(), render_->width(), placement_.factor, blockRows_,
                     reduced_.data());
    preview_.drawRgbaRow(placement_.top + blockRow_, placement_.left, reduced_.data(),
                         placement_.width);
    blockRow_ = -1;
}

} // namespace lumexa
