// The seed field of a project: up to eight digits as the user typed them, and the number
// they stand for.
#pragma once

#include <cstdint>
#include <string_view>

namespace lumexa
{

inline constexpr uint32_t kDefaultSeed = 25071971;

// The seed is the digits of `seedText` in order, or 25071971 when it holds none.
uint32_t SeedFromText(std::string_view seedText);

} // namespace lumexa
