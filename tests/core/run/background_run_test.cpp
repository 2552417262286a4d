// The background run: the outcome of its work (finished, cancelled by returning or by
// Stopped, failed with the Error as it was thrown, out of memory with what to do about it),
// a wait that times out while the work goes on, a run started again after it ended, and a
// destructor that stops the work.
#include "core/run/background_run.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <new>
#include <stdexcept>
#include <string>
#include <thread>

namespace lumexa
{
namespace
{

using namespace std::chrono_literals;

TEST(BackgroundRun, OutcomeOfTheWork)
{
    struct Case {
        const char* what;
        BackgroundRun::Work work;
        RunState state;
        std::string error; // a part of the error's text
        std::string file;  // the file the error is about
    };
    const Case cases[] = {
        {"complete", [](std::stop_token, RunProgress&) { return true; }, RunState::Finished, "",
         ""},
        {"stopped by returning", [](std::stop_token, RunProgress&) { return false; },
         RunState::Cancelled, "", ""},
        {"stopped by Stopped", [](std::stop_token, RunProgress&) -> bool { throw Stopped(); },
         RunState::Cancelled, "", ""},
        {"a structured error",
         [](std::stop_token, RunProgress&) -> bool {
             throw CannotWrite("/out/a.png", "No space left on device");
         },
         RunState::Failed, "No space left on device", "/out/a.png"},
        {"out of memory", [](std::stop_token, RunProgress&) -> bool { throw std::bad_alloc(); },
         RunState::Failed, "fewer threads", ""},
        {"any other exception",
         [](std::stop_token, RunProgress&) -> bool { throw std::runtime_error("broke"); },
         RunState::Failed, "broke", ""},
    };
    for (const Case& c : cases) {
        BackgroundRun run;
        EXPECT_EQ(run.state(), RunState::Idle);
        run.start(c.work);
        run.join();
        EXPECT_TRUE(run.ended()) << c.what;
        EXPECT_EQ(run.state(), c.state) << c.what;
        if (c.state == RunState::Failed) {
            EXPECT_NE(std::string(run.error().what()).find(c.error), std::string::npos)
                << c.what << ": " << run.error().what();
            EXPECT_EQ(run.error().file(), c.file) << c.what;
        }
    }
}

TEST(BackgroundRun, CancelReachesTheWorkWhileAnotherThreadWaits)
{
    BackgroundRun run;
    std::atomic<bool> started{false};
    run.start([&](std::stop_token stop, RunProgress& progress) {
        progress.begin(100);
        started = true;
        while (!stop.stop_requested())
            std::this_thread::yield();
        return false;
    });
    while (!started)
        std::this_thread::yield();
    EXPECT_FALSE(run.waitFor(5ms)); // still working
    EXPECT_TRUE(run.running());
    EXPECT_EQ(run.progress().total(), 100);
    run.cancel();
    EXPECT_TRUE(run.cancelRequested());
    run.join();
    EXPECT_TRUE(run.waitFor(0ms));
    EXPECT_EQ(run.state(), RunState::Cancelled);
}

TEST(BackgroundRun, StartsAgainWithFreshFiguresAndOutcome)
{
    BackgroundRun run;
    run.start([](std::stop_token, RunProgress& p) -> bool {
        p.begin(10);
        p.advance(10);
        throw Error("first run failed");
    });
    run.join();
    ASSERT_EQ(run.state(), RunState::Failed);
    EXPECT_EQ(run.progress().done(), 10);

    run.start([](std::stop_token stop, RunProgress&) { return !stop.stop_requested(); });
    run.join();
    EXPECT_EQ(run.state(), RunState::Finished); // the first run's cancel state is gone too
    EXPECT_EQ(run.progress().total(), 0);
    EXPECT_EQ(std::string(run.error().what()), "");
}

TEST(BackgroundRun, DestructorStopsTheWork)
{
    std::atomic<bool> sawStop{false};
    {
        BackgroundRun run;
        run.start([&](std::stop_token stop, RunProgress&) {
            while (!stop.stop_requested())
                std::this_thread::sleep_for(1ms);
            sawStop = true;
            return false;
        });
    }
    EXPECT_TRUE(sawStop);
}

TEST(RunProgress, CountsOnlyUpAndKeepsToTheTotal)
{
    RunProgress p;
    EXPECT_EQ(p.total(), 0);
    EXPECT_EQ(p.remainingMs(), -1);
    p.begin(50);
    p.advance(20);
    p.advance(10); // a smaller count is ignored
    EXPECT_EQ(p.done(), 20);
    EXPECT_EQ(p.left(), 30);
    p.advance(80);
    EXPECT_EQ(p.done(), 50);
    EXPECT_EQ(p.left(), 0);
    p.setPart(2, 7);
    EXPECT_EQ(p.part(), 2);
    EXPECT_EQ(p.parts(), 7);
    p.begin(5); // a new stage counts from 0
    EXPECT_EQ(p.done(), 0);
    EXPECT_EQ(p.left(), 5);
}

} // namespace
} // namespace lumexa
