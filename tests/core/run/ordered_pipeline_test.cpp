// The ordered pipeline: items processed on any thread come out in index order, no item is
// processed before the item a ring's length earlier was consumed, items released one by one
// wait for their release, and a failure or a stop reaches the consumer without a hang.
#include "core/run/ordered_pipeline.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <stdexcept>
#include <thread>
#include <vector>

namespace lumexa
{
namespace
{

struct Item {
    int64_t index = -1;
    int worker = -1;
};

TEST(OrderedPipeline, ItemsComeOutInOrderWithAnyNumberOfWorkers)
{
    for (int workers : {0, 1, 3}) {
        for (bool help : {true, false}) {
            if (workers == 0 && !help)
                continue; // nobody would process
            const int64_t count = 500;
            std::atomic<int64_t> consumedSoFar{0};
            std::atomic<bool> aheadOfRing{false};
            OrderedPipeline<Item> pipeline(4, workers, [&](Item& item, int64_t index, int worker) {
                if (index >= consumedSoFar.load() + 4)
                    aheadOfRing = true;
                // Uneven work, so that later items often finish first.
                if (index % 7 == 0)
                    std::this_thread::sleep_for(std::chrono::microseconds(50));
                item.index = index;
                item.worker = worker;
            });
            pipeline.release(count);
            for (int64_t i = 0; i < count; ++i) {
                const Item* item = pipeline.waitFor(i, help);
                ASSERT_NE(item, nullptr);
                ASSERT_EQ(item->index, i) << workers << " workers";
                EXPECT_TRUE(item->worker >= 0 && item->worker <= workers);
                consumedSoFar = i + 1;
                pipeline.consumed(i + 1);
            }
            EXPECT_FALSE(aheadOfRing) << workers << " workers";
        }
    }
}

TEST(OrderedPipeline, ReleasedItemsOnly)
{
    OrderedPipeline<Item> pipeline(8, 2,
                                   [](Item& item, int64_t index, int) { item.index = index; });
    pipeline.release(1);
    ASSERT_NE(pipeline.waitFor(0, false), nullptr);
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
    EXPECT_EQ(pipeline.processed(1), nullptr); // not released, so not processed
    pipeline.release(2);
    ASSERT_NE(pipeline.waitFor(1, false), nullptr);
    EXPECT_EQ(pipeline.processed(1)->index, 1);
}

TEST(OrderedPipeline, AFailureReachesTheConsumerAndTheFirstOneIsKept)
{
    for (int workers : {0, 2}) {
        OrderedPipeline<Item> pipeline(4, workers, [](Item&, int64_t index, int) {
            if (index == 5)
                throw Error("item 5 broke");
            if (index == 6)
                throw std::runtime_error("item 6 broke");
        });
        pipeline.release(100);
        std::string message;
        try {
            for (int64_t i = 0; i < 100; ++i) {
                ASSERT_NE(pipeline.waitFor(i, true), nullptr);
                pipeline.consumed(i + 1);
            }
        } catch (const Error& e) {
            message = e.what();
        }
        // Item 6 cannot start before item 5 has ended, which stops the pipeline.
        EXPECT_EQ(message, "item 5 broke") << workers << " workers";
        ASSERT_TRUE(pipeline.failure().has_value());
    }
}

TEST(OrderedPipeline, StopEndsTheWaitWithoutAnItem)
{
    OrderedPipeline<Item> pipeline(2, 1, [&](Item&, int64_t index, int) {
        if (index == 0)
            throw Stopped(); // a worker that honoured a stop request
    });
    pipeline.release(10);
    EXPECT_EQ(pipeline.waitFor(0, false), nullptr);
    EXPECT_FALSE(pipeline.failure().has_value());

    OrderedPipeline<Item> waiting(2, 0, [](Item&, int64_t, int) {});
    std::thread stopper([&] {
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
        waiting.stop();
    });
    // Nothing is released, so only the stop ends this wait.
    EXPECT_EQ(waiting.waitFor(0, false), nullptr);
    stopper.join();
}

} // namespace
} // namespace lumexa
