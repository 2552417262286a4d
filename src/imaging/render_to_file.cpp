// The render to file, from layout to outcome.
#include "imaging/render_to_file.h"

#include "core/base/error.h"
#include "core/render/dot_renderer.h"
#include "core/render/render_preparation.h"
#include "core/view/reduced_view.h"
#include "imaging/targa/targa_writer.h"

#include <exception>

namespace lumexa
{

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

void CheckResultSize(const std::string& path, OutputFormat format, int64_t width, int64_t height)
{
    if (format == OutputFormat::Targa) {
        CheckTargaSize(path, width, height);
        return;
    }
    if (width < 1 || height < 1)
        throw CannotWrite(path, "the result of " + std::to_string(width) + " x " +
                                    std::to_string(height) + " pixels is empty");
}

void CheckRegion(const PixelRect& region, int64_t width, int64_t height)
{
    if (region.x < 0 || region.y < 0 || region.width < 1 || region.height < 1 ||
        region.x + int64_t{region.width} > width || region.y + int64_t{region.height} > height)
        throw Error("The region " + std::to_string(region.x) + "," + std::to_string(region.y) +
                    "," + std::to_string(region.width) + "," + std::to_string(region.height) +
                    " does not lie within the result of " + std::to_string(width) + " x " +
                    std::to_string(height) + " pixels");
}

FileRender::FileRender(RenderLayout layout, const LedImageSet& leds,
                       const ProjectSettings& settings, RenderToFileOptions options)
    : options_(std::move(options)),
      format_(options_.format.value_or(OutputFormatForPath(options_.path)))
{
    if (options_.scale < 1)
        throw Error("The scale " + std::to_string(options_.scale) +
                    " is not a whole number from 1 up");
    if (options_.region)
        CheckRegion(*options_.region, layout.width, layout.height);
    const int scale = options_.scale;
    const int64_t sourceWidth = options_.region ? options_.region->width : layout.width;
    const int64_t sourceHeight = options_.region ? options_.region->height : layout.height;
    const int64_t outWidth = sourceWidth / scale + (sourceWidth % scale != 0 ? 1 : 0);
    const int64_t outHeight = sourceHeight / scale + (sourceHeight % scale != 0 ? 1 : 0);
    CheckResultSize(options_.path, format_, outWidth, outHeight);
    scene_ = MakeRenderScene(std::move(layout), leds, settings);
    source_ = options_.region.value_or(PixelRect{0, 0, scene_.width, scene_.height});
    // The writer compresses on as many threads as compose: while the rows are composed
    // faster than they are compressed, the composing threads wait for it and lend their
    // cores.
    WriterOptions writerOptions;
    writerOptions.compression = options_.compression.value_or(settings.compression);
    writerOptions.threads = options_.threads;
    writerOptions.dpi = options_.dpi;
    writer_ = MakeRowWriter(options_.path, format_, writerOptions);

    RenderJobSetup setup;
    // The scene holds the whole result in ints, so its reduction fits as well.
    setup.width = static_cast<int>(outWidth);
    setup.height = static_cast<int>(outHeight);
    if (scale == 1 && !options_.region)
        setup.compose = [this](int y, uint8_t* row) { renderer_->RenderRow(y, row); };
    else if (scale == 1)
        setup.compose = [this](int y, uint8_t* row) {
            renderer_->RenderSpan(source_.y + y, source_.x, source_.right(), row);
        };
    else
        // A reduced row averages the block of full-size rows it stands for.
        setup.compose = [this, scale](int y, uint8_t* row) {
            const int top = y * scale;
            RenderReduced(
                *renderer_,
                {source_.x, source_.y + top, source_.width, std::min(scale, source_.height - top)},
                scale, row, 0);
        };
    setup.writer = writer_.get();
    setup.log = options_.log;
    setup.threads = options_.threads;
    if (options_.onRow)
        setup.observer = [this](int y, const uint8_t* row) { options_.onRow(*job_, y, row); };
    job_ = std::make_unique<RenderJob>(std::move(setup));
}

FileRender::~FileRender() = default;

RenderState FileRender::run(std::stop_token stop)
{
    try {
        renderer_ = std::make_unique<DotRenderer>(scene_);
    } catch (const std::exception& e) {
        const auto* error = dynamic_cast<const Error*>(&e);
        setupError_ = error ? *error : Error(e.what());
        writer_->discard();
        setupFailed_.store(true, std::memory_order_release);
        return RenderState::Failed;
    }
    return job_->run(stop);
}

RenderState FileRender::state() const
{
    if (setupFailed_.load(std::memory_order_acquire))
        return RenderState::Failed;
    return job_->state();
}

Error FileRender::error() const
{
    if (setupFailed_.load(std::memory_order_acquire))
        return setupError_->about(options_.path);
    return job_->error().about(options_.path);
}

} // namespace lumexa
