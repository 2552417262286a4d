// How the tiles of a deep zoom export or a pyramidal TIFF are stored: lossless with the
// coverage as alpha (PNG files, or deflated TIFF tiles), or as JPEG, smaller and opaque.
#pragma once

#include <optional>
#include <string_view>

namespace lumexa
{

enum class TileFormat { Png, Jpeg };

// JPEG quality when none is asked for: the LEDs' edges stay clean at a fraction of the size.
inline constexpr int kDefaultJpegQuality = 85;

// "png" (also "deflate", as a TIFF calls it) or "jpeg" (also "jpg"); nothing for any other
// name.
inline std::optional<TileFormat> ParseTileFormat(std::string_view name)
{
    if (name == "png" || name == "deflate")
        return TileFormat::Png;
    if (name == "jpeg" || name == "jpg")
        return TileFormat::Jpeg;
    return std::nullopt;
}

} // namespace lumexa
