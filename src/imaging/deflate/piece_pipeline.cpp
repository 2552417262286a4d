// The pieces form the ordered pipeline's ring: piece i lives in slot i % slots, and the
// writing thread fills piece i only after piece i - slots has been written, so the slots
// never clash.
#include "imaging/deflate/piece_pipeline.h"

#include "core/base/error.h"

#include <algorithm>
#include <exception>
#include <thread>

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
constexpr int kMostThreads = 8;
// The pieces in flight take at most this much input between them. Only rows of millions of
// pixels come near it: their pieces are then fewer, down to a single one that the writing
// thread compresses itself.
constexpr size_t kMostInputInFlight = size_t{64} << 20;

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
    : write_(std::move(write))
{
    if (threads <= 0)
        threads = static_cast<int>(std::thread::hardware_concurrency());
    threads = std::clamp(threads, 1, kMostThreads);
    // Two pieces per thread keep every thread busy while finished ones wait their turn.
    const size_t slots = std::clamp<size_t>(kMostInputInFlight / std::max<size_t>(inputBytes, 1), 1,
                                            static_cast<size_t>(2 * threads + 2));
    threads = std::min(threads, static_cast<int>(slots) - 1);
    helps_ = threads == 0;
    for (int i = 0; i < std::max(threads, 1); ++i)
        deflaters_.push_back(std::make_unique<SegmentDeflater>(compression));
    pieces_ = std::make_unique<OrderedPipeline<Piece>>(
        slots, threads, [this, compress = std::move(compress)](Piece& piece, int64_t, int worker) {
            compress(piece, *deflaters_[static_cast<size_t>(worker)]);
        });
    for (size_t i = 0; i < pieces_->slotCount(); ++i)
        pieces_->slot(static_cast<int64_t>(i)).input.reserve(inputBytes);
}

PiecePipeline::~PiecePipeline()
{
    // The compressing threads end before the deflaters they use.
    pieces_.reset();
}

const Piece* PiecePipeline::previous() const
{
    return fillIndex_ == 0 ? nullptr : &pieces_->slot(fillIndex_ - 1);
}

void PiecePipeline::submit()
{
    pieces_->release(++fillIndex_);
    writeReady(false);
    Piece& next = filling();
    next.index = static_cast<int>(fillIndex_);
    next.rows = 0;
    next.input.clear();
    next.output.clear();
}

void PiecePipeline::finish()
{
    if (filling().rows > 0)
        pieces_->release(++fillIndex_);
    writeReady(true);
}

void PiecePipeline::writeReady(bool all)
{
    const auto slots = static_cast<int64_t>(pieces_->slotCount());
    while (writeIndex_ < fillIndex_) {
        // The slot to fill next must be free, so its piece is waited for.
        const bool needed = all || fillIndex_ - writeIndex_ >= slots;
        const Piece* piece =
            needed ? pieces_->waitFor(writeIndex_, helps_) : pieces_->processed(writeIndex_);
        if (!piece)
            return;
        write_(*piece);
        pieces_->consumed(++writeIndex_);
    }
}

} // namespace lumexa
