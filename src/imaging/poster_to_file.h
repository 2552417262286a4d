// A poster PDF of a render scene, shared by lumexa-render and the poster window: the
// sheets are planned (and a poster that cannot print is refused) before anything is
// written; then the pages are composed one at a time from the renderer's regions.
#pragma once

#include "core/base/atomic_file.h"
#include "core/print/poster_plan.h"
#include "core/render/render_scene.h"
#include "core/run/run_progress.h"

#include <stop_token>
#include <string>

namespace lumexa
{

// Throws an Error naming `path` when its extension names a picture format: a poster is a
// PDF, and a file called .png that holds one would mislead every program that opens it.
void CheckPosterPath(const std::string& path);

// `request` with the picture's size taken from `scene`, planned. Throws an Error when the
// poster cannot print.
PosterPlan PlanPosterOf(const RenderScene& scene, PosterRequest& request);

// Writes the poster of `plan` (made by PlanPosterOf from `request`) on the calling thread,
// composing on `threads` threads (0: one per core): true with the file in place, false when
// `stop` was requested, with any earlier file untouched; throws an Error naming the file.
bool WritePoster(const RenderScene& scene, const PosterRequest& request, const PosterPlan& plan,
                 const std::string& path, int threads, std::stop_token stop = {},
                 RunProgress* progress = nullptr, AtomicFileOptions fileOptions = {});

} // namespace lumexa
