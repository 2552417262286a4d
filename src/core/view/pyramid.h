// The geometry of a tile pyramid of the result: the levels, each half the size of the one
// above (rounded up), and the tiles each level is cut into. Level 0 is the full-size result
// and level n the result reduced 2^n times; a deep zoom viewer numbers the same levels the
// other way round, from its 1 x 1 level up. A tile's core is its share of the level's
// square grid; the tile itself reaches `overlap` pixels past the core into each neighbour,
// so that a viewer can draw tiles side by side without seams, and is clipped to the level.
#pragma once

#include "core/base/pixel_rect.h"
#include "core/view/tile_grid.h"

#include <cstdint>

namespace lumexa
{

// Deep zoom's usual tiles: 254 pixels and one of overlap, 256 with both overlaps.
inline constexpr int kDeepZoomTileSize = 254;
inline constexpr int kDeepZoomOverlap = 1;
// Pyramidal TIFF tiles: square, a multiple of 16, no overlap.
inline constexpr int kPyramidTiffTileSize = 256;

class Pyramid
{
  public:
    // The levels a deep zoom viewer expects: from full size down to 1 x 1, that is
    // ceil(log2(max(width, height))) + 1 of them. Throws an Error for an empty result, or a
    // tile size that is not even (a tile's core must halve into whole pixels) or an overlap
    // that is negative or not smaller than the tile.
    static Pyramid DeepZoom(int width, int height, int tileSize = kDeepZoomTileSize,
                            int overlap = kDeepZoomOverlap);
    // The levels of a pyramidal TIFF: from full size down to the first that fits in one tile.
    static Pyramid Tiled(int width, int height, int tileSize = kPyramidTiffTileSize);

    int width() const { return width_; }
    int height() const { return height_; }
    int tileSize() const { return tileSize_; }
    int overlap() const { return overlap_; }
    int levels() const { return levels_; }
    // The number a deep zoom viewer gives `level`: 0 for the smallest level.
    int deepZoomLevel(int level) const { return levels_ - 1 - level; }

    // The result reduced 2^level times: ceil(width / 2^level) x ceil(height / 2^level).
    int levelWidth(int level) const;
    int levelHeight(int level) const;
    int columns(int level) const;
    int rows(int level) const;

    // The tile's share of the level's grid, clipped to the level.
    PixelRect core(const TileKey& key) const;
    // The core with the overlap around it, clipped to the level: the tile's pixels.
    PixelRect tile(const TileKey& key) const;

    // All tiles of all levels, and the pixels they hold together (overlaps counted in each
    // tile), for the progress of a run that writes them.
    int64_t tileCount() const;
    int64_t tilePixels() const;

  private:
    Pyramid(int width, int height, int tileSize, int overlap);

    int width_ = 0;
    int height_ = 0;
    int tileSize_ = 0;
    int overlap_ = 0;
    int levels_ = 1;
};

} // namespace lumexa
