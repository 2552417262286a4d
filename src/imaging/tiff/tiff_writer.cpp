// TIFF writing through libtiff, on the temporary file of an AtomicFile. libtiff reads,
// seeks and writes through client callbacks on that file's descriptor and never closes
// it; the AtomicFile commits or discards the file afterwards.
#include "imaging/tiff/tiff_writer.h"

#include "core/base/error.h"
#include "imaging/deflate/deflate_segment.h"
#include "imaging/deflate/piece_pipeline.h"
#include "imaging/deflate/row_filters.h"

#include <algorithm>
#include <cerrno>
#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <sys/stat.h>
#include <tiffio.h>
#include <unistd.h>

namespace lumexa
{

// The file as libtiff's callbacks and its per-file message handlers see it: a write that
// fails keeps its errno, so that the message says why ("File too large"), as the other
// writers' do; libtiff's own text is the fallback.
struct TiffHandle {
    int fd = -1;
    int writeError = 0;
    std::string message;
};

namespace
{

TiffHandle& handleOf(thandle_t h)
{
    return *static_cast<TiffHandle*>(h);
}

int descriptorOf(thandle_t h)
{
    return handleOf(h).fd;
}

int onTiffError(TIFF*, void* user, const char* module, const char* fmt, va_list ap)
{
    char buf[512];
    std::vsnprintf(buf, sizeof buf, fmt, ap);
    static_cast<TiffHandle*>(user)->message =
        module ? std::string(module) + ": " + buf : std::string(buf);
    return 1; // handled: nothing goes to the process-wide handler
}

int onTiffWarning(TIFF*, void*, const char*, const char*, va_list)
{
    return 1;
}

tsize_t onRead(thandle_t h, tdata_t buf, tsize_t size)
{
    return ::read(descriptorOf(h), buf, static_cast<size_t>(size));
}

tsize_t onWrite(thandle_t h, tdata_t buf, tsize_t size)
{
    const char* p = static_cast<const char*>(buf);
    tsize_t left = size;
    while (left > 0) {
        const ssize_t n = ::write(descriptorOf(h), p, static_cast<size_t>(left));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0) {
            handleOf(h).writeError = n < 0 ? errno : ENOSPC;
            return -1;
        }
        p += n;
        left -= n;
    }
    return size;
}

toff_t onSeek(thandle_t h, toff_t offset, int whence)
{
    return static_cast<toff_t>(::lseek(descriptorOf(h), static_cast<off_t>(offset), whence));
}

int onClose(thandle_t)
{
    return 0;
}

toff_t onSize(thandle_t h)
{
    struct stat st {
    };
    return ::fstat(descriptorOf(h), &st) == 0 ? static_cast<toff_t>(st.st_size) : 0;
}

} // namespace

TiffWriter::TiffWriter(std::string path, Compression compression, int threads, double dpi,
                       AtomicFileOptions fileOptions)
    : path_(std::move(path)), compression_(compression), threads_(threads), dpi_(dpi),
      fileOptions_(fileOptions)
{
}

TiffWriter::~TiffWriter()
{
    discard();
}

bool TiffWriter::needsBigTiff(int width, int height)
{
    // Deflate can make a strip larger than its input; leave room for that and the tags.
    const unsigned long long raw =
        4ull * static_cast<unsigned>(width) * static_cast<unsigned>(height);
    return raw + raw / 64 + (1ull << 20) > 0xFFFFFFFFull;
}

void TiffWriter::open(int width, int height)
{
    if (width < 1 || height < 1)
        throw CannotWrite(path_, "the result of " + std::to_string(width) + " x " +
                                     std::to_string(height) + " pixels is empty");
    discard();
    file_ = std::make_unique<AtomicFile>(path_, fileOptions_);
    handle_ = std::make_unique<TiffHandle>();
    handle_->fd = file_->descriptor();
    const char* mode = needsBigTiff(width, height) ? "w8" : "w";
    TIFFOpenOptions* options = TIFFOpenOptionsAlloc();
    TIFFOpenOptionsSetErrorHandlerExtR(options, onTiffError, handle_.get());
    TIFFOpenOptionsSetWarningHandlerExtR(options, onTiffWarning, handle_.get());
    tiff_ = TIFFClientOpenExt(path_.c_str(), mode, handle_.get(), onRead, onWrite, onSeek, onClose,
                              onSize, nullptr, nullptr, options);
    TIFFOpenOptionsFree(options);
    if (!tiff_)
        fail("cannot start the TIFF file");

    const uint16_t extra[] = {EXTRASAMPLE_UNASSALPHA};
    // A strip is one compressed piece, of the same size as a PNG's.
    rowBytes_ = 4 * static_cast<size_t>(width);
    rowsPerStrip_ = PieceRows(width, compression_);
    height_ = height;
    // Small stores each colour plane apart: the predictor then differences neighbours of
    // the same sample, and the deflate matches within one sample's bytes, which makes
    // these files about a tenth smaller than interleaved ones at the same level. Fast
    // keeps the interleaved layout that every reader takes and that costs no extra pass.
    planes_ = compression_ == Compression::Small ? 4 : 1;
    stripsPerPlane_ = (height + rowsPerStrip_ - 1) / rowsPerStrip_;
    const bool ok =
        TIFFSetField(tiff_, TIFFTAG_IMAGEWIDTH, static_cast<uint32_t>(width)) &&
        TIFFSetField(tiff_, TIFFTAG_IMAGELENGTH, static_cast<uint32_t>(height)) &&
        TIFFSetField(tiff_, TIFFTAG_BITSPERSAMPLE, 8) &&
        TIFFSetField(tiff_, TIFFTAG_SAMPLESPERPIXEL, 4) &&
        TIFFSetField(tiff_, TIFFTAG_EXTRASAMPLES, 1, extra) &&
        TIFFSetField(tiff_, TIFFTAG_PHOTOMETRIC, PHOTOMETRIC_RGB) &&
        TIFFSetField(tiff_, TIFFTAG_PLANARCONFIG,
                     planes_ == 1 ? PLANARCONFIG_CONTIG : PLANARCONFIG_SEPARATE) &&
        TIFFSetField(tiff_, TIFFTAG_ORIENTATION, ORIENTATION_TOPLEFT) &&
        TIFFSetField(tiff_, TIFFTAG_COMPRESSION, COMPRESSION_ADOBE_DEFLATE) &&
        TIFFSetField(tiff_, TIFFTAG_PREDICTOR, PREDICTOR_HORIZONTAL) &&
        TIFFSetField(tiff_, TIFFTAG_ROWSPERSTRIP, static_cast<uint32_t>(rowsPerStrip_)) &&
        TIFFSetField(tiff_, TIFFTAG_XRESOLUTION, static_cast<float>(dpi_)) &&
        TIFFSetField(tiff_, TIFFTAG_YRESOLUTION, static_cast<float>(dpi_)) &&
        TIFFSetField(tiff_, TIFFTAG_RESOLUTIONUNIT, RESUNIT_INCH) &&
        TIFFSetField(tiff_, TIFFTAG_SOFTWARE, "Lumexa");
    if (!ok)
        fail("cannot set up the TIFF file");
    row_ = 0;
    try {
        pipeline_ = std::make_unique<PiecePipeline>(
            threads_, compression_, static_cast<size_t>(rowsPerStrip_) * rowBytes_,
            [this](Piece& p, SegmentDeflater& d) { compressPiece(p, d); },
            [this](const Piece& p) { writePiece(p); });
    } catch (const std::exception& e) {
        fail(e);
    }
}

void TiffWriter::writeRow(const uint8_t* rgbaRow)
{
    if (!pipeline_)
        throw CannotWrite(path_, "the file is not open");
    try {
        Piece& piece = pipeline_->filling();
        if (piece.rows == 0)
            piece.firstRow = row_;
        piece.input.insert(piece.input.end(), rgbaRow, rgbaRow + rowBytes_);
        ++piece.rows;
        ++row_;
        if (piece.rows == rowsPerStrip_ || row_ == height_)
            pipeline_->submit();
    } catch (const std::exception& e) {
        fail(e);
    }
}

void TiffWriter::compressPiece(Piece& piece, SegmentDeflater& deflater) const
{
    thread_local std::vector<uint8_t> predicted;
    predicted.resize(piece.input.size());
    piece.output.clear();
    piece.partEnds.clear();
    if (planes_ == 1) {
        for (size_t at = 0; at < piece.input.size(); at += rowBytes_)
            PredictTiffRow(piece.input.data() + at, rowBytes_, predicted.data() + at);
        deflater.appendZlibStream(predicted.data(), predicted.size(), piece.output);
        return;
    }
    const size_t planeRowBytes = rowBytes_ / 4;
    const size_t planeBytes = planeRowBytes * static_cast<size_t>(piece.rows);
    for (int sample = 0; sample < planes_; ++sample) {
        uint8_t* plane = predicted.data() + static_cast<size_t>(sample) * planeBytes;
        for (int r = 0; r < piece.rows; ++r)
            PredictTiffPlane(piece.input.data() + static_cast<size_t>(r) * rowBytes_, rowBytes_,
                             sample, plane + static_cast<size_t>(r) * planeRowBytes);
        deflater.appendZlibStream(plane, planeBytes, piece.output);
        piece.partEnds.push_back(piece.output.size());
    }
}

void TiffWriter::writePiece(const Piece& piece)
{
    // Strips are numbered plane by plane; libtiff records each one's place as it comes.
    size_t start = 0;
    for (int sample = 0; sample < planes_; ++sample) {
        const size_t end = planes_ == 1 ? piece.output.size() : piece.partEnds[sample];
        const auto strip = static_cast<uint32_t>(sample * stripsPerPlane_ + piece.index);
        if (TIFFWriteRawStrip(tiff_, strip, const_cast<uint8_t*>(piece.output.data() + start),
                              static_cast<tmsize_t>(end - start)) < 0)
            throw Error("a write failed");
        start = end;
    }
}

void TiffWriter::commit()
{
    if (!pipeline_)
        throw CannotWrite(path_, "the file is not open");
    try {
        if (row_ != height_)
            throw Error(std::to_string(height_ - row_) + " rows are missing");
        pipeline_->finish();
        pipeline_.reset();
    } catch (const std::exception& e) {
        fail(e);
    }
    if (!TIFFFlush(tiff_))
        fail("a write failed");
    TIFFClose(tiff_);
    tiff_ = nullptr;
    file_->commit();
    file_.reset();
}

void TiffWriter::discard()
{
    // The compressing threads use this writer's members, so they stop first.
    pipeline_.reset();
    if (tiff_) {
        TIFFClose(tiff_);
        tiff_ = nullptr;
    }
    if (file_)
        file_->discard();
    file_.reset();
}

void TiffWriter::fail(const std::string& what)
{
    std::string reason = what;
    if (handle_ && handle_->writeError != 0)
        reason = std::strerror(handle_->writeError);
    else if (handle_ && !handle_->message.empty())
        reason += " (" + handle_->message + ")";
    discard();
    throw CannotWrite(path_, reason);
}

void TiffWriter::fail(const std::exception& e)
{
    // An error about the file (a failed write) is passed on as it is; any other gets the
    // file's name.
    if (const auto* error = dynamic_cast<const Error*>(&e); error && !error->file().empty()) {
        const Error about = *error;
        discard();
        throw about;
    }
    fail(std::string(ErrorFrom(e).what()));
}

} // namespace lumexa
