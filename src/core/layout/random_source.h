// The random source: one 32-bit linear congruential generator shared by everyone,
// and tables of 10000 precomputed fractions that every layout draws from. Each
// layout rebuilds its tables from the seed field first, so the same seed and
// settings always give the same picture.
#pragma once

#include "core/project/seed.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <string_view>

namespace lumexa
{

class RandomGenerator
{
  public:
    // Sets the state to `seed` and takes one step whose result is discarded.
    void seed(uint32_t seed);
    // One step: a value 0..32767.
    int step();
    uint32_t state() const { return state_; }

  private:
    uint32_t state_ = 0;
};

struct RandomTable {
    std::array<float, 10000> values{};
    // The cursor slot follows the fractions; a draw that reads it returns 0.0, so a
    // cycle has 10001 draws.
    int32_t cursor = 0;
};

// Seeds `gen`, stores (step mod 10000) x 0.0001 in every slot and restarts the cursor.
void FillRandomTable(RandomTable& table, uint32_t seed, RandomGenerator& gen);
void ReseedRandomTable(RandomTable& table, std::string_view seedText, RandomGenerator& gen);
// Inline: the layouts draw once per candidate point, millions of times per recompute.
inline float DrawRandom(RandomTable& table)
{
    const int32_t i = table.cursor;
    if (++table.cursor > 10000)
        table.cursor = 0;
    return i < 10000 ? table.values[static_cast<size_t>(i)] : 0.0f;
}

// A new 8-digit seed for the seed button: the generator is seeded with the tick count
// and two steps a and b are combined without overflow into 0..99999999.
uint32_t NewSeed(uint32_t tickCount, RandomGenerator& gen);

} // namespace lumexa
