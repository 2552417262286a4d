// The one way a render reaches a file, shared by lumexa-render and the render window:
// lay out, check the result's size for the chosen format, make the scene and the row
// writer, run the render job, report the outcome. lumexa-render runs it from start to end
// on its own thread; the render window lays out and prepares on its thread (so that a
// refusal is shown before anything runs) and runs the job on a worker thread.
#pragma once

#include "core/base/error.h"
#include "core/base/pixel_rect.h"
#include "core/layout/render_layout.h"
#include "core/pictures/led_image_set.h"
#include "core/project/settings.h"
#include "core/render/render_job.h"
#include "core/render/render_scene.h"
#include "imaging/row_writers.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <stop_token>
#include <string>

namespace lumexa
{

class DotRenderer;

// What a render reads besides the settings: the LED images, where the glyph comes from and
// the render's random tables (the render window keeps its own from run to run).
struct RenderSource {
    const LedImageSet* leds = nullptr;
    GlyphRasterizer* rasterizer = nullptr;
    const Picture* logo = nullptr; // null when no logo is loaded
    RenderRandom* random = nullptr;
    RandomGenerator* generator = nullptr;
};

// How the result is written. Later options (compression, resolution, a region) go here,
// so that both callers get them by filling in one more field.
struct RenderToFileOptions {
    std::string path;
    std::optional<OutputFormat> format; // nothing: chosen by the path's extension
    int threads = 0;                    // composing threads; 0: one per core
    int dpi = kDefaultPrintDpi;         // the print resolution recorded in the file
    // Only this rectangle of the result (in full-size pixels), with the full render's
    // bytes; nothing: the whole result.
    std::optional<PixelRect> region;
    // Writes the result (or region) reduced `scale` times: each pixel the rounded average of
    // a scale x scale block, coverage included, ceil(W / scale) x ceil(H / scale) in all.
    int scale = 1;
    // PNG and TIFF compression; nothing: the project's choice (ProjectSettings::compression).
    std::optional<Compression> compression;
    RenderLog* log = nullptr; // lines of the job (null: none)
    // Sees each row once it is written, on the thread that runs the job: for progress,
    // a reduced picture, or a cancel request of the caller's own.
    std::function<void(const RenderJob& job, int y, const uint8_t* rgbaRow)> onRow;
};

// The render layout of `settings` (a copy: the layout narrows its brightness range) with
// its log lines in `log` (null: none). Throws an Error when the set lacks an unlit and a
// lit LED image or the layout cannot be built, Stopped when `stop` is requested.
RenderLayout LayOutRender(ProjectSettings settings, const RenderSource& source, RenderLog* log,
                          const std::stop_token& stop = {});

// Throws an Error naming `path` and the size when a result of width x height cannot be
// written in `format`: no pixels at all, or (Targa) a side of more than 65535 pixels.
void CheckResultSize(const std::string& path, OutputFormat format, int64_t width, int64_t height);

// Throws an Error naming the rectangle unless `region` is a non-empty part of a result of
// width x height pixels.
void CheckRegion(const PixelRect& region, int64_t width, int64_t height);

// One render to file, prepared: the result's size is checked, the scene made and the
// writer chosen, all before anything is written.
class FileRender
{
  public:
    // Throws an Error when the result is refused. `leds` must outlive the render.
    FileRender(RenderLayout layout, const LedImageSet& leds, const ProjectSettings& settings,
               RenderToFileOptions options);
    ~FileRender();
    FileRender(const FileRender&) = delete;
    FileRender& operator=(const FileRender&) = delete;

    // Builds the renderer's row index and runs the job on the calling thread: Finished with
    // the file in place, Cancelled or Failed with any earlier file untouched.
    RenderState run(std::stop_token stop = {});

    // Safe to read from another thread while run() works.
    const RenderJob& job() const { return *job_; }
    RenderState state() const;
    // What failed in a Failed run, always about the result file: a failed write names it
    // already, anything else gets it put in front.
    Error error() const;

    // The size of the file's picture (the region's, reduced by the scale).
    int width() const { return job_->width(); }
    int height() const { return job_->height(); }
    const std::string& path() const { return options_.path; }
    OutputFormat format() const { return format_; }

  private:
    RenderToFileOptions options_;
    OutputFormat format_;
    RenderScene scene_;
    PixelRect source_; // the full-size pixels the file shows
    std::unique_ptr<RowWriter> writer_;
    std::unique_ptr<DotRenderer> renderer_;
    std::unique_ptr<RenderJob> job_;
    std::atomic<bool> setupFailed_{false};
    std::optional<Error> setupError_; // written before setupFailed_ is set
};

} // namespace lumexa
