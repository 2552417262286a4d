// Tile geometry of the zoomable view and the composing of one tile.
#include "core/view/tile_grid.h"

#include "core/view/reduced_view.h"

#include <algorithm>
#include <cmath>

namespace lumexa
{

TileGrid::TileGrid(int width, int height, int tileSize)
    : width_(std::max(width, 0)), height_(std::max(height, 0)), tileSize_(std::max(tileSize, 1))
{
    levels_ = 1;
    // Reductions stop at 2^30 so that factors stay within an int.
    while (levels_ < 31 &&
           (reducedWidth(levels_ - 1) > tileSize_ || reducedHeight(levels_ - 1) > tileSize_))
        ++levels_;
}

int TileGrid::levelFor(double scale) const
{
    if (!(scale < 1.0))
        return 0;
    int level = 0;
    // Floating error must not pick a level one too coarse when 1 / scale is a power of two.
    while (level + 1 < levels_ && factor(level + 1) * scale <= 1.0 + 1e-9)
        ++level;
    return level;
}

int TileGrid::reducedWidth(int level) const
{
    return ReducedLength(width_, factor(level));
}
int TileGrid::reducedHeight(int level) const
{
    return ReducedLength(height_, factor(level));
}
int TileGrid::columns(int level) const
{
    return ReducedLength(reducedWidth(level), tileSize_);
}
int TileGrid::rows(int level) const
{
    return ReducedLength(reducedHeight(level), tileSize_);
}

bool TileGrid::contains(const TileKey& key) const
{
    return key.level >= 0 && key.level < levels_ && key.column >= 0 &&
           key.column < columns(key.level) && key.row >= 0 && key.row < rows(key.level);
}

PixelRect TileGrid::source(const TileKey& key) const
{
    const long long side = static_cast<long long>(tileSize_) * factor(key.level);
    const long long x = key.column * side;
    const long long y = key.row * side;
    const long long w = std::clamp<long long>(width_ - x, 0, side);
    const long long h = std::clamp<long long>(height_ - y, 0, side);
    return {static_cast<int>(std::min<long long>(x, width_)),
            static_cast<int>(std::min<long long>(y, height_)), static_cast<int>(w),
            static_cast<int>(h)};
}

PixelRect TileGrid::reduced(const TileKey& key) const
{
    const PixelRect s = source(key);
    return {key.column * tileSize_, key.row * tileSize_, ReducedLength(s.width, factor(key.level)),
            ReducedLength(s.height, factor(key.level))};
}

std::vector<TileKey> TileGrid::tilesFor(int level, const PixelRect& view) const
{
    std::vector<TileKey> keys;
    if (level < 0 || level >= levels_)
        return keys;
    const PixelRect visible = view.intersected({0, 0, reducedWidth(level), reducedHeight(level)});
    if (visible.empty())
        return keys;
    const int c0 = visible.x / tileSize_;
    const int c1 = (visible.right() - 1) / tileSize_;
    const int r0 = visible.y / tileSize_;
    const int r1 = (visible.bottom() - 1) / tileSize_;
    for (int r = r0; r <= r1; ++r)
        for (int c = c0; c <= c1; ++c)
            keys.push_back({level, c, r});
    // Distances in doubled units keep the centres whole numbers.
    const long long cx = 2LL * view.x + view.width;
    const long long cy = 2LL * view.y + view.height;
    auto distance = [&](const TileKey& k) {
        const long long dx = 2LL * k.column * tileSize_ + tileSize_ - cx;
        const long long dy = 2LL * k.row * tileSize_ + tileSize_ - cy;
        return dx * dx + dy * dy;
    };
    std::stable_sort(keys.begin(), keys.end(),
                     [&](const TileKey& a, const TileKey& b) { return distance(a) < distance(b); });
    return keys;
}

bool RenderTile(const DotRenderer& renderer, const TileGrid& grid, const TileKey& key,
                uint8_t* rgba, size_t stride, std::stop_token stop)
{
    const PixelRect source = grid.source(key);
    if (key.level == 0)
        return renderer.RenderRegion(source, rgba, stride, stop);
    return RenderReduced(renderer, source, TileGrid::factor(key.level), rgba, stride, 1, stop);
}

bool RenderTileDraft(const DotRenderer& renderer, const TileGrid& grid, const TileKey& key,
                     uint8_t* rgba, size_t stride, std::stop_token stop)
{
    return RenderReducedDraft(renderer, grid.source(key), TileGrid::factor(key.level), rgba, stride,
                              stop);
}

} // namespace lumexa
