// Deep zoom exports and pyramidal TIFF files of a render scene.
#include "imaging/pyramid_to_file.h"

#include "core/base/error.h"
#include "core/progress/render_progress.h"
#include "core/render/dot_renderer.h"
#include "core/render/render_destination.h"
#include "core/view/pyramid_builder.h"
#include "imaging/dzi/deep_zoom_export.h"
#include "imaging/dzi/viewer_page.h"
#include "imaging/tiff/pyramid_tiff.h"

#include <chrono>
#include <filesystem>
#include <new>

namespace lumexa
{

namespace
{

using Clock = std::chrono::steady_clock;

bool WritePyramidTiff(const RenderScene& scene, const RenderToFileOptions& options,
                      Compression compression, std::stop_token stop, RunProgress* progress)
{
    NullRenderLog nullLog;
    RenderLog& log = options.log ? *options.log : nullLog;
    CheckResultSize(options.path, OutputFormat::Tiff, scene.width, scene.height);
    const Pyramid pyramid = Pyramid::Tiled(scene.width, scene.height);
    LogPyramidStart(log, pyramid, scene.width, scene.height);
    const Clock::time_point start = Clock::now();
    try {
        PyramidTiff file(options.path, pyramid, options.tileFormat, options.quality, compression,
                         options.dpi);
        const DotRenderer renderer(scene, kDefaultSampleTableBudget, stop);
        log.add(243);
        if (!BuildPyramid(renderer, pyramid, file, options.threads, stop, progress)) {
            log.add(5);
            return false;
        }
        file.commit();
    } catch (const Stopped&) {
        log.add(5);
        return false;
    } catch (const Error& e) {
        throw e.about(options.path);
    } catch (const std::bad_alloc&) {
        throw OutOfMemory().about(options.path);
    }
    std::error_code unknown;
    const uintmax_t bytes = std::filesystem::file_size(options.path, unknown);
    if (!unknown)
        log.add(2, BytesTail(bytes));
    log.add(6, ElapsedTail(std::chrono::duration_cast<std::chrono::milliseconds>(
                               Clock::now() - start)
                               .count()));
    log.add(19);
    return true;
}

} // namespace

bool IsTiledResult(const RenderToFileOptions& options)
{
    const OutputFormat format = options.format.value_or(OutputFormatForPath(options.path));
    return format == OutputFormat::Dzi || (format == OutputFormat::Tiff && options.pyramid);
}

void CheckTiledDestination(const RenderToFileOptions& options, const std::string& projectPath,
                           const LedImageSet& leds, const Logo& logo, const ProgramFiles& program)
{
    if (options.format.value_or(OutputFormatForPath(options.path)) != OutputFormat::Dzi)
        return;
    CheckRenderDestination(DeepZoomPathsFor(options.path).page, projectPath, leds, logo, program,
                           options.file);
    CheckViewerFiles(options.webFolder);
}

bool WriteTiledResult(const RenderScene& scene, const RenderToFileOptions& options,
                      Compression compression, std::stop_token stop, RunProgress* progress)
{
    if (options.region || options.scale != 1)
        throw Error("A deep zoom export or a pyramid holds the whole result at every scale: it "
                    "takes no region or scale")
            .about(options.path);
    const Compression chosen = options.compression.value_or(compression);
    const OutputFormat format = options.format.value_or(OutputFormatForPath(options.path));
    if (format != OutputFormat::Dzi)
        return WritePyramidTiff(scene, options, chosen, stop, progress);
    DeepZoomOptions dzi;
    dzi.path = options.path;
    dzi.format = options.tileFormat;
    dzi.quality = options.quality;
    dzi.compression = chosen;
    dzi.threads = options.threads;
    dzi.dpi = options.dpi;
    dzi.webFolder = options.webFolder;
    dzi.log = options.log;
    return WriteDeepZoom(scene, dzi, stop, progress);
}

} // namespace lumexa
