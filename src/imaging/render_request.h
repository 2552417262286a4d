// What the render window, the poster window and lumexa-render ask for: the project's
// settings and pictures, the options of the result and where it goes. The request is carried
// out on a background run's thread, from the layout to the last byte, with one stop token,
// so that Cancel and Ctrl-C stop a long layout as promptly as a long write.
#pragma once

#include "core/layout/render_layout.h"
#include "core/pictures/led_image_set.h"
#include "core/print/poster_plan.h"
#include "core/project/settings.h"
#include "core/render/render_scene.h"
#include "core/run/run_progress.h"
#include "imaging/render_to_file.h"

#include <functional>
#include <optional>
#include <stop_token>
#include <string>

namespace lumexa
{

// What a render reads besides the settings: the LED images, where the glyph comes from and
// the render's random tables (the render window keeps its own from run to run). All must
// outlive the run, and nothing else may use them while it works.
struct RenderSource {
    const LedImageSet* leds = nullptr;
    GlyphRasterizer* rasterizer = nullptr;
    const Picture* logo = nullptr; // null when no logo is loaded
    RenderRandom* random = nullptr;
    RandomGenerator* generator = nullptr;
};

struct RenderRequest {
    ProjectSettings settings; // laid out as they are; the render options among them
    RenderSource source;
    // The result file and how it is written; for a poster only its path and threads count.
    RenderToFileOptions output;
    // A poster PDF of the result instead of a picture file.
    std::optional<PosterRequest> poster;
    // Told the poster's plan (with the request it was made from) once the result is laid
    // out, before a page is written; on the run's thread.
    std::function<void(const PosterPlan& plan, const PosterRequest& request)> onPosterPlan;
};

// True when the request is printed, as a poster or a PDF page: paper has no transparency,
// so the unlit LEDs show wherever the background is drawn (PrintedOptions).
bool PrintsOnPaper(const RenderRequest& request);

// The options the request's output is composed with: the scene's own, or print's.
RenderOptions OptionsAsWritten(const RenderScene& scene, const RenderRequest& request);

// The render layout of `settings` (a copy: the layout narrows its brightness range) with
// its log lines in `log` (null: none). Throws an Error when the set lacks an unlit and a
// lit LED image or the layout cannot be built, Stopped when `stop` is requested.
RenderLayout LayOutRender(ProjectSettings settings, const RenderSource& source, RenderLog* log,
                          const std::stop_token& stop = {});

// The request's layout and the scene that draws it, the first half of carrying it out.
// Throws an Error about the layout or the scene, Stopped when `stop` is requested.
RenderScene LayOutScene(const RenderRequest& request, const std::stop_token& stop = {});

// The second half: writes the scene to the request's file or poster. True when written,
// false when stopped (any earlier file untouched); throws an Error naming the file.
bool WriteScene(const RenderScene& scene, const RenderRequest& request, std::stop_token stop,
                RunProgress& progress);

// Both halves, as a background run's work.
bool CarryOut(const RenderRequest& request, std::stop_token stop, RunProgress& progress);

} // namespace lumexa
