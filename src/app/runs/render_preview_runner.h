// The render window's preview on worker threads: the final picture reduced to the preview
// area by area averaging, so that it shows the text whatever the size of the LED images,
// composed a band of preview rows at a time from the bottom up; the window polls the
// figures here with a timer.
#pragma once

#include "app/runs/render_preview_canvas.h"
#include "core/render/render_scene.h"

#include <atomic>
#include <cstdint>
#include <memory>
#include <string>
#include <thread>

namespace lumexa
{

class DotRenderer;

class PreviewRunner
{
  public:
    enum class Outcome { Running, Finished, Cancelled, Failed };

    // The LED images of `scene` must outlive the runner.
    PreviewRunner(RenderScene scene, int previewWidth, int previewHeight);
    ~PreviewRunner();
    PreviewRunner(const PreviewRunner&) = delete;
    PreviewRunner& operator=(const PreviewRunner&) = delete;

    void start();
    // The run stops within its current band of rows.
    void cancel();
    bool done() const { return outcome() != Outcome::Running; }
    void join();

    Outcome outcome() const { return outcome_.load(std::memory_order_acquire); }
    std::string error() const; // valid once outcome() is Failed
    // The top result row of the part shown so far, or -1 before the first band.
    int lastRow() const { return lastRow_.load(std::memory_order_acquire); }
    int64_t remainingMs() const { return remainingMs_.load(std::memory_order_acquire); }
    int64_t elapsedMs() const { return elapsedMs_.load(std::memory_order_acquire); }
    int height() const { return scene_.height; }
    const PreviewPlacement& placement() const { return placement_; }
    PreviewCanvas& preview() { return preview_; }

  private:
    void run(std::stop_token stop);

    RenderScene scene_;
    std::unique_ptr<DotRenderer> renderer_;
    PreviewCanvas preview_;
    PreviewPlacement placement_;
    std::string error_;
    std::atomic<Outcome> outcome_{Outcome::Running};
    std::atomic<int> lastRow_{-1};
    std::atomic<int64_t> remainingMs_{0};
    std::atomic<int64_t> elapsedMs_{0};
    std::jthread worker_;
};

} // namespace lumexa
