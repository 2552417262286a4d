// PNG writing by hand: the format is a signature and a few checksummed chunks, and
// writing the IDAT chunks ourselves is what lets several threads compress one image.
#include "imaging/png/png_writer.h"

#include "core/base/error.h"
#include "imaging/deflate/deflate_segment.h"
#include "imaging/deflate/piece_pipeline.h"
#include "imaging/deflate/row_filters.h"
#include "imaging/png/png_chunks.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace lumexa
{

namespace
{

// Rows from this size on (two million pixels) are filtered as they are written.
constexpr size_t kFilterOnWriteBytes = size_t{8} << 20;

} // namespace

PngWriter::PngWriter(std::string path, Compression compression, int threads, double dpi,
                     AtomicFileOptions fileOptions)
    : path_(std::move(path)), compression_(compression), threads_(threads), dpi_(dpi),
      fileOptions_(fileOptions)
{
}

PngWriter::~PngWriter()
{
    discard();
}

void PngWriter::open(int width, int height)
{
    if (width < 1 || height < 1)
        throw CannotWrite(path_, "the result of " + std::to_string(width) + " x " +
                                     std::to_string(height) + " pixels is empty");
    discard();
    file_ = std::make_unique<AtomicFile>(path_, fileOptions_);
    height_ = height;
    rowBytes_ = 4 * static_cast<size_t>(width);
    pieceRows_ = PieceRows(width, compression_);
    row_ = 0;
    adler_ = 1;

    std::vector<uint8_t> head(kPngSignature, kPngSignature + sizeof kPngSignature);
    AppendPngHeader(width, height, head);
    const size_t chunk = BeginPngChunk("pHYs", head);
    // PNG counts pixels per metre: 300 dpi is 11811; a whole reduction of a low resolution
    // keeps at least one.
    const auto perMetre = static_cast<uint32_t>(std::max(1L, std::lround(dpi_ / 0.0254)));
    AppendBigEndian(perMetre, head);
    AppendBigEndian(perMetre, head);
    head.push_back(1); // the unit is the metre
    EndPngChunk(chunk, head);
    // A row of millions of pixels is a piece on its own, which would hold the row above it
    // too, for the Up filter: such rows are filtered here, as they come, against a copy of
    // the row before, and the pieces hold them filtered. The filtering is the same.
    filterOnWrite_ = pieceRows_ == 1 && rowBytes_ >= kFilterOnWriteBytes;
    if (filterOnWrite_)
        prior_.assign(rowBytes_, 0);
    try {
        file_->write(head.data(), head.size());
        // A piece holds the row above its first one too, for the Up filter.
        pipeline_ = std::make_unique<PiecePipeline>(
            threads_, compression_,
            filterOnWrite_ ? rowBytes_ + 1 : (static_cast<size_t>(pieceRows_) + 1) * rowBytes_,
            [this](Piece& p, SegmentDeflater& d) { compressPiece(p, d); },
            [this](const Piece& p) { writePiece(p); });
    } catch (const std::exception& e) {
        fail(e);
    }
}

void PngWriter::writeRow(const uint8_t* rgbaRow)
{
    if (!pipeline_)
        throw CannotWrite(path_, "the file is not open");
    try {
        Piece& piece = pipeline_->filling();
        if (filterOnWrite_) {
            piece.firstRow = row_;
            piece.input.resize(rowBytes_ + 1);
            FilterPngRow(prior_.data(), rgbaRow, rowBytes_, piece.input.data());
            std::memcpy(prior_.data(), rgbaRow, rowBytes_);
            piece.rows = 1;
            ++row_;
            pipeline_->submit();
            return;
        }
        if (piece.rows == 0) {
            // The Up filter of the piece's first row needs the row above it.
            piece.firstRow = row_;
            const Piece* before = pipeline_->previous();
            if (before)
                piece.input.assign(before->input.end() - static_cast<ptrdiff_t>(rowBytes_),
                                   before->input.end());
            else
                piece.input.assign(rowBytes_, 0);
        }
        piece.input.insert(piece.input.end(), rgbaRow, rgbaRow + rowBytes_);
        ++piece.rows;
        ++row_;
        if (piece.rows == pieceRows_ || row_ == height_)
            pipeline_->submit();
    } catch (const std::exception& e) {
        fail(e);
    }
}

void PngWriter::compressPiece(Piece& piece, SegmentDeflater& deflater) const
{
    thread_local std::vector<uint8_t> filteredHere;
    const std::vector<uint8_t>& filtered = filterOnWrite_ ? piece.input : filteredHere;
    if (!filterOnWrite_) {
        const size_t stride = rowBytes_ + 1;
        filteredHere.resize(static_cast<size_t>(piece.rows) * stride);
        const uint8_t* prior = piece.input.data();
        for (int r = 0; r < piece.rows; ++r) {
            const uint8_t* row = prior + rowBytes_;
            FilterPngRow(prior, row, rowBytes_,
                         filteredHere.data() + static_cast<size_t>(r) * stride);
            prior = row;
        }
    }
    piece.checksum = Adler32(1, filtered.data(), filtered.size());
    piece.checkedBytes = filtered.size();

    std::vector<uint8_t>& out = piece.output;
    out.clear();
    const size_t chunk = BeginPngChunk("IDAT", out);
    if (piece.index == 0) {
        const auto header = ZlibHeader(compression_);
        out.insert(out.end(), header.begin(), header.end());
    }
    deflater.appendSegment(filtered.data(), filtered.size(), piece.firstRow + piece.rows == height_,
                           out);
    EndPngChunk(chunk, out);
}

void PngWriter::writePiece(const Piece& piece)
{
    file_->write(piece.output.data(), piece.output.size());
    adler_ = piece.index == 0 ? piece.checksum
                              : CombineAdler32(adler_, piece.checksum, piece.checkedBytes);
}

void PngWriter::commit()
{
    if (!pipeline_)
        throw CannotWrite(path_, "the file is not open");
    try {
        if (row_ != height_)
            throw Error(std::to_string(height_ - row_) + " rows are missing");
        pipeline_->finish();
        pipeline_.reset();
        std::vector<uint8_t> tail;
        size_t chunk = BeginPngChunk("IDAT", tail);
        AppendBigEndian(adler_, tail);
        EndPngChunk(chunk, tail);
        chunk = BeginPngChunk("IEND", tail);
        EndPngChunk(chunk, tail);
        file_->write(tail.data(), tail.size());
        file_->commit();
        file_.reset();
    } catch (const std::exception& e) {
        fail(e);
    }
}

void PngWriter::discard()
{
    prior_ = {};
    // The compressing threads use this writer's members, so they stop first.
    pipeline_.reset();
    if (file_)
        file_->discard();
    file_.reset();
}

void PngWriter::fail(const std::string& reason)
{
    discard();
    throw CannotWrite(path_, reason);
}

void PngWriter::fail(const std::exception& e)
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
