// One render to file on a thread of its own: the prepared render (imaging's one render to
// file path) builds its renderer and runs its job on a worker thread, so the window's
// thread stays free to repaint and to take Cancel. The window polls the figures here with
// a timer.
#pragma once

#include "app/runs/render_preview_canvas.h"
#include "imaging/render_to_file.h"

#include <atomic>
#include <cstdint>
#include <memory>
#include <string>
#include <thread>
#include <vector>

namespace lumexa
{

class RenderRunner
{
  public:
    // Checks and prepares the render on the calling thread; throws an Error when the
    // result is refused, before anything is written. `leds` and the options' log must
    // outlive the runner.
    RenderRunner(RenderLayout layout, const LedImageSet& leds, const ProjectSettings& settings,
                 RenderToFileOptions options, int previewWidth, int previewHeight);
    ~RenderRunner();
    RenderRunner(const RenderRunner&) = delete;
    RenderRunner& operator=(const RenderRunner&) = delete;

    void start();
    // Asks the run to stop before its next row; any earlier file stays as it was.
    void cancel();
    // True once the worker has ended; join() then returns at once.
    bool done() const { return done_.load(std::memory_order_acquire); }
    void join();

    // The outcome once done(): Finished, Cancelled or Failed.
    RenderState state() const { return render_->state(); }
    Error error() const { return render_->error(); }
    const RenderJob& job() const { return render_->job(); }
    int height() const { return render_->height(); }
    const std::string& path() const { return render_->path(); }
    PreviewCanvas& preview() { return preview_; }

  private:
    // Adds a written row to the preview: rows are summed block by block, and a block row
    // is averaged and drawn once its last row (in writing order) has been added.
    void observe(int y, const uint8_t* rgbaRow);
    void drawBlockRow();

    std::unique_ptr<FileRender> render_;
    PreviewCanvas preview_;
    PreviewPlacement placement_;
    std::vector<uint64_t> sums_; // per preview pixel of the block row being summed
    std::vector<uint8_t> reduced_;
    int blockRow_ = -1; // the block row being summed, -1 for none
    int blockRows_ = 0; // result rows summed into it
    std::atomic<bool> done_{false};
    std::jthread worker_;
};

} // namespace lumexa
