// Whole-value decimal integer conversion for the program's text files: an optional
// sign and decimal digits, nothing else, within 32 bits.
#pragma once

#include <optional>
#include <string_view>

namespace lumexa
{

std::optional<int> ParseDecimalInteger(std::string_view text);
// As ParseDecimalInteger; throws "'%s' is not a valid integer value" naming `text`.
int DecimalIntegerOrThrow(std::string_view text);

} // namespace lumexa
