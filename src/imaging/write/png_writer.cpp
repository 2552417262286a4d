// PNG writing through libpng. libpng reports errors by longjmp; every call into it goes
// through one small function that holds the jump buffer, and the write callback turns
// a failed write into a libpng error after saving the reason, so no C++ object is ever
// skipped by a jump.
#include "imaging/write/png_writer.h"

#include "core/base/error.h"

#include <csetjmp>
#include <png.h>

namespace lumexa
{

namespace
{

constexpr int kPixelsPerMetreAt300Dpi = 11811; // 300 / 0.0254, rounded

} // namespace

struct PngWriter::Codec {
    png_structp png = nullptr;
    png_infop info = nullptr;
    AtomicFile* file = nullptr;
    std::string failure; // the reason of the last error, set before libpng jumps

    ~Codec() { png_destroy_write_struct(&png, &info); }
};

namespace
{

void onWrite(png_structp png, png_bytep data, png_size_t size)
{
    auto* codec = static_cast<PngWriter::Codec*>(png_get_io_ptr(png));
    bool failed = false;
    try {
        codec->file->write(data, size);
    } catch (const std::exception& e) {
        codec->failure = e.what();
        failed = true;
    }
    if (failed)
        png_error(png, "write failed");
}

void onFlush(png_structp) {}

void onError(png_structp png, png_const_charp message)
{
    auto* codec = static_cast<PngWriter::Codec*>(png_get_error_ptr(png));
    if (codec->failure.empty())
        codec->failure = message;
    png_longjmp(png, 1);
}

void onWarning(png_structp, png_const_charp) {}

// Runs one libpng step; returns false when libpng reported an error.
template <typename Step> bool guarded(PngWriter::Codec& codec, Step step)
{
    if (setjmp(png_jmpbuf(codec.png)))
        return false;
    step();
    return true;
}

} // namespace

PngWriter::PngWriter(std::string path) : path_(std::move(path)) {}

PngWriter::~PngWriter() = default;

void PngWriter::open(int width, int height)
{
    if (width < 1 || height < 1)
        throw Error("Cannot write " + path_ + ": the result of " + std::to_string(width) + " x " +
                    std::to_string(height) + " pixels is empty");
    discard();
    file_ = std::make_unique<AtomicFile>(path_);
    codec_ = std::make_unique<Codec>();
    codec_->file = file_.get();
    codec_->png = png_create_write_struct(PNG_LIBPNG_VER_STRING, codec_.get(), onError, onWarning);
    if (codec_->png)
        codec_->info = png_create_info_struct(codec_->png);
    if (!codec_->png || !codec_->info) {
        discard();
        throw Error("Cannot write file " + path_ + ": out of memory");
    }
    Codec& c = *codec_;
    const bool ok = guarded(c, [&] {
        png_set_write_fn(c.png, &c, onWrite, onFlush);
        // Rows of millions of pixels are fine for this writer; lift libpng's default cap.
        png_set_user_limits(c.png, 0x7fffffff, 0x7fffffff);
        png_set_compression_level(c.png, 1);
        png_set_filter(c.png, PNG_FILTER_TYPE_BASE, PNG_FILTER_SUB);
        png_set_IHDR(c.png, c.info, static_cast<png_uint_32>(width),
                     static_cast<png_uint_32>(height), 8, PNG_COLOR_TYPE_RGB_ALPHA,
                     PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_BASE, PNG_FILTER_TYPE_BASE);
        png_set_pHYs(c.png, c.info, kPixelsPerMetreAt300Dpi, kPixelsPerMetreAt300Dpi,
                     PNG_RESOLUTION_METER);
        png_write_info(c.png, c.info);
    });
    if (!ok)
        fail();
}

void PngWriter::writeRow(const uint8_t* rgbaRow)
{
    if (!codec_)
        throw Error("Cannot write file " + path_ + ": the file is not open");
    Codec& c = *codec_;
    if (!guarded(c, [&] { png_write_row(c.png, rgbaRow); }))
        fail();
}

void PngWriter::commit()
{
    if (!codec_)
        throw Error("Cannot write file " + path_ + ": the file is not open");
    Codec& c = *codec_;
    if (!guarded(c, [&] { png_write_end(c.png, nullptr); }))
        fail();
    codec_.reset();
    file_->commit();
    file_.reset();
}

void PngWriter::fail()
{
    // A failed write already carries a message naming the file; libpng's own do not.
    const std::string reason = codec_->failure;
    discard();
    throw Error(reason.rfind("Cannot", 0) == 0 ? reason
                                               : "Cannot write file " + path_ + ": " + reason);
}

void PngWriter::discard()
{
    codec_.reset();
    if (file_)
        file_->discard();
    file_.reset();
}

} // namespace lumexa
