// TIFF writing through libtiff, on the temporary file of an AtomicFile. libtiff reads,
// seeks and writes through client callbacks on that file's descriptor and never closes
// it; the AtomicFile commits or discards the file afterwards.
#include "imaging/write/tiff_writer.h"

#include "core/base/error.h"
#include "imaging/write/deflate_segment.h"
#include "imaging/write/piece_pipeline.h"
#include "imaging/write/png_writer.h"
#include "imaging/write/row_filters.h"

#include <algorithm>
#include <cstdarg>
#include <cstdio>
#include <sys/stat.h>
#include <tiffio.h>
#include <unistd.h>

namespace lumexa
{

namespace
{

// libtiff's messages go to a per-thread buffer, so that the writer can put them into
// its own error text.
thread_local std::string lastTiffError;

void onTiffError(const char* module, const char* fmt, va_list ap)
{
    char buf[512];
    std::vsnprintf(buf, sizeof buf, fmt, ap);
    lastTiffError = module ? std::string(module) + ": " + buf : std::string(buf);
}

void onTiffWarning(const char*, const char*, va_list) {}

int descriptorOf(thandle_t h)
{
    return static_cast<int>(reinterpret_cast<intptr_t>(h));
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
        if (n <= 0)
            return -1;
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

TiffWriter::TiffWriter(std::string path, Compression compression, int threads)
    : path_(std::move(path)), compression_(compression), threads_(threads)
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
        throw Error("Cannot write " + path_ + ": the result of " + std::to_string(width) + " x " +
                    std::to_string(height) + " pixels is empty");
    discard();
    TIFFSetErrorHandler(onTiffError);
    TIFFSetWarningHandler(onTiffWarning);
    file_ = std::make_unique<AtomicFile>(path_);
    lastTiffError.clear();
    const char* mode = needsBigTiff(width, height) ? "w8" : "w";
    tiff_ = TIFFClientOpen(path_.c_str(), mode,
                           reinterpret_cast<thandle_t>(static_cast<intptr_t>(file_->descriptor())),
                           onRead, onWrite, onSeek, onClose, onSize, nullptr, nullptr);
    if (!tiff_)
        fail("cannot start the TIFF file");

    const uint16_t extra[] = {EXTRASAMPLE_UNASSALPHA};
    // A strip is one compressed piece, of the same size as a PNG's.
    rowBytes_ = 4 * static_cast<size_t>(width);
    rowsPerStrip_ = PngWriter::pieceRows(width);
    height_ = height;
    const bool ok =
        TIFFSetField(tiff_, TIFFTAG_IMAGEWIDTH, static_cast<uint32_t>(width)) &&
        TIFFSetField(tiff_, TIFFTAG_IMAGELENGTH, static_cast<uint32_t>(height)) &&
        TIFFSetField(tiff_, TIFFTAG_BITSPERSAMPLE, 8) &&
        TIFFSetField(tiff_, TIFFTAG_SAMPLESPERPIXEL, 4) &&
        TIFFSetField(tiff_, TIFFTAG_EXTRASAMPLES, 1, extra) &&
        TIFFSetField(tiff_, TIFFTAG_PHOTOMETRIC, PHOTOMETRIC_RGB) &&
        TIFFSetField(tiff_, TIFFTAG_PLANARCONFIG, PLANARCONFIG_CONTIG) &&
        TIFFSetField(tiff_, TIFFTAG_ORIENTATION, ORIENTATION_TOPLEFT) &&
        TIFFSetField(tiff_, TIFFTAG_COMPRESSION, COMPRESSION_ADOBE_DEFLATE) &&
        TIFFSetField(tiff_, TIFFTAG_PREDICTOR, PREDICTOR_HORIZONTAL) &&
        TIFFSetField(tiff_, TIFFTAG_ROWSPERSTRIP, static_cast<uint32_t>(rowsPerStrip_)) &&
        TIFFSetField(tiff_, TIFFTAG_XRESOLUTION, 300.0f) &&
        TIFFSetField(tiff_, TIFFTAG_YRESOLUTION, 300.0f) &&
        TIFFSetField(tiff_, TIFFTAG_RESOLUTIONUNIT, RESUNIT_INCH) &&
        TIFFSetField(tiff_, TIFFTAG_SOFTWARE, "Lumexa");
    if (!ok)
        fail("cannot set up the TIFF file");
    row_ = 0;
    try {
        pipeline_ = std::make_unique<PiecePipeline>(
            threads_, compression_, [this](Piece& p, SegmentDeflater& d) { compressPiece(p, d); },
            [this](const Piece& p) { writePiece(p); });
    } catch (const std::exception& e) {
        fail(e.what());
    }
}

void TiffWriter::writeRow(const uint8_t* rgbaRow)
{
    if (!pipeline_)
        throw Error("Cannot write file " + path_ + ": the file is not open");
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
        fail(e.what());
    }
}

void TiffWriter::compressPiece(Piece& piece, SegmentDeflater& deflater) const
{
    thread_local std::vector<uint8_t> predicted;
    predicted.resize(piece.input.size());
    for (size_t at = 0; at < piece.input.size(); at += rowBytes_)
        PredictTiffRow(piece.input.data() + at, rowBytes_, predicted.data() + at);
    piece.output.clear();
    deflater.appendZlibStream(predicted.data(), predicted.size(), piece.output);
}

void TiffWriter::writePiece(const Piece& piece)
{
    if (TIFFWriteRawStrip(tiff_, static_cast<uint32_t>(piece.index),
                          const_cast<uint8_t*>(piece.output.data()),
                          static_cast<tmsize_t>(piece.output.size())) < 0)
        throw Error("a write failed");
}

void TiffWriter::commit()
{
    if (!pipeline_)
        throw Error("Cannot write file " + path_ + ": the file is not open");
    try {
        if (row_ != height_)
            throw Error(std::to_string(height_ - row_) + " rows are missing");
        pipeline_->finish();
        pipeline_.reset();
    } catch (const std::exception& e) {
        fail(e.what());
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
    if (!lastTiffError.empty())
        reason += " (" + lastTiffError + ")";
    discard();
    throw Error("Cannot write file " + path_ + ": " + reason);
}

} // namespace lumexa
