// Decimal integer conversion.
#include "core/base/decimal_integer.h"

#include "core/base/error.h"

#include <cstdint>
#include <string>

namespace lumexa
{

std::optional<int> ParseDecimalInteger(std::string_view text)
{
    size_t i = 0;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
        negative = text[i] == '-';
        ++i;
    }
    if (i == text.size())
        return std::nullopt;
    int64_t value = 0;
    for (; i < text.size(); ++i) {
        const char c = text[i];
        if (c < '0' || c > '9')
            return std::nullopt;
        value = value * 10 + (c - '0');
        if (value > int64_t{INT32_MAX} + 1)
            return std::nullopt;
    }
    if (negative)
        value = -value;
    if (value > INT32_MAX)
        return std::nullopt;
    return static_cast<int>(value);
}

int DecimalIntegerOrThrow(std::string_view text)
{
    const std::optional<int> value = ParseDecimalInteger(text);
    if (!value)
        throw InvalidInteger(std::string(text));
    return *value;
}

} // namespace lumexa
