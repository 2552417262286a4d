// What the background cells hold where no lit LED lies: Transparent keeps LED image 0's
// colour with coverage 0, so that the lit LEDs can be laid over another picture; Opaque
// gives those pixels coverage 255, so that every viewer shows the panel of unlit LEDs.
#pragma once

#include <optional>
#include <string_view>

namespace lumexa
{

enum class BackgroundOpacity { Transparent, Opaque };

// "transparent" or "opaque"; nothing for any other name.
inline std::optional<BackgroundOpacity> ParseBackgroundOpacity(std::string_view name)
{
    if (name == "transparent")
        return BackgroundOpacity::Transparent;
    if (name == "opaque")
        return BackgroundOpacity::Opaque;
    return std::nullopt;
}

inline const char* BackgroundOpacityName(BackgroundOpacity o)
{
    return o == BackgroundOpacity::Opaque ? "opaque" : "transparent";
}

} // namespace lumexa
