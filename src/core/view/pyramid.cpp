// Levels and tiles of a result's pyramid.
#include "core/view/pyramid.h"

#include "core/base/error.h"

#include <algorithm>
#include <string>

namespace lumexa
{

namespace
{

int Reduced(int length, int level)
{
    const long long factor = 1LL << level;
    return static_cast<int>((length + factor - 1) / factor);
}

} // namespace

Pyramid::Pyramid(int width, int height, int tileSize, int overlap)
    : width_(width), height_(height), tileSize_(tileSize), overlap_(overlap)
{
    if (width < 1 || height < 1)
        throw Error("A pyramid of " + std::to_string(width) + " x " + std::to_string(height) +
                    " pixels has no pixels");
    if (tileSize < 2 || tileSize % 2 != 0)
        throw Error("The tile size " + std::to_string(tileSize) + " is not an even number from 2");
    if (overlap < 0 || overlap >= tileSize)
        throw Error("The overlap " + std::to_string(overlap) + " does not suit tiles of " +
                    std::to_string(tileSize) + " pixels");
}

Pyramid Pyramid::DeepZoom(int width, int height, int tileSize, int overlap)
{
    Pyramid p(width, height, tileSize, overlap);
    const int longest = std::max(width, height);
    int steps = 0;
    while ((1LL << steps) < longest)
        ++steps;
    p.levels_ = steps + 1;
    return p;
}

Pyramid Pyramid::Tiled(int width, int height, int tileSize)
{
    Pyramid p(width, height, tileSize, 0);
    p.levels_ = 1;
    while (p.levelWidth(p.levels_ - 1) > tileSize || p.levelHeight(p.levels_ - 1) > tileSize)
        ++p.levels_;
    return p;
}

int Pyramid::levelWidth(int level) const
{
    return Reduced(width_, level);
}

int Pyramid::levelHeight(int level) const
{
    return Reduced(height_, level);
}

int Pyramid::columns(int level) const
{
    return (levelWidth(level) + tileSize_ - 1) / tileSize_;
}

int Pyramid::rows(int level) const
{
    return (levelHeight(level) + tileSize_ - 1) / tileSize_;
}

PixelRect Pyramid::core(const TileKey& key) const
{
    const long long x = static_cast<long long>(key.column) * tileSize_;
    const long long y = static_cast<long long>(key.row) * tileSize_;
    const long long right = std::min<long long>(x + tileSize_, levelWidth(key.level));
    const long long bottom = std::min<long long>(y + tileSize_, levelHeight(key.level));
    return {static_cast<int>(x), static_cast<int>(y), static_cast<int>(right - x),
            static_cast<int>(bottom - y)};
}

PixelRect Pyramid::tile(const TileKey& key) const
{
    const PixelRect c = core(key);
    const int left = std::max(c.x - overlap_, 0);
    const int top = std::max(c.y - overlap_, 0);
    const int right = static_cast<int>(
        std::min<long long>(static_cast<long long>(c.right()) + overlap_, levelWidth(key.level)));
    const int bottom = static_cast<int>(std::min<long long>(
        static_cast<long long>(c.bottom()) + overlap_, levelHeight(key.level)));
    return {left, top, right - left, bottom - top};
}

int64_t Pyramid::tileCount() const
{
    int64_t count = 0;
    for (int level = 0; level < levels_; ++level)
        count += static_cast<int64_t>(columns(level)) * rows(level);
    return count;
}

int64_t Pyramid::tilePixels() const
{
    // The tiles of a column share its width and those of a row its height, so a level's
    // tiles hold the sum of the widths times the sum of the heights.
    int64_t pixels = 0;
    for (int level = 0; level < levels_; ++level) {
        int64_t across = 0;
        for (int c = 0; c < columns(level); ++c)
            across += tile({level, c, 0}).width;
        int64_t down = 0;
        for (int r = 0; r < rows(level); ++r)
            down += tile({level, 0, r}).height;
        pixels += across * down;
    }
    return pixels;
}

} // namespace lumexa
