// The linear congruential generator and the random tables.
#include "core/layout/random_source.h"

namespace lumexa
{

void RandomGenerator::seed(uint32_t seed)
{
    state_ = seed;
    step();
}

int RandomGenerator::step()
{
    state_ = state_ * 22695477u + 1u;
    return static_cast<int>((state_ >> 16) & 0x7FFFu);
}

void FillRandomTable(RandomTable& table, uint32_t seed, RandomGenerator& gen)
{
    gen.seed(seed);
    for (float& v : table.values)
        v = static_cast<float>((gen.step() % 10000) * 0.0001);
    table.cursor = 0;
}

void ReseedRandomTable(RandomTable& table, std::string_view seedText, RandomGenerator& gen)
{
    FillRandomTable(table, SeedFromText(seedText), gen);
}

uint32_t NewSeed(uint32_t tickCount, RandomGenerator& gen)
{
    gen.seed(tickCount);
    const uint32_t a = static_cast<uint32_t>(gen.step());
    const uint32_t b = static_cast<uint32_t>(gen.step());
    // a and b carry 15 bits each; together 30 bits, folded into eight digits.
    return ((a << 15) | b) % 100000000u;
}

} // namespace lumexa
