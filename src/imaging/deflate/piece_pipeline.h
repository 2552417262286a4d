// Compressing a result file in pieces on a few threads while one thread writes them in
// file order, through the ordered pipeline. The writing thread fills a piece with rows,
// hands it over and goes on with the next; finished pieces are written as soon as every
// piece before them is. A fixed number of pieces exists, so memory stays the same for any
// size of result, and the writing thread waits only when all of them are still being
// compressed.
#pragma once

#include "core/project/compression.h"
#include "core/run/ordered_pipeline.h"
#include "imaging/deflate/deflate_segment.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

namespace lumexa
{

// Rows per compressed piece for rows of `width` pixels (PNG and TIFF alike).
int PieceRows(int width, Compression compression);

struct Piece {
    int index = 0;               // position in the file, counted from 0
    int firstRow = 0;            // the result row the piece starts with
    int rows = 0;                // rows in `input`
    std::vector<uint8_t> input;  // the rows as handed over (and whatever the format adds)
    std::vector<uint8_t> output; // the bytes for the file
    // Where `output` splits into parts the format stores apart (a TIFF's colour planes);
    // empty when it is one part.
    std::vector<size_t> partEnds;
    uint32_t checksum = 0;   // carried from the compressing to the writing side
    size_t checkedBytes = 0; // the number of bytes `checksum` covers
};

class PiecePipeline
{
  public:
    // Turns a piece's input into its output, on a compressing thread.
    using Compress = std::function<void(Piece&, SegmentDeflater&)>;
    // Writes a piece's output, on the writing thread, in file order.
    using Write = std::function<void(const Piece&)>;

    // `threads` compressing threads with their own deflaters; 0: one per core. More than
    // a few gain nothing once the file is written as fast as it is compressed. Pieces of
    // huge rows are fewer, so that their input stays within 64 MB (one at the least, which
    // the writing thread then compresses itself). Each
    // piece's input has room for `inputBytes` from the start: grown row by row, it would
    // be copied and its fresh pages touched again at every doubling.
    PiecePipeline(int threads, Compression compression, size_t inputBytes, Compress compress,
                  Write write);
    // Stops the compressing threads; pieces not yet written are dropped.
    ~PiecePipeline();
    PiecePipeline(const PiecePipeline&) = delete;
    PiecePipeline& operator=(const PiecePipeline&) = delete;

    // The piece being filled on the writing thread.
    Piece& filling() { return pieces_->slot(fillIndex_); }
    // The piece handed over last, whose input is intact until filling() is handed over.
    const Piece* previous() const;
    // Hands the filled piece over, writes the pieces that are ready and makes the next
    // one ready to fill, waiting for a compressing thread if need be. Throws what
    // writing or compressing threw.
    void submit();
    // Hands over the piece being filled if it holds rows, and writes everything.
    void finish();

  private:
    // Writes the compressed pieces in order; with `all`, every piece handed over, else
    // only those ready and, when the slot to fill next still holds one, that one.
    void writeReady(bool all);

    Write write_;
    std::vector<std::unique_ptr<SegmentDeflater>> deflaters_; // one per compressing thread
    std::unique_ptr<OrderedPipeline<Piece>> pieces_;
    int64_t fillIndex_ = 0;  // the piece being filled
    int64_t writeIndex_ = 0; // the next piece to write
    bool helps_ = false;     // no compressing thread: the writing thread compresses
};

} // namespace lumexa
