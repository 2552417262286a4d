// A poster PDF of a render, shared by lumexa-render and the main window's Print poster:
// the sheets are planned (and a poster that cannot print is refused) before anything is
// written; then the pages are composed one at a time from the renderer's regions.
#pragma once

#include "core/layout/render_layout.h"
#include "core/pictures/led_image_set.h"
#include "core/print/poster_plan.h"
#include "core/project/settings.h"
#include "core/render/render_job.h"
#include "core/render/render_scene.h"
#include "imaging/pdf/poster_pdf.h"

#include <atomic>
#include <memory>
#include <mutex>
#include <stop_token>
#include <string>

namespace lumexa
{

class DotRenderer;

class PosterRender
{
  public:
    // `request` without the picture's size, which the layout gives. Throws an Error when
    // the poster cannot print. `leds` must outlive the render.
    PosterRender(RenderLayout layout, const LedImageSet& leds, const ProjectSettings& settings,
                 PosterRequest request, std::string path, int threads = 0);
    ~PosterRender();
    PosterRender(const PosterRender&) = delete;
    PosterRender& operator=(const PosterRender&) = delete;

    const PosterPlan& plan() const { return plan_; }
    const PosterRequest& request() const { return request_; }
    const std::string& path() const { return path_; }

    // Writes the poster on the calling thread: Finished with the file in place, Cancelled
    // or Failed with any earlier file untouched.
    RenderState run(std::stop_token stop = {});

    // Safe to read from another thread while run() works.
    const PosterProgress& progress() const { return progress_; }
    RenderState state() const { return state_.load(std::memory_order_acquire); }
    // The message of a Failed run.
    std::string error() const;

  private:
    PosterRequest request_;
    PosterPlan plan_;
    std::string path_;
    int threads_;
    RenderScene scene_;
    PosterProgress progress_;
    std::atomic<RenderState> state_{RenderState::Idle};
    mutable std::mutex errorMutex_;
    std::string error_;
};

} // namespace lumexa
