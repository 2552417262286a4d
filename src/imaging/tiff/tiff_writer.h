// TIFF result files: RGBA with the coverage byte as unassociated alpha, the print
// resolution, and BigTIFF when the file could pass 4 GB. Each strip is put through the
// horizontal predictor and deflated on its own on a few threads (PiecePipeline), and
// libtiff writes the finished strips in order and records where they are. Fast results
// are interleaved; small ones hold the four samples in separate planes.
#pragma once

#include "core/base/atomic_file.h"
#include "core/project/compression.h"
#include "core/project/settings.h"
#include "core/render/row_writer.h"

#include <exception>
#include <memory>
#include <string>

typedef struct tiff TIFF;

namespace lumexa
{

class PiecePipeline;
struct Piece;
struct TiffHandle;
class SegmentDeflater;

class TiffWriter : public RowWriter
{
  public:
    // `threads` compressing threads; 0: one per core. `dpi` is recorded as the print
    // resolution; `fileOptions` go to the file's AtomicFile.
    explicit TiffWriter(std::string path, Compression compression = Compression::Fast,
                        int threads = 0, double dpi = kDefaultPrintDpi,
                        AtomicFileOptions fileOptions = {});
    ~TiffWriter() override;

    RowOrder rowOrder() const override { return RowOrder::TopDown; }
    void open(int width, int height) override;
    void writeRow(const uint8_t* rgbaRow) override;
    void commit() override;
    void discard() override;
    const std::string& path() const override { return path_; }

    // Whether a result of width x height is written as BigTIFF.
    static bool needsBigTiff(int width, int height);

  private:
    void compressPiece(Piece& piece, SegmentDeflater& deflater) const;
    void writePiece(const Piece& piece);
    [[noreturn]] void fail(const std::string& what);
    [[noreturn]] void fail(const std::exception& e);

    std::string path_;
    Compression compression_;
    int threads_;
    double dpi_;
    AtomicFileOptions fileOptions_;
    std::unique_ptr<AtomicFile> file_;
    std::unique_ptr<TiffHandle> handle_; // what libtiff's callbacks see of this file
    TIFF* tiff_ = nullptr;
    std::unique_ptr<PiecePipeline> pipeline_;
    size_t rowBytes_ = 0;
    int rowsPerStrip_ = 1;
    int planes_ = 1; // 1: interleaved RGBA; 4: a plane per sample
    int stripsPerPlane_ = 1;
    int height_ = 0;
    int row_ = 0;
};

} // namespace lumexa
