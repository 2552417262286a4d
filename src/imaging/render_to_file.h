// A result file of a render scene: the result's size is checked for the chosen format, the
// row writer made and the render job run, on the calling thread. The render request
// (render_request.h) is the one road to it for the window and lumexa-render.
#pragma once

#include "core/base/pixel_rect.h"
#include "core/project/settings.h"
#include "core/project/tile_format.h"
#include "core/render/render_job.h"
#include "core/render/render_scene.h"
#include "core/run/run_progress.h"
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

// How the result is written. Later options (compression, resolution, a region) go here,
// so that every caller gets them by filling in one more field.
struct RenderToFileOptions {
    std::string path;
    std::optional<OutputFormat> format; // nothing: chosen by the path's extension
    int threads = 0;                    // composing threads; 0: one per core
    // The print resolution of the full-size result; the file records it divided by the
    // scale, so that a reduced result prints at the same size with less detail.
    int dpi = kDefaultPrintDpi;
    // Only this rectangle of the result (in full-size pixels), with the full render's
    // bytes; nothing: the whole result.
    std::optional<PixelRect> region;
    // Writes the result (or region) reduced `scale` times: each pixel the rounded average of
    // a scale x scale block, coverage included, ceil(W / scale) x ceil(H / scale) in all.
    int scale = 1;
    // PNG and TIFF compression; nothing: the project's choice (ProjectSettings::compression).
    std::optional<Compression> compression;
    // A deep zoom export's tiles, or a pyramidal TIFF's: PNG (deflated in a TIFF) or JPEG,
    // and the JPEG quality.
    TileFormat tileFormat = TileFormat::Png;
    int quality = kDefaultJpegQuality;
    // A TIFF result as a tiled pyramid of the result and its reductions.
    bool pyramid = false;
    // The program's folder of web files, which a deep zoom export's page is made from.
    std::string webFolder;
    // How the file replaces an earlier one: a read-only one only when the user agreed.
    AtomicFileOptions file{};
    RenderLog* log = nullptr; // lines of the job (null: none)
    // Told the size of the file's picture before its first row is written, then sees each
    // row once it is written, on the thread that runs the job: for a reduced picture.
    std::function<void(int width, int height)> onBegin;
    std::function<void(int y, const uint8_t* rgbaRow)> onRow;
};

// Throws an Error naming `path` and the size when a result of width x height cannot be
// written in `format`: no pixels at all, or (Targa) a side of more than 65535 pixels.
void CheckResultSize(const std::string& path, OutputFormat format, int64_t width, int64_t height);

// Throws an Error naming the rectangle unless `region` is a non-empty part of a result of
// width x height pixels.
void CheckRegion(const PixelRect& region, int64_t width, int64_t height);

// One render to file, prepared: the result's size is checked and the writer chosen, both
// before anything is written.
class FileRender
{
  public:
    // Throws an Error when the result is refused. The scene's LED images must outlive the
    // render; `compression` is the project's, for options that do not choose one.
    FileRender(const RenderScene& scene, Compression compression, RenderToFileOptions options);
    ~FileRender();
    FileRender(const FileRender&) = delete;
    FileRender& operator=(const FileRender&) = delete;

    // Builds the renderer's row index and runs the job on the calling thread: true with the
    // file in place, false when stopped, with any earlier file untouched; throws an Error
    // about the result file (a failed write names it already, anything else gets it put
    // in front). `progress` counts the rows written.
    bool run(std::stop_token stop = {}, RunProgress* progress = nullptr);

    // The size of the file's picture (the region's, reduced by the scale).
    int width() const { return job_->width(); }
    int height() const { return job_->height(); }
    const std::string& path() const { return options_.path; }
    OutputFormat format() const { return format_; }

  private:
    const RenderScene& scene_;
    RenderToFileOptions options_;
    OutputFormat format_;
    PixelRect source_;     // the full-size pixels the file shows
    std::stop_token stop_; // the run's, for the rows composed on the job's threads
    std::unique_ptr<RowWriter> writer_;
    std::unique_ptr<DotRenderer> renderer_;
    std::unique_ptr<RenderJob> job_;
};

} // namespace lumexa
