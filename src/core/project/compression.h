// How hard PNG and TIFF results are compressed: Fast keeps the write about as quick as an
// uncompressed file; Small spends more time for files to archive.
#pragma once

#include <optional>
#include <string_view>

namespace lumexa
{

enum class Compression { Fast, Small };

// "fast" or "small"; nothing for any other name.
inline std::optional<Compression> ParseCompression(std::string_view name)
{
    if (name == "fast")
        return Compression::Fast;
    if (name == "small")
        return Compression::Small;
    return std::nullopt;
}

inline const char* CompressionName(Compression c)
{
    return c == Compression::Small ? "small" : "fast";
}

} // namespace lumexa
