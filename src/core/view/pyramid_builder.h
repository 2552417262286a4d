// Every tile of a result's pyramid, composed straight from the renderer on all cores: the
// engine of the deep zoom export and the pyramidal TIFF. The full-size level is composed
// tile by tile (each tile with its overlap), and each of its tiles also leaves the 2 x 2
// sums of its pixels for the level below; the smaller levels are summed on from those, row
// by row, keeping only the rows their next tiles need. So no level is ever held whole, and
// memory stays bounded whatever the size of the result.
#pragma once

#include "core/base/pixel_rect.h"
#include "core/render/dot_renderer.h"
#include "core/run/run_progress.h"
#include "core/view/pyramid.h"

#include <cstddef>
#include <cstdint>
#include <stop_token>

namespace lumexa
{

// Where the tiles go: a folder of picture files, or a pyramidal TIFF.
class TileSink
{
  public:
    virtual ~TileSink() = default;
    // Told once, before the first tile, how many threads will hand tiles over, so that each
    // can keep an encoder of its own.
    virtual void prepare(int threads) = 0;
    // Stores tile `key`, whose pixels (`rect` within its level) are rect.width x rect.height
    // times red, green, blue, coverage, rows `stride` bytes apart. Called on several threads
    // at once, each with a tile of its own and its number (0 to threads - 1), in no set
    // order. Throws an Error when the tile cannot be stored.
    virtual void writeTile(const TileKey& key, const PixelRect& rect, const uint8_t* rgba,
                           size_t stride, int thread) = 0;
};

// Composes every tile of `pyramid`, a pyramid of the renderer's whole result, and hands it
// to `sink`, on `threads` threads in all (the calling one included; 0: one per core).
// Level 0's tiles hold the full render's bytes; a pixel of level n is the average of the
// 2^n x 2^n full-size pixels it stands for (those within the result), rounded to nearest:
// the bytes that a render reduced 2^n times gives. `progress` counts the tiles' pixels.
// True when every tile was stored; false once `stop` is requested; throws what the sink or
// the renderer threw.
bool BuildPyramid(const DotRenderer& renderer, const Pyramid& pyramid, TileSink& sink,
                  int threads = 0, std::stop_token stop = {}, RunProgress* progress = nullptr);

} // namespace lumexa
