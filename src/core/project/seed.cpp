// The seed field's number.
#include "core/project/seed.h"

namespace lumexa
{

uint32_t SeedFromText(std::string_view seedText)
{
    bool anyDigit = false;
    uint32_t seed = 0;
    for (char c : seedText) {
        if (c < '0' || c > '9')
            continue;
        anyDigit = true;
        seed = seed * 10u + static_cast<uint32_t>(c - '0');
    }
    return anyDigit ? seed : kDefaultSeed;
}

} // namespace lumexa
