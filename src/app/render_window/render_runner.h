// One render to file on threads of its own: the dot renderer is built and the engine's
// render job runs on a worker thread, so the window's thread stays free to repaint and to
// take Cancel. The window polls the figures here with a timer.
#pragma once

#include "app/render_window/render_preview_canvas.h"
#include "app/render_window/render_preview_mapping.h"
#include "core/render/render_job.h"
#include "core/render/render_scene.h"

#include <atomic>
#include <memory>
#include <string>
#include <thread>
#include <vector>

namespace lumexa
{

class DotRenderer;

class RenderRunner
{
  public:
    // `writer` and `log` must outlive the runner; the LED images of `scene` too.
    RenderRunner(RenderScene scene, std::unique_ptr<RowWriter> writer, RenderLog& log,
                 int previewWidth, int previewHeight, int threads = 0);
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
    RenderState state() const;
    std::string error() const;
    const RenderJob& job() const { return *job_; }
    int height() const { return scene_.height; }
    const std::string& path() const { return writer_->path(); }
    PreviewCanvas& preview() { return preview_; }

  private:
    void observe(int y, const uint8_t* rgbaRow);

    RenderScene scene_;
    std::unique_ptr<RowWriter> writer_;
    std::unique_ptr<DotRenderer> renderer_;
    std::unique_ptr<RenderJob> job_;
    PreviewCanvas preview_;
    PreviewMapping mapping_;
    std::vector<int> columns_; // preview column of every result column
    int lastPreviewRow_ = -1;
    std::string setupError_; // a failure before the job started
    std::atomic<bool> done_{false};
    std::jthread worker_;
};

} // namespace lumexa
