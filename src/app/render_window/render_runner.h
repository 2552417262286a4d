// One render to file on a thread of its own: the prepared render (imaging's one render to
// file path) builds its renderer and runs its job on a worker thread, so the window's
// thread stays free to repaint and to take Cancel. The window polls the figures here with
// a timer.
#pragma once

#include "app/render_window/render_preview_canvas.h"
#include "app/render_window/render_preview_mapping.h"
#include "imaging/render_to_file.h"

#include <atomic>
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
    void observe(int y, const uint8_t* rgbaRow);

    std::unique_ptr<FileRender> render_;
    PreviewCanvas preview_;
    PreviewMapping mapping_;
    std::vector<int> columns_; // preview column of every result column
    int lastPreviewRow_ = -1;
    std::atomic<bool> done_{false};
    std::jthread worker_;
};

} // namespace lumexa
