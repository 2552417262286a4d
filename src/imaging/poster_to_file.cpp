// Posters from a render layout.
#include "imaging/poster_to_file.h"

#include "core/render/dot_renderer.h"
#include "core/render/render_preparation.h"

#include <algorithm>
#include <exception>
#include <thread>

namespace lumexa
{

PosterRender::PosterRender(RenderLayout layout, const LedImageSet& leds,
                           const ProjectSettings& settings, PosterRequest request, std::string path,
                           int threads)
    : request_(std::move(request)), path_(std::move(path)), threads_(threads)
{
    request_.pictureWidth = static_cast<int>(std::min<int64_t>(layout.width, INT32_MAX));
    request_.pictureHeight = static_cast<int>(std::min<int64_t>(layout.height, INT32_MAX));
    plan_ = PlanPoster(request_);
    scene_ = MakeRenderScene(std::move(layout), leds, settings);
}

PosterRender::~PosterRender() = default;

RenderState PosterRender::run(std::stop_token stop)
{
    state_.store(RenderState::Running, std::memory_order_release);
    RenderState outcome = RenderState::Failed;
    try {
        const DotRenderer renderer(scene_);
        const int threads =
            threads_ > 0 ? threads_
                         : std::max(1, static_cast<int>(std::thread::hardware_concurrency()));
        const bool written = WritePosterPdf(path_, plan_, request_,
                                            FillFromRenderer(renderer, threads), stop, &progress_);
        outcome = written ? RenderState::Finished : RenderState::Cancelled;
    } catch (const std::exception& e) {
        std::lock_guard lock(errorMutex_);
        error_ = e.what();
    }
    state_.store(outcome, std::memory_order_release);
    return outcome;
}

std::string PosterRender::error() const
{
    std::lock_guard lock(errorMutex_);
    return error_;
}

} // namespace lumexa
