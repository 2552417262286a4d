// The tile files of a deep zoom export: FOLDER/LEVEL/COLUMN_ROW.png (or .jpeg), levels
// numbered as deep zoom viewers number them, from 0 for the 1 x 1 level. Tiles are encoded
// and written on the threads that compose them, each into a file of its own.
#pragma once

#include "core/project/compression.h"
#include "core/project/tile_format.h"
#include "core/view/pyramid.h"
#include "core/view/pyramid_builder.h"
#include "imaging/jpeg/jpeg_encoder.h"
#include "imaging/png/png_encoder.h"

#include <memory>
#include <string>
#include <vector>

namespace lumexa
{

// "png" or "jpeg": the tiles' extension and the format the descriptor names.
const char* TileExtension(TileFormat format);

class DeepZoomTiles : public TileSink
{
  public:
    // Tiles of `pyramid` into `folder`, which must exist. PNG tiles are deflated as
    // `compression` says; JPEG tiles have `quality`.
    DeepZoomTiles(std::string folder, const Pyramid& pyramid, TileFormat format, int quality,
                  Compression compression);

    // Makes the level folders and an encoder for each thread.
    void prepare(int threads) override;
    void writeTile(const TileKey& key, const PixelRect& rect, const uint8_t* rgba, size_t stride,
                   int thread) override;

    // The file of a tile.
    std::string tilePath(const TileKey& key) const;

  private:
    struct Encoder {
        std::unique_ptr<PngEncoder> png;
        std::unique_ptr<JpegEncoder> jpeg;
    };

    std::string folder_;
    const Pyramid& pyramid_;
    TileFormat format_;
    int quality_;
    Compression compression_;
    std::vector<Encoder> encoders_;
};

// Writes `size` bytes as the whole of a new file at `path` (replacing one of that name).
// Throws "Cannot write file PATH: reason".
void WriteWholeFile(const std::string& path, const uint8_t* data, size_t size);

} // namespace lumexa
