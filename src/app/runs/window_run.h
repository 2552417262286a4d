// The render window's runs: Render writes the result file of a render request, Preview
// composes the same result reduced to the preview area, Scene only lays it out for the
// inspector. All lay the request out on the run's own thread, so the window's thread stays free to
// repaint and to take Cancel, even during a long layout; the window polls the figures, the picture
// and the outcome with a timer.
#pragma once

#include "app/runs/render_preview_canvas.h"
#include "core/run/background_run.h"
#include "imaging/render_request.h"

#include <cstdint>
#include <memory>
#include <vector>

namespace lumexa
{

class WindowRun
{
  public:
    enum class Kind { Render, Preview, Scene };

    // Runs that draw into a preview area of width x height.
    WindowRun(int previewWidth, int previewHeight);
    WindowRun(const WindowRun&) = delete;
    WindowRun& operator=(const WindowRun&) = delete;

    // Lays out the request and writes its file, drawing each row into the preview as it is
    // written. The request's pictures, tables and log must outlive the run.
    void startRender(RenderRequest request);
    // Lays out the request and composes its result reduced to the preview area, a band of
    // rows at a time from the bottom up, as the request's destination (not written) would
    // hold it; both runs draw over the backdrop of that destination.
    void startPreview(RenderRequest request);
    // Lays out the request and keeps its scene for takeScene().
    void startScene(RenderRequest request);
    // The scene of a finished Scene run (once), else null.
    std::unique_ptr<RenderScene> takeScene() { return std::move(scene_); }

    Kind kind() const { return kind_; }
    void cancel() { run_.cancel(); }
    bool ended() const { return run_.ended(); }
    void join() { run_.join(); }
    RunState state() const { return run_.state(); }
    Error error() const { return run_.error(); }
    // Rows of the result: 0 in all while the run lays out.
    const RunProgress& progress() const { return run_.progress(); }
    PreviewCanvas& preview() { return preview_; }

  private:
    // Adds a written row to the preview: rows are summed block by block, and a block row
    // is averaged and drawn once its last row (in writing order) has been added.
    void beginRows(int width, int height);
    void observe(int y, const uint8_t* rgbaRow);
    bool composePreview(const RenderScene& scene, std::stop_token stop, RunProgress& progress);

    RenderRequest request_;
    Kind kind_ = Kind::Render;
    std::unique_ptr<RenderScene> scene_;
    PreviewCanvas preview_;
    // The written rows' reduction, on the run's thread.
    PreviewPlacement placement_;
    int resultWidth_ = 0;
    int resultHeight_ = 0;
    std::vector<uint64_t> sums_; // per preview pixel of the block row being summed
    std::vector<uint8_t> reduced_;
    int blockRow_ = -1; // the block row being summed, -1 for none
    int blockRows_ = 0; // result rows summed into it
    BackgroundRun run_; // last: its thread ends before the members it uses go
};

} // namespace lumexa
