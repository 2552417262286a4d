// The generator, the tables and the draw cycle.
#include "core/layout/random_source.h"

#include <gtest/gtest.h>

namespace lumexa
{
namespace
{

TEST(RandomSource, RawStepsAfterSeeding)
{
    RandomGenerator gen;
    gen.seed(1);
    EXPECT_EQ(gen.step(), 130);
    EXPECT_EQ(gen.step(), 10982);
    EXPECT_EQ(gen.step(), 1090);

    gen.seed(kDefaultSeed);
    for (int expected : {20164, 2854, 17898, 7994, 30307})
        EXPECT_EQ(gen.step(), expected);
}

TEST(RandomSource, TableHoldsFloat32Fractions)
{
    RandomGenerator gen;
    RandomTable table;
    FillRandomTable(table, kDefaultSeed, gen);
    const float expected[] = {0.0164f, 0.2854f, 0.7898f, 0.7994f, 0.0307f};
    for (size_t i = 0; i < 5; ++i)
        EXPECT_EQ(table.values[i], expected[i]) << i;
    EXPECT_EQ(table.cursor, 0);
}

TEST(RandomSource, CycleHas10001DrawsEndingInZero)
{
    RandomGenerator gen;
    RandomTable table;
    FillRandomTable(table, kDefaultSeed, gen);
    for (int i = 0; i < 10000; ++i)
        ASSERT_EQ(DrawRandom(table), table.values[static_cast<size_t>(i)]);
    EXPECT_EQ(DrawRandom(table), 0.0f);            // draw 10001 reads the cursor slot
    EXPECT_EQ(DrawRandom(table), table.values[0]); // and the cycle starts again
    EXPECT_EQ(DrawRandom(table), table.values[1]);
}

TEST(RandomSource, SeedFromFieldText)
{
    struct Case {
        const char* text;
        uint32_t seed;
    } cases[] = {
        {"25071971", 25071971}, {"00000001", 1},   {"________", kDefaultSeed},
        {"", kDefaultSeed},     {"ab12c3__", 123}, {"  ", kDefaultSeed},
    };
    for (const Case& c : cases)
        EXPECT_EQ(SeedFromText(c.text), c.seed) << c.text;
}

TEST(RandomSource, ReseedRestartsTheSequence)
{
    RandomGenerator gen;
    RandomTable a, b;
    ReseedRandomTable(a, "12345", gen);
    DrawRandom(a);
    DrawRandom(a);
    ReseedRandomTable(a, "12345", gen);
    FillRandomTable(b, 12345, gen);
    EXPECT_EQ(a.values, b.values);
    EXPECT_EQ(DrawRandom(a), b.values[0]);
}

TEST(RandomSource, NewSeedHasAtMostEightDigitsAndDependsOnTheTick)
{
    RandomGenerator gen;
    uint32_t previous = NewSeed(0, gen);
    int differing = 0;
    for (uint32_t tick = 1; tick < 2000; tick += 7) {
        const uint32_t seed = NewSeed(tick, gen);
        EXPECT_LE(seed, 99999999u);
        differing += seed != previous;
        previous = seed;
    }
    EXPECT_GT(differing, 250);
}

} // namespace
} // namespace lumexa
