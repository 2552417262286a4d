// The render to file on a pool of composing threads.
#include "core/render/render_job.h"

#include "core/base/error.h"
#include "core/progress/render_progress.h"
#include "core/run/ordered_pipeline.h"

#include <algorithm>
#include <chrono>
#include <exception>
#include <filesystem>
#include <new>
#include <optional>
#include <thread>
#include <vector>

namespace lumexa
{

namespace
{

using Clock = std::chrono::steady_clock;

constexpr size_t kMostRowBytesInFlight = size_t{64} << 20;

int64_t MillisecondsBetween(Clock::time_point a, Clock::time_point b)
{
    return std::chrono::duration_cast<std::chrono::milliseconds>(b - a).count();
}

// A failed write, with the file named.
Error WriteFailure(const RowWriter& writer)
{
    try {
        throw;
    } catch (const Error& e) {
        return e;
    } catch (const std::exception& e) {
        // What ran out says so; the file is named, as for any failed write.
        if (dynamic_cast<const std::bad_alloc*>(&e) || IsThreadShortage(e))
            return CannotWrite(writer.path(), ErrorFrom(e).what());
        return CannotWrite(writer.path(), e.what());
    } catch (...) {
        return CannotWrite(writer.path(), "the row was not written");
    }
}

} // namespace

RenderJob::RenderJob(RenderJobSetup setup) : setup_(std::move(setup))
{
    threads_ =
        setup_.threads > 0 ? setup_.threads : static_cast<int>(std::thread::hardware_concurrency());
    threads_ = std::max(threads_, 1);
    setup_.rowsPerThread = std::max(setup_.rowsPerThread, 1);
}

bool RenderJob::run(std::stop_token stop, RunProgress* progress)
{
    NullRenderLog nullLog;
    RenderLog& log = setup_.log ? *setup_.log : nullLog;
    RowWriter& writer = *setup_.writer;
    const int width = setup_.width;
    const int height = setup_.height;

    log.add(1);
    try {
        writer.open(width, height);
    } catch (...) {
        const Error failure = WriteFailure(writer);
        writer.discard();
        throw failure;
    }
    // A Targa file's size and header are settled now; a compressed file's size is known
    // only once it is complete, so its picture size is told instead, its file size at the end.
    if (writer.sizeKnownAhead()) {
        log.add(2, FileSizeTail(width, height));
        log.add(3);
    } else {
        log.add(14, SizeTail(width, height));
    }

    const bool bottomUp = writer.rowOrder() == RowOrder::BottomUp;
    const auto rowOf = [&](int64_t index) {
        return static_cast<int>(bottomUp ? height - 1 - index : index);
    };
    const Clock::time_point start = Clock::now();
    if (progress)
        progress->begin(height);
    log.add(4);

    std::optional<Error> failure;
    bool stopped = false;
    {
        // The rows in flight: this thread composes too whenever the row it needs is not
        // ready, so that N threads in all keep N cores busy. Rows of millions of pixels
        // are fewer, so that they hold at most kMostRowBytesInFlight (two at the least).
        const size_t rowBytes = std::max<size_t>(static_cast<size_t>(width) * 4, 1);
        const size_t slots =
            std::clamp<size_t>(kMostRowBytesInFlight / rowBytes, 2,
                               static_cast<size_t>(std::max(2, threads_ * setup_.rowsPerThread)));
        OrderedPipeline<std::vector<uint8_t>> rows(
            slots, threads_ - 1, [&](std::vector<uint8_t>& rgba, int64_t index, int) {
                rgba.resize(static_cast<size_t>(width) * 4);
                setup_.compose(rowOf(index), rgba.data());
            });
        rows.release(height);
        // A stop request wakes this thread if it waits for a row.
        std::stop_callback onStop(stop, [&] { rows.stop(); });

        for (int index = 0; index < height; ++index) {
            if (stop.stop_requested()) {
                stopped = true;
                break;
            }
            // Whatever fails here, the composing threads must be stopped before they are
            // joined, so nothing is let out of the loop.
            try {
                const std::vector<uint8_t>* row = rows.waitFor(index, true);
                if (!row) {
                    stopped = true;
                    break;
                }
                writer.writeRow(row->data());
                if (setup_.observer)
                    setup_.observer(rowOf(index), row->data());
            } catch (...) {
                failure = rows.failure() ? *rows.failure() : WriteFailure(writer);
                break;
            }
            rows.consumed(index + 1);
            if (progress)
                progress->advance(index + 1);
        }
        rows.stop();
    } // the composing threads are joined here

    if (failure) {
        writer.discard();
        throw *failure;
    }
    if (stopped) {
        writer.discard();
        log.add(5);
        return false;
    }
    try {
        writer.commit();
    } catch (...) {
        const Error e = WriteFailure(writer);
        writer.discard();
        throw e;
    }
    if (!writer.sizeKnownAhead()) {
        std::error_code unknown;
        const uintmax_t bytes = std::filesystem::file_size(writer.path(), unknown);
        if (!unknown)
            log.add(2, BytesTail(bytes));
    }
    log.add(6, ElapsedTail(MillisecondsBetween(start, Clock::now())));
    log.add(19);
    return true;
}

} // namespace lumexa
