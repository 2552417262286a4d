// The tiles of a zoomable view of the result. Level n shows the result reduced 2^n times by
// area averaging (level 0 is full size); each level is cut into square tiles of `tileSize`
// reduced pixels, so a tile of level n covers tileSize x 2^n full-size pixels a side (less
// at the right and bottom edges of the result). A tile's pixels are those of the whole
// result reduced at its level, cut out: tiles join without seams.
#pragma once

#include "core/base/pixel_rect.h"
#include "core/render/dot_renderer.h"

#include <cstddef>
#include <cstdint>
#include <functional>
#include <stop_token>
#include <vector>

namespace lumexa
{

inline constexpr int kDefaultTileSize = 256;

struct TileKey {
    int level = 0;
    int column = 0;
    int row = 0;

    bool operator==(const TileKey&) const = default;
};

struct TileKeyHash {
    size_t operator()(const TileKey& k) const
    {
        return std::hash<long long>()((static_cast<long long>(k.level) << 56) ^
                                      (static_cast<long long>(k.column) << 28) ^ k.row);
    }
};

class TileGrid
{
  public:
    TileGrid() = default;
    TileGrid(int width, int height, int tileSize = kDefaultTileSize);

    int width() const { return width_; }
    int height() const { return height_; }
    int tileSize() const { return tileSize_; }

    // The reduction of a level: 2^level.
    static int factor(int level) { return 1 << level; }
    // Levels 0..levels()-1; the last one shows the whole result within one tile.
    int levels() const { return levels_; }
    // The coarsest level whose reduction is at most 1 / scale, for drawing the result at
    // `scale` screen pixels per full-size pixel (level 0 from scale 1 up): tiles are only
    // ever drawn smaller or pixel for pixel, never blown up from a coarser level.
    int levelFor(double scale) const;

    // The size of the whole result reduced at `level`.
    int reducedWidth(int level) const;
    int reducedHeight(int level) const;
    int columns(int level) const;
    int rows(int level) const;
    bool contains(const TileKey& key) const;

    // The full-size pixels a tile averages, clipped to the result.
    PixelRect source(const TileKey& key) const;
    // The tile's place and size in the reduced pixels of its level.
    PixelRect reduced(const TileKey& key) const;

    // The tiles of `level` that meet `view` (in reduced pixels of that level), those nearest
    // the view's centre first.
    std::vector<TileKey> tilesFor(int level, const PixelRect& view) const;

  private:
    int width_ = 0;
    int height_ = 0;
    int tileSize_ = kDefaultTileSize;
    int levels_ = 1;
};

// Fills the tile's reduced(key).width x reduced(key).height pixels (red, green, blue,
// coverage; rows `stride` bytes apart) on the calling thread. Returns false, with the pixels
// incomplete, once `stop` is requested.
bool RenderTile(const DotRenderer& renderer, const TileGrid& grid, const TileKey& key,
                uint8_t* rgba, size_t stride, std::stop_token stop = {});

// From this level on (16 times reduced) a tile is worth a draft: RenderReducedDraft's quick
// stand-in, about 1/8 of the exact tile's work there and less at coarser levels.
inline constexpr int kFirstDraftLevel = 4;

// Fills the tile's pixels with its draft, as RenderTile does.
bool RenderTileDraft(const DotRenderer& renderer, const TileGrid& grid, const TileKey& key,
                     uint8_t* rgba, size_t stride, std::stop_token stop = {});

} // namespace lumexa
