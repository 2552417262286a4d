// The poster window's picture: the result reduced by sampling on a worker thread (a few
// result pixels per preview pixel, so that even a gigapixel result shows in a moment), and
// the sheet grid drawn over it.
#pragma once

#include "core/print/poster_plan.h"
#include "core/render/render_scene.h"

#include <QImage>
#include <QSize>

#include <atomic>
#include <memory>
#include <mutex>
#include <thread>

namespace lumexa
{

class DotRenderer;

class PosterSampler
{
  public:
    // A picture of the result with its proportions that fits `box`. The LED images of
    // `scene` must outlive the sampler.
    PosterSampler(RenderScene scene, QSize box);
    ~PosterSampler();
    PosterSampler(const PosterSampler&) = delete;
    PosterSampler& operator=(const PosterSampler&) = delete;

    void start();
    bool done() const { return done_.load(std::memory_order_acquire); }
    void join();
    // The picture as sampled so far (blank paper below), and whether it changed since the last
    // call.
    bool takeIfChanged(QImage& out);

  private:
    void run(std::stop_token stop);

    RenderScene scene_;
    std::unique_ptr<DotRenderer> renderer_;
    std::mutex mutex_;
    QImage picture_;
    bool changed_ = true;
    std::atomic<bool> done_{false};
    std::jthread worker_;
};

// The sheets as they are assembled, fitted into `box`: each sheet's printable area as
// white paper with its outline, the overlaps shaded, the picture (`picture`, any size
// with the result's proportions) at its place, and each sheet's label at its centre.
QImage DrawPosterPreview(const QImage& picture, const PosterPlan& plan, double overlapMm,
                         QSize box);

} // namespace lumexa
