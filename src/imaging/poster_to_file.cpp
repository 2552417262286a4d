// Posters from a render scene.
#include "imaging/poster_to_file.h"

#include "core/base/error.h"
#include "core/print/region_fill.h"
#include "core/render/dot_renderer.h"
#include "imaging/pdf/poster_pdf.h"
#include "imaging/row_writers.h"

#include <algorithm>
#include <cstdint>
#include <optional>
#include <thread>

namespace lumexa
{

void CheckPosterPath(const std::string& path)
{
    const std::optional<OutputFormat> named = OutputFormatNamedBy(path);
    if (named && *named != OutputFormat::Pdf)
        throw CannotWrite(path, std::string("a poster is a PDF file, and the name is that of a ") +
                                    OutputFormatName(*named) + " file");
}

PosterPlan PlanPosterOf(const RenderScene& scene, PosterRequest& request)
{
    request.pictureWidth = scene.width;
    request.pictureHeight = scene.height;
    return PlanPoster(request);
}

bool WritePoster(const RenderScene& scene, const PosterRequest& request, const PosterPlan& plan,
                 const std::string& path, int threads, std::stop_token stop, RunProgress* progress,
                 AtomicFileOptions fileOptions)
{
    CheckPosterPath(path);
    try {
        // Paper has no transparency: the sheets show the unlit LEDs.
        const DotRenderer renderer(scene, PrintedOptions(scene.options), kDefaultSampleTableBudget,
                                   stop);
        if (threads <= 0)
            threads = std::max(1, static_cast<int>(std::thread::hardware_concurrency()));
        return WritePosterPdf(path, plan, request, FillFromRenderer(renderer, threads), stop,
                              progress, fileOptions);
    } catch (const Error& e) {
        throw e.about(path);
    }
}

} // namespace lumexa
