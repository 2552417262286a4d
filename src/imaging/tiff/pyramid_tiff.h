// Pyramidal TIFF files: the result and its reductions by 2, 4, 8... as a chain of tiled
// images (the reduced ones marked as such), the form desktop viewers and print workflows
// open at any zoom at once. The tiles are encoded on the threads that compose them and
// written where the file has room as they come, in any order; the image directories, which
// say where each tile is, follow them at the end. The file is BigTIFF only when it has to
// be (past 4 GB). Deflated tiles keep the coverage as unassociated alpha, with the
// horizontal predictor; JPEG tiles are YCbCr 4:2:0 without alpha.
#pragma once

#include "core/base/atomic_file.h"
#include "core/project/compression.h"
#include "core/project/tile_format.h"
#include "core/view/pyramid.h"
#include "core/view/pyramid_builder.h"

#include <atomic>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace lumexa
{

class JpegEncoder;
class SegmentDeflater;

class PyramidTiff : public TileSink
{
  public:
    // Starts the file at `path` (a temporary one until commit) for the tiles of `pyramid`,
    // which must have no overlap. `dpi` is the full-size level's print resolution; each
    // smaller level records its share of it, so that every level prints at the same size.
    PyramidTiff(std::string path, const Pyramid& pyramid, TileFormat format, int quality,
                Compression compression, int dpi);
    ~PyramidTiff() override;

    void prepare(int threads) override;
    void writeTile(const TileKey& key, const PixelRect& rect, const uint8_t* rgba, size_t stride,
                   int thread) override;

    // Writes the directories and puts the file in place; throws an Error naming the file.
    void commit();
    // Drops the unfinished file; any earlier file of that name stays.
    void discard();

    // The size from which the file is written as BigTIFF: 4 GB, where the offsets of a
    // classic TIFF end. Tests lower it to see BigTIFF's directories on a small file.
    void setBigTiffFrom(uint64_t bytes) { bigFrom_ = bytes; }

  private:
    struct Encoder;
    std::vector<uint8_t> directories(bool big, uint64_t at) const;

    std::string path_;
    const Pyramid& pyramid_;
    TileFormat format_;
    int quality_;
    Compression compression_;
    int dpi_;
    AtomicFile file_;
    std::vector<std::unique_ptr<Encoder>> encoders_;
    // Where the next tile goes.
    std::atomic<uint64_t> end_;
    uint64_t bigFrom_ = uint64_t{1} << 32;
    // Per level, per tile in row order: where it is in the file and its length.
    std::vector<std::vector<uint64_t>> offsets_;
    std::vector<std::vector<uint64_t>> lengths_;
};

} // namespace lumexa
