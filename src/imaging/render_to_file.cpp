// The render to file, from layout to outcome.
#include "imaging/render_to_file.h"

#include "core/base/error.h"
#include "core/render/dot_renderer.h"
#include "core/render/render_preparation.h"
#include "imaging/write/targa_writer.h"

#include <exception>
#include <vector>

namespace lumexa
{

RenderLayout LayOutRender(ProjectSettings settings, const RenderSource& source, RenderLog* log,
                          const std::stop_token& stop)
{
    CheckRenderLeds(*source.leds);
    RenderGlyphSource glyph;
    glyph.rasterizer = source.rasterizer;
    glyph.logo = source.logo;
    // The candidate points are needed only while the layout is built.
    std::vector<TScatterPoint> points;
    return BuildRenderLayout(settings, LedInfoOf(*source.leds), glyph, *source.random,
                             *source.generator, points, log, stop);
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

FileRender::FileRender(RenderLayout layout, const LedImageSet& leds,
                       const ProjectSettings& settings, RenderToFileOptions options)
    : options_(std::move(options)),
      format_(options_.format.value_or(OutputFormatForPath(options_.path)))
{
    CheckResultSize(options_.path, format_, layout.width, layout.height);
    scene_ = MakeRenderScene(std::move(layout), leds, settings);
    WriterOptions writerOptions;
    writerOptions.dpi = options_.dpi;
    writer_ = MakeRowWriter(options_.path, format_, writerOptions);

    RenderJobSetup setup;
    setup.width = scene_.width;
    setup.height = scene_.height;
    setup.compose = [this](int y, uint8_t* row) { renderer_->RenderRow(y, row); };
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
