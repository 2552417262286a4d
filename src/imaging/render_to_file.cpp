// The render of a scene to a file.
#include "imaging/render_to_file.h"

#include "core/base/error.h"
#include "core/render/dot_renderer.h"
#include "core/view/reduced_view.h"
#include "imaging/pdf/print_shop_writer.h"
#include "imaging/targa/targa_writer.h"

#include <exception>
#include <new>

namespace lumexa
{

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

FileRender::FileRender(const RenderScene& scene, Compression compression,
                       RenderToFileOptions options)
    : scene_(scene), options_(std::move(options)),
      format_(options_.format.value_or(OutputFormatForPath(options_.path)))
{
    if (options_.scale < 1)
        throw Error("The scale " + std::to_string(options_.scale) +
                    " is not a whole number from 1 up");
    if (options_.region)
        CheckRegion(*options_.region, scene_.width, scene_.height);
    const int scale = options_.scale;
    source_ = options_.region.value_or(PixelRect{0, 0, scene_.width, scene_.height});
    const int outWidth = ReducedLength(source_.width, scale);
    const int outHeight = ReducedLength(source_.height, scale);
    CheckResultSize(options_.path, format_, outWidth, outHeight);
    // The writer compresses on as many threads as compose: while the rows are composed
    // faster than they are compressed, the composing threads wait for it and lend their
    // cores.
    WriterOptions writerOptions;
    writerOptions.compression = options_.compression.value_or(compression);
    writerOptions.threads = options_.threads;
    // A reduced result keeps the physical size: N times fewer pixels per inch.
    writerOptions.dpi = static_cast<double>(options_.dpi) / scale;
    if (format_ == OutputFormat::Pdf)
        CheckPrintShopPage(options_.path, outWidth, outHeight, writerOptions.dpi);
    writerOptions.file = options_.file;
    writer_ = MakeRowWriter(options_.path, format_, writerOptions);

    RenderJobSetup setup;
    setup.width = outWidth;
    setup.height = outHeight;
    // A wide row takes a while; a stop request leaves it unfinished, and the job ends.
    if (scale == 1 && !options_.region)
        setup.compose = [this](int y, uint8_t* row) {
            if (!renderer_->RenderRow(y, row, stop_))
                throw Stopped();
        };
    else if (scale == 1)
        setup.compose = [this](int y, uint8_t* row) {
            renderer_->RenderSpan(source_.y + y, source_.x, source_.right(), row);
        };
    else
        // A reduced row averages the block of full-size rows it stands for.
        setup.compose = [this, scale](int y, uint8_t* row) {
            const int top = y * scale;
            if (!RenderReduced(*renderer_,
                               {source_.x, source_.y + top, source_.width,
                                std::min(scale, source_.height - top)},
                               scale, row, 0, 1, stop_))
                throw Stopped();
        };
    setup.writer = writer_.get();
    setup.log = options_.log;
    setup.threads = options_.threads;
    if (options_.onRow)
        setup.observer = options_.onRow;
    job_ = std::make_unique<RenderJob>(std::move(setup));
}

FileRender::~FileRender() = default;

bool FileRender::run(std::stop_token stop, RunProgress* progress)
{
    stop_ = stop;
    try {
        // A page prints the unlit LEDs wherever the background is drawn.
        renderer_ = std::make_unique<DotRenderer>(
            scene_, format_ == OutputFormat::Pdf ? PrintedOptions(scene_.options) : scene_.options,
            kDefaultSampleTableBudget, stop);
        if (options_.onBegin)
            options_.onBegin(job_->width(), job_->height());
        return job_->run(stop, progress);
    } catch (const Stopped&) {
        writer_->discard();
        return false;
    } catch (const Error& e) {
        writer_->discard();
        throw e.about(options_.path);
    } catch (const std::exception& e) {
        writer_->discard();
        throw ErrorFrom(e).about(options_.path);
    }
}

} // namespace lumexa
