// The render job: rows reach the writer in its order whatever the number of threads,
// only a few rows are in flight, Cancel acts at the next row, the progress counts the rows
// written, and a failing write or composer stops the run with an error and leaves no file.
#include "core/render/render_job.h"

#include "core/base/error.h"
#include "core/run/background_run.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <stdexcept>
#include <stop_token>
#include <string>
#include <thread>
#include <utility>
#include <vector>

namespace lumexa
{
namespace
{

// Keeps the rows in memory; can be told to fail at one row.
class MemoryWriter : public RowWriter
{
  public:
    explicit MemoryWriter(RowOrder order = RowOrder::BottomUp, int failAtRow = -1)
        : order_(order), failAtRow_(failAtRow)
    {
    }
    RowOrder rowOrder() const override { return order_; }
    void open(int width, int height) override
    {
        if (width > 65535 || height > 65535)
            throw Error("too large: " + path_);
        width_ = width;
        opened = true;
    }
    void writeRow(const uint8_t* rgba) override
    {
        if (static_cast<int>(rows.size()) == failAtRow_)
            throw Error("Cannot write file " + path_ + ": No space left on device");
        rows.emplace_back(rgba, rgba + static_cast<size_t>(width_) * 4);
    }
    void commit() override { committed = true; }
    void discard() override { discarded = true; }
    const std::string& path() const override { return path_; }
    bool sizeKnownAhead() const override { return sizeAhead; }

    std::vector<std::vector<uint8_t>> rows;
    bool opened = false, committed = false, discarded = false;
    bool sizeAhead = true; // as a Targa file

  private:
    RowOrder order_;
    int failAtRow_;
    int width_ = 0;
    std::string path_ = "/somewhere/result.tga";
};

class RecordingLog : public RenderLog
{
  public:
    void clear() override { lines.clear(); }
    void add(int number, std::string_view tail) override
    {
        lines.emplace_back(number, std::string(tail));
    }
    std::vector<int> numbers() const
    {
        std::vector<int> n;
        for (const auto& l : lines)
            n.push_back(l.first);
        return n;
    }
    std::vector<std::pair<int, std::string>> lines;
};

uint8_t ValueAt(int x, int y, int channel)
{
    return static_cast<uint8_t>((x * 7 + y * 13 + channel * 31) & 0xFF);
}

void PatternRow(int width, int y, uint8_t* rgba)
{
    for (int x = 0; x < width; ++x)
        for (int c = 0; c < 4; ++c)
            rgba[4 * x + c] = ValueAt(x, y, c);
}

TEST(RenderJobTest, RowsArriveInTheWritersOrderWithAnyNumberOfThreads)
{
    const int w = 17, h = 53;
    for (RowOrder order : {RowOrder::BottomUp, RowOrder::TopDown}) {
        for (int threads : {1, 2, 3, 8}) {
            MemoryWriter writer(order);
            RenderJobSetup setup;
            setup.width = w;
            setup.height = h;
            setup.compose = [&](int y, uint8_t* rgba) { PatternRow(w, y, rgba); };
            setup.writer = &writer;
            setup.threads = threads;
            setup.rowsPerThread = 1;
            RenderJob job(setup);
            RunProgress progress;
            ASSERT_TRUE(job.run({}, &progress));
            EXPECT_TRUE(writer.committed);
            EXPECT_FALSE(writer.discarded);
            ASSERT_EQ(writer.rows.size(), static_cast<size_t>(h));
            for (int i = 0; i < h; ++i) {
                const int y = order == RowOrder::BottomUp ? h - 1 - i : i;
                for (int x = 0; x < w; ++x)
                    ASSERT_EQ(writer.rows[i][4 * x + 3], ValueAt(x, y, 3))
                        << "threads " << threads << " row " << y;
            }
            EXPECT_EQ(progress.done(), h);
            EXPECT_EQ(progress.total(), h);
            EXPECT_EQ(progress.left(), 0);
        }
    }
}

TEST(RenderJobTest, OneThreadComposesAndWritesOnTheCallingThread)
{
    MemoryWriter writer;
    const std::thread::id caller = std::this_thread::get_id();
    bool elsewhere = false;
    RenderJobSetup setup;
    setup.width = 4;
    setup.height = 50;
    setup.compose = [&](int y, uint8_t* rgba) {
        elsewhere = elsewhere || std::this_thread::get_id() != caller;
        PatternRow(4, y, rgba);
    };
    setup.writer = &writer;
    setup.threads = 1;
    RenderJob job(setup);
    ASSERT_TRUE(job.run());
    EXPECT_FALSE(elsewhere);
    EXPECT_EQ(writer.rows.size(), 50u);
}

TEST(RenderJobTest, OnlyAFewRowsPerThreadAreInFlight)
{
    const int w = 4, h = 400, threads = 3, perThread = 2;
    MemoryWriter writer;
    std::atomic<int> highestComposed{-1};
    int widestGap = 0;
    RenderJobSetup setup;
    setup.width = w;
    setup.height = h;
    setup.compose = [&](int y, uint8_t* rgba) {
        const int index = h - 1 - y;
        int seen = highestComposed.load();
        while (index > seen && !highestComposed.compare_exchange_weak(seen, index)) {
        }
        PatternRow(w, y, rgba);
    };
    setup.writer = &writer;
    setup.observer = [&](int, const uint8_t*) {
        const int gap = highestComposed.load() - static_cast<int>(writer.rows.size()) + 1;
        widestGap = std::max(widestGap, gap);
    };
    setup.threads = threads;
    setup.rowsPerThread = perThread;
    RenderJob job(setup);
    ASSERT_TRUE(job.run());
    EXPECT_LE(widestGap, threads * perThread);
}

TEST(RenderJobTest, LogLinesOfARun)
{
    MemoryWriter writer;
    RecordingLog log;
    RenderJobSetup setup;
    setup.width = 300;
    setup.height = 200;
    setup.compose = [](int, uint8_t* rgba) { std::fill_n(rgba, 300 * 4, uint8_t{0}); };
    setup.writer = &writer;
    setup.log = &log;
    RenderJob job(setup);
    ASSERT_TRUE(job.run());
    EXPECT_EQ(log.numbers(), (std::vector<int>{1, 2, 3, 4, 6, 19}));
    EXPECT_EQ(log.lines[1].second, ": 240kb");
    EXPECT_EQ(log.lines[4].second.size(), 6u); // " mm:ss"

    // A compressing writer: the picture's size instead of a file size nobody knows yet (and
    // no file size at the end when there is no file to measure).
    MemoryWriter compressing;
    compressing.sizeAhead = false;
    RecordingLog compressed;
    setup.writer = &compressing;
    setup.log = &compressed;
    RenderJob second(setup);
    ASSERT_TRUE(second.run());
    EXPECT_EQ(compressed.numbers(), (std::vector<int>{1, 14, 4, 6, 19}));
    EXPECT_EQ(compressed.lines[1].second, ": 300 x 200");
}

TEST(RenderJobTest, CancelTakesEffectAtTheNextRowAndKeepsNoFile)
{
    const int w = 8, h = 100;
    for (int threads : {1, 2}) {
        MemoryWriter writer;
        RecordingLog log;
        std::stop_source stop;
        RenderJobSetup setup;
        setup.width = w;
        setup.height = h;
        setup.compose = [&](int y, uint8_t* rgba) { PatternRow(w, y, rgba); };
        setup.writer = &writer;
        setup.log = &log;
        setup.threads = threads;
        // Cancel pressed while the tenth row is handled.
        setup.observer = [&](int, const uint8_t*) {
            if (writer.rows.size() == 10)
                stop.request_stop();
        };
        RenderJob job(setup);
        EXPECT_FALSE(job.run(stop.get_token()));
        EXPECT_EQ(writer.rows.size(), 10u);
        EXPECT_TRUE(writer.discarded);
        EXPECT_FALSE(writer.committed);
        EXPECT_EQ(log.numbers(), (std::vector<int>{1, 2, 3, 4, 5}));
    }
}

TEST(RenderJobTest, CancelBeforeTheFirstRowWritesNoRow)
{
    MemoryWriter writer;
    std::stop_source stop;
    stop.request_stop();
    RenderJobSetup setup;
    setup.width = 4;
    setup.height = 4;
    setup.compose = [](int y, uint8_t* rgba) { PatternRow(4, y, rgba); };
    setup.writer = &writer;
    RenderJob job(setup);
    EXPECT_FALSE(job.run(stop.get_token()));
    EXPECT_TRUE(writer.rows.empty());
    EXPECT_TRUE(writer.discarded);
}

TEST(RenderJobTest, FailuresStopTheRunWithAMessageAndNoFile)
{
    struct Case {
        const char* what;
        int failWriteAt;      // -1: the writer never fails
        int composerFailsAtY; // -1: the composer never fails
        int width;
        std::string message;
    };
    const Case cases[] = {
        {"write fails part-way", 30, -1, 8, "Cannot write file /somewhere/result.tga"},
        {"composer fails", -1, 40, 8, "composer broke"},
        {"size refused on opening", -1, -1, 65536, "too large: /somewhere/result.tga"},
        {"observer fails", -1, -1, 8, "observer broke"},
    };
    for (const Case& c : cases) {
        for (int threads : {1, 2}) {
            MemoryWriter writer(RowOrder::BottomUp, c.failWriteAt);
            RecordingLog log;
            RenderJobSetup setup;
            setup.width = c.width;
            setup.height = 100;
            setup.compose = [&](int y, uint8_t* rgba) {
                if (y == c.composerFailsAtY)
                    throw std::runtime_error("composer broke");
                PatternRow(c.width, y, rgba);
            };
            setup.writer = &writer;
            setup.log = &log;
            setup.threads = threads;
            if (std::string(c.what) == "observer fails")
                setup.observer = [&](int, const uint8_t*) {
                    if (writer.rows.size() == 20)
                        throw std::runtime_error("observer broke");
                };
            RenderJob job(setup);
            std::string error;
            try {
                job.run();
                ADD_FAILURE() << c.what << ": no error";
            } catch (const Error& e) {
                error = e.what();
            }
            EXPECT_NE(error.find(c.message), std::string::npos) << c.what << ": " << error;
            EXPECT_TRUE(writer.discarded) << c.what;
            EXPECT_FALSE(writer.committed) << c.what;
            // Nothing is reported as done that is not.
            const std::vector<int> n = log.numbers();
            EXPECT_EQ(std::count(n.begin(), n.end(), 6), 0) << c.what;
            EXPECT_EQ(std::count(n.begin(), n.end(), 19), 0) << c.what;
        }
    }
}

TEST(RenderJobTest, ProgressPolledFromAnotherThreadOnlyRises)
{
    const int w = 64, h = 300;
    for (RowOrder order : {RowOrder::BottomUp, RowOrder::TopDown}) {
        MemoryWriter writer(order);
        RenderJobSetup setup;
        setup.width = w;
        setup.height = h;
        setup.compose = [&](int y, uint8_t* rgba) { PatternRow(w, y, rgba); };
        setup.writer = &writer;
        setup.threads = 2;
        RenderJob job(setup);
        BackgroundRun run;
        run.start(
            [&](std::stop_token stop, RunProgress& progress) { return job.run(stop, &progress); });
        int64_t last = 0;
        while (!run.ended()) {
            const int64_t done = run.progress().done();
            EXPECT_GE(done, last); // never goes back, up or down the picture
            last = done;
            std::this_thread::yield();
        }
        run.join();
        EXPECT_EQ(run.state(), RunState::Finished);
        EXPECT_EQ(run.progress().done(), h);
    }
}

} // namespace
} // namespace lumexa
