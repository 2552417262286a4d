// Sample tables against the sampler itself at every position of their square and every angle,
// and the cache's memory budget.
#include "core/render/led_sample_cache.h"

#include "core/render/led_sampling.h"
#include "support/random_scenes.h"

#include <gtest/gtest.h>

#include <thread>

namespace lumexa
{
namespace
{

// The table's answer at (u, v): a sample inside the row's run, none elsewhere in the square.
std::optional<std::array<uint8_t, 4>> lookUp(const LedSampleTable& t, int u, int v)
{
    const size_t row = static_cast<size_t>(v - t.v0);
    if (u < t.runBegin[row] || u >= t.runEnd[row])
        return std::nullopt;
    const uint8_t* e =
        t.entries.data() + t.runAt[row] + static_cast<size_t>(u - t.runBegin[row]) * 4;
    return std::array<uint8_t, 4>{e[0], e[1], e[2], e[3]};
}

TEST(LedSampleTable, HoldsExactlyWhatTheSamplerGivesAtEveryAngle)
{
    std::mt19937 rng(5);
    for (auto [w, h] : {std::pair{1, 1}, {2, 3}, {5, 5}, {16, 16}, {17, 9}, {33, 32}}) {
        const auto led = testing::RandomLedImage(rng, w, h, 1, true);
        for (int angle = 0; angle < 360; ++angle) {
            for (bool withAlpha : {false, true}) {
                if (withAlpha && angle % 7 != 0)
                    continue; // alpha shares the positions; a sample of angles is enough
                const auto table = BuildLedSampleTable(*led, angle, withAlpha);
                ASSERT_TRUE(table);
                for (int v = table->v0; v < table->v0 + table->size; ++v) {
                    for (int u = table->u0; u < table->u0 + table->size; ++u) {
                        const auto s = SampleLedPicture(*led, led->picture, u, v, angle);
                        const auto e = lookUp(*table, u, v);
                        ASSERT_EQ(s.has_value(), e.has_value())
                            << w << " x " << h << " angle " << angle << " at " << u << ", " << v;
                        if (!s)
                            continue;
                        const uint8_t a =
                            withAlpha ? SampleLedPicture(*led, led->alphaPicture, u, v, angle)->blue
                                      : 255;
                        ASSERT_EQ(*e, (std::array<uint8_t, 4>{s->red, s->green, s->blue, a}));
                    }
                }
            }
        }
    }
}

TEST(LedSampleTable, SquareReachesPastEveryBoundingSquare)
{
    // A cell of the picture's size anywhere has its square around the circle through the
    // corners: from trunc(x + w/2 - r) to trunc(x + w/2 + r), r = half the diagonal.
    std::mt19937 rng(6);
    const auto led = testing::RandomLedImage(rng, 64, 48, 1, false);
    const auto table = BuildLedSampleTable(*led, 0, false);
    const auto d = testing::FinishedRecord(100, 100, 64, 48, 1000, 1000, 1, 0);
    EXPECT_TRUE(table->coversColumns(static_cast<long long>(d.left) + 1 - d.x,
                                     static_cast<long long>(d.right) - d.x));
    EXPECT_TRUE(table->coversRow(static_cast<int>(d.top) + 1 - d.y));
    EXPECT_TRUE(table->coversRow(static_cast<int>(d.bottom) - 1 - d.y));
}

TEST(LedSampleCache, KeepsTablesWithinItsBudget)
{
    std::mt19937 rng(8);
    const auto led = testing::RandomLedImage(rng, 16, 16, 0, false);
    const LedSampleCache none({led.get()}, {false}, 0);
    EXPECT_EQ(none.table(0, 10), nullptr);

    const size_t oneTable = BuildLedSampleTable(*led, 10, false)->bytes();
    const LedSampleCache small({led.get()}, {false}, oneTable + oneTable / 2);
    const LedSampleTable* first = small.table(0, 10);
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(small.table(0, 10), first);   // kept, not rebuilt
    EXPECT_EQ(small.table(0, 11), nullptr); // no room left: sampled directly
}

TEST(LedSampleCache, ThreadsAskingAtOnceShareOneTable)
{
    std::mt19937 rng(9);
    const auto led = testing::RandomLedImage(rng, 24, 24, 0, false);
    const LedSampleCache cache({led.get()}, {false}, size_t{64} << 20);
    std::vector<const LedSampleTable*> seen(4 * 360);
    {
        std::vector<std::jthread> threads;
        for (int t = 0; t < 4; ++t)
            threads.emplace_back([&, t] {
                for (int a = 0; a < 360; ++a)
                    seen[static_cast<size_t>(t * 360 + a)] = cache.table(0, a);
            });
    }
    // A thread that asked while another was building got none and sampled directly; every
    // table handed out is the one that stays.
    for (int a = 0; a < 360; ++a) {
        const LedSampleTable* kept = cache.table(0, a);
        ASSERT_NE(kept, nullptr);
        EXPECT_EQ(cache.builtTable(0, a), kept);
        for (int t = 0; t < 4; ++t) {
            const LedSampleTable* s = seen[static_cast<size_t>(t * 360 + a)];
            EXPECT_TRUE(s == nullptr || s == kept) << a;
        }
    }
}

} // namespace
} // namespace lumexa
