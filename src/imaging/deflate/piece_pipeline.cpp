// The pieces form a ring: piece i lives in slot i % slots, and the writing thread hands
// over piece i only after piece i - slots has been written, so the slots never clash.
#include "imaging/deflate/piece_pipeline.h"

#include "core/base/error.h"

#include <algorithm>
#include <exception>
#include <limits>

namespace lumexa
{

namespace
{

// Pieces of about 256 KB: large enough that starting each with an empty history costs
// little in size (deflate looks back 32 KB at most), small enough that the pieces in
// flight take little fresh memory, which a short render pays for page by page. Small
// compression, slow anyway, takes 1 MB pieces, which its deflate packs about 1 % tighter.
// Wide rows go at least four to a piece while that stays within 1 MB, since each piece
// repeats the row above its first one for the Up filter.
constexpr size_t kPieceBytes = size_t{1} << 18;
constexpr size_t kLargePieceBytes = size_t{1} << 20;
constexpr size_t kWidePieceRows = 4;
constexpr size_t kNotDone = std::numeric_limits<size_t>::max();
constexpr int kMostThreads = 8;

} // namespace

int PieceRows(int width, Compression compression)
{
    const size_t rowBytes = 4 * static_cast<size_t>(std::max(width, 1));
    const size_t bytes = compression == Compression::Small ? kLargePieceBytes : kPieceBytes;
    const size_t wide = std::min(kWidePieceRows, kLargePieceBytes / rowBytes);
    return static_cast<int>(std::clamp<size_t>(std::max(bytes / rowBytes, wide), 1, 1 << 20));
}

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
