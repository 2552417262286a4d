// PNG result files: RGBA with the coverage byte as alpha and the print resolution. The rows
// are filtered and deflated in pieces on a few threads (PiecePipeline); each piece
// becomes one IDAT chunk, and the chunks together hold one zlib stream whose Adler-32 is
// combined from the pieces' and written in a last small IDAT chunk.
#pragma once

#include "core/base/atomic_file.h"
#include "core/project/compression.h"
#include "core/project/settings.h"
#include "core/render/row_writer.h"

#include <cstdint>
#include <exception>
#include <memory>
#include <string>
#include <vector>

namespace lumexa
{

class PiecePipeline;
struct Piece;
class SegmentDeflater;

class PngWriter : public RowWriter
{
  public:
    // `threads` compressing threads; 0: one per core. `dpi` is recorded as the print
    // resolution; `fileOptions` go to the file's AtomicFile.
    explicit PngWriter(std::string path, Compression compression = Compression::Fast,
                       int threads = 0, double dpi = kDefaultPrintDpi,
                       AtomicFileOptions fileOptions = {});
    ~PngWriter() override;

    RowOrder rowOrder() const override { return RowOrder::TopDown; }
    void open(int width, int height) override;
    void writeRow(const uint8_t* rgbaRow) override;
    void commit() override;
    void discard() override;
    const std::string& path() const override { return path_; }

  private:
    void compressPiece(Piece& piece, SegmentDeflater& deflater) const;
    void writePiece(const Piece& piece);
    [[noreturn]] void fail(const std::string& reason);
    [[noreturn]] void fail(const std::exception& e);

    std::string path_;
    Compression compression_;
    int threads_;
    double dpi_;
    AtomicFileOptions fileOptions_;
    std::unique_ptr<AtomicFile> file_;
    std::unique_ptr<PiecePipeline> pipeline_;
    int height_ = 0;
    size_t rowBytes_ = 0;
    int pieceRows_ = 1;
    int row_ = 0;
    uint32_t adler_ = 1; // of the filtered rows written so far
    // Rows of millions of pixels are filtered as they are written, against this copy of
    // the row before; each piece then holds one filtered row.
    bool filterOnWrite_ = false;
    std::vector<uint8_t> prior_;
};

} // namespace lumexa
