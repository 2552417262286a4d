// The poster window's picture: the result reduced by sampling, and the sheet grid drawn
// over it.
#pragma once

#include "core/print/poster_plan.h"
#include "core/render/render_scene.h"

#include <QImage>
#include <QSize>

#include <mutex>
#include <stop_token>

namespace lumexa
{

// The picture of the result: sampled on a run's thread (a few result pixels per preview
// pixel, so that even a gigapixel result shows in a moment), taken by the window's timer.
class PosterPicture
{
  public:
    // Pictures with the result's proportions that fit `box`.
    explicit PosterPicture(QSize box) : box_(box) {}

    // Samples `scene` row by row into the picture (white paper below what is done); false
    // when `stop` was requested. On the run's thread; the LED images must outlive it.
    bool sample(const RenderScene& scene, std::stop_token stop);
    // The picture as sampled so far, and whether it changed since the last call.
    bool takeIfChanged(QImage& out);

  private:
    QSize box_;
    std::mutex mutex_;
    QImage picture_;
    bool changed_ = false;
};

// The sheets as they are assembled, fitted into `box`: each sheet's printable area as
// white paper with its outline, the overlaps shaded, the picture (`picture`, any size
// with the result's proportions) at its place, and each sheet's label at its centre.
QImage DrawPosterPreview(const QImage& picture, const PosterPlan& plan, double overlapMm,
                         QSize box);

} // namespace lumexa
