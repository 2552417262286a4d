// Carrying out a render request.
#include "imaging/render_request.h"

#include "core/base/error.h"
#include "core/render/render_preparation.h"
#include "imaging/poster_to_file.h"
#include "imaging/pyramid_to_file.h"

namespace lumexa
{

bool PrintsOnPaper(const RenderRequest& request)
{
    return request.poster || request.output.format.value_or(
                                 OutputFormatForPath(request.output.path)) == OutputFormat::Pdf;
}

RenderOptions OptionsAsWritten(const RenderScene& scene, const RenderRequest& request)
{
    return PrintsOnPaper(request) ? PrintedOptions(scene.options) : scene.options;
}

RenderLayout LayOutRender(ProjectSettings settings, const RenderSource& source, RenderLog* log,
                          const std::stop_token& stop)
{
    CheckRenderLeds(*source.leds);
    RenderGlyphSource glyph;
    glyph.rasterizer = source.rasterizer;
    glyph.logo = source.logo;
    return BuildRenderLayout(settings, LedInfoOf(*source.leds), glyph, *source.random,
                             *source.generator, log, stop);
}

RenderScene LayOutScene(const RenderRequest& request, const std::stop_token& stop)
{
    RenderLayout layout = LayOutRender(request.settings, request.source, request.output.log, stop);
    if (stop.stop_requested())
        throw Stopped();
    return MakeRenderScene(std::move(layout), *request.source.leds, request.settings);
}

bool WriteScene(const RenderScene& scene, const RenderRequest& request, std::stop_token stop,
                RunProgress& progress)
{
    if (request.poster) {
        CheckPosterPath(request.output.path);
        PosterRequest poster = *request.poster;
        const PosterPlan plan = PlanPosterOf(scene, poster);
        if (request.onPosterPlan)
            request.onPosterPlan(plan, poster);
        return WritePoster(scene, poster, plan, request.output.path, request.output.threads, stop,
                           &progress, request.output.file);
    }
    if (IsTiledResult(request.output))
        return WriteTiledResult(scene, request.output, request.settings.compression, stop,
                                &progress);
    FileRender render(scene, request.settings.compression, request.output);
    return render.run(stop, &progress);
}

bool CarryOut(const RenderRequest& request, std::stop_token stop, RunProgress& progress)
{
    const RenderScene scene = LayOutScene(request, stop);
    return WriteScene(scene, request, stop, progress);
}

} // namespace lumexa
