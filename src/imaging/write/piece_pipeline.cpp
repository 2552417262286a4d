// The pieces form a ring: piece i lives in slot i % slots, and the writing thread hands
// over piece i only after piece i - slots has been written, so the slots never clash.
#include "imaging/write/piece_pipeline.h"

#include "core/base/error.h"

#include <algorithm>
#include <exception>
#include <limits>

namespace lumexa
{

namespace
{

constexpr size_t kNotDone = std::numeric_limits<size_t>::max();
constexpr int kMostThreads = 8;

} // namespace

PiecePipeline::PiecePipeline(int threads, Compression compression, size_t inputBytes,
                             Compress compress, Write write)
    : compress_(std::move(compress)), write_(std::move(write))
{
    if (threads <= 0)
        threads = static_cast<int>(std::thread::hardware_concurrency());
    threads = std::clamp(threads, 1, kMostThreads);
    // Two pieces per thread keep every thread busy while finished ones wait their turn.
    pieces_.resize(static_cast<size_t>(2 * threads + 2));
    for (Piece& piece : pieces_)
        piece.input.reserve(inputBytes);
    done_.assign(pieces_.size(), kNotDone);
    threads_.reserve(static_cast<size_t>(threads));
    for (int i = 0; i < threads; ++i)
        threads_.emplace_back([this, compression] {
            try {
                SegmentDeflater deflater(compression);
                work(deflater);
            } catch (const std::exception& e) {
                std::lock_guard lock(mutex_);
                if (failure_.empty())
                    failure_ = e.what();
                writerWake_.notify_one();
            }
        });
}

PiecePipeline::~PiecePipeline()
{
    {
        std::lock_guard lock(mutex_);
        stop_ = true;
    }
    workWake_.notify_all();
    threads_.clear();
}

const Piece* PiecePipeline::previous() const
{
    return fillIndex_ == 0 ? nullptr : &pieces_[(fillIndex_ - 1) % pieces_.size()];
}

void PiecePipeline::submit()
{
    {
        std::lock_guard lock(mutex_);
        ++fillIndex_;
    }
    workWake_.notify_one();
    writeReady(false);
    Piece& next = filling();
    next.index = static_cast<int>(fillIndex_);
    next.rows = 0;
    next.input.clear();
    next.output.clear();
}

void PiecePipeline::finish()
{
    if (filling().rows > 0) {
        {
            std::lock_guard lock(mutex_);
            ++fillIndex_;
        }
        workWake_.notify_one();
    }
    writeReady(true);
}

void PiecePipeline::work(SegmentDeflater& deflater)
{
    std::unique_lock lock(mutex_);
    for (;;) {
        workWake_.wait(lock, [&] { return stop_ || compressIndex_ < fillIndex_; });
        if (stop_)
            return;
        const size_t index = compressIndex_++;
        Piece& piece = pieces_[index % pieces_.size()];
        lock.unlock();
        std::string error;
        try {
            compress_(piece, deflater);
        } catch (const std::exception& e) {
            error = e.what();
        }
        lock.lock();
        if (!error.empty() && failure_.empty())
            failure_ = error;
        done_[index % pieces_.size()] = index;
        writerWake_.notify_one();
    }
}

void PiecePipeline::writeReady(bool all)
{
    const size_t slots = pieces_.size();
    std::unique_lock lock(mutex_);
    for (;;) {
        if (!failure_.empty())
            throw Error(failure_);
        if (writeIndex_ == fillIndex_)
            return;
        if (done_[writeIndex_ % slots] == writeIndex_) {
            const Piece& piece = pieces_[writeIndex_ % slots];
            lock.unlock();
            write_(piece);
            lock.lock();
            ++writeIndex_;
            continue;
        }
        // The slot to fill next still holds a piece that is not written.
        if (!all && fillIndex_ - writeIndex_ < slots)
            return;
        writerWake_.wait(lock);
    }
}

} // namespace lumexa
