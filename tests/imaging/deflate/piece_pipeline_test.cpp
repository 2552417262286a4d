// The piece pipeline through its public face, as the PNG and TIFF writers use it: pieces
// reach the file in order whatever order they are compressed in, each with its own bytes
// however the slots are reused; pieces too large for two to be in flight are compressed by
// the writing thread itself; an error on either side reaches the caller; and a pipeline
// dropped part-way stops without hanging.
#include "imaging/deflate/piece_pipeline.h"

#include "core/base/error.h"

#include <gtest/gtest.h>

#include <condition_variable>
#include <mutex>
#include <optional>
#include <set>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

namespace lumexa
{
namespace
{

// A piece's input: its index spelt out, so that a piece that took another's bytes shows.
std::vector<uint8_t> InputOf(int index)
{
    const std::string text = "piece " + std::to_string(index);
    return {text.begin(), text.end()};
}

// The "compression": the input reversed, so that the output depends on the piece's input.
std::vector<uint8_t> OutputOf(const std::vector<uint8_t>& input)
{
    return {input.rbegin(), input.rend()};
}

// Fills and hands over `count` pieces, one row each, then finishes.
void Feed(PiecePipeline& pipeline, int count)
{
    for (int i = 0; i < count; ++i) {
        Piece& piece = pipeline.filling();
        piece.firstRow = i;
        piece.rows = 1;
        piece.input = InputOf(i);
        pipeline.submit();
    }
    pipeline.finish();
}

// Holds every even piece back until the piece after it is compressed, so that pieces
// finish out of order; with two or more threads the piece after is always taken.
class OddFirst
{
  public:
    void compress(Piece& piece)
    {
        std::unique_lock lock(mutex_);
        if (piece.index % 2 == 0)
            wake_.wait(lock, [&] { return done_.count(piece.index + 1) > 0; });
        piece.output = OutputOf(piece.input);
        done_.insert(piece.index);
        wake_.notify_all();
    }

  private:
    std::mutex mutex_;
    std::condition_variable wake_;
    std::set<int> done_;
};

TEST(PiecePipeline, PiecesAreWrittenInOrderWhateverOrderTheyAreCompressedIn)
{
    // Many more pieces than slots, so that every slot is filled again and again.
    constexpr int kPieces = 100; // even: the last piece is odd and waits for none
    for (int threads : {2, 3, 8}) {
        SCOPED_TRACE(threads);
        OddFirst compressor;
        std::vector<int> written;
        std::vector<std::vector<uint8_t>> outputs;
        std::vector<int> firstRows;
        {
            PiecePipeline pipeline(
                threads, Compression::Fast, 64,
                [&](Piece& piece, SegmentDeflater&) { compressor.compress(piece); },
                [&](const Piece& piece) {
                    written.push_back(piece.index);
                    outputs.push_back(piece.output);
                    firstRows.push_back(piece.firstRow);
                });
            Feed(pipeline, kPieces);
        }
        ASSERT_EQ(written.size(), size_t{kPieces});
        for (int i = 0; i < kPieces; ++i) {
            EXPECT_EQ(written[i], i);
            EXPECT_EQ(firstRows[i], i);
            EXPECT_EQ(outputs[i], OutputOf(InputOf(i))) << "piece " << i;
        }
    }
}

TEST(PiecePipeline, PiecesTooLargeForTwoInFlightAreCompressedByTheWritingThread)
{
    // 40 MB a piece: only one fits in the input allowed in flight, so no thread is started
    // and the pieces are still written, in order, each with its own bytes.
    const std::thread::id writingThread = std::this_thread::get_id();
    std::vector<int> written;
    std::vector<std::vector<uint8_t>> outputs;
    bool compressedElsewhere = false;
    {
        PiecePipeline pipeline(
            4, Compression::Fast, size_t{40} << 20,
            [&](Piece& piece, SegmentDeflater&) {
                compressedElsewhere |= std::this_thread::get_id() != writingThread;
                piece.output = OutputOf(piece.input);
            },
            [&](const Piece& piece) {
                written.push_back(piece.index);
                outputs.push_back(piece.output);
            });
        Feed(pipeline, 5);
    }
    EXPECT_FALSE(compressedElsewhere);
    ASSERT_EQ(written.size(), size_t{5});
    for (int i = 0; i < 5; ++i) {
        EXPECT_EQ(written[i], i);
        EXPECT_EQ(outputs[i], OutputOf(InputOf(i))) << "piece " << i;
    }
}

TEST(PiecePipeline, AnErrorOnEitherSideReachesTheCaller)
{
    constexpr int kFailing = 7;
    struct Case {
        const char* what;
        bool compressFails;
    };
    for (const Case c : {Case{"compressing", true}, Case{"writing", false}}) {
        SCOPED_TRACE(c.what);
        std::vector<int> written;
        std::optional<std::string> caught;
        {
            PiecePipeline pipeline(
                2, Compression::Fast, 64,
                [&](Piece& piece, SegmentDeflater&) {
                    if (c.compressFails && piece.index == kFailing)
                        throw CannotWrite("out.png", "No space left on device");
                    piece.output = OutputOf(piece.input);
                },
                [&](const Piece& piece) {
                    if (!c.compressFails && piece.index == kFailing)
                        throw CannotWrite("out.png", "No space left on device");
                    written.push_back(piece.index);
                });
            try {
                Feed(pipeline, 50);
            } catch (const Error& e) {
                caught = e.what();
            }
        }
        ASSERT_TRUE(caught) << "no error reached the caller";
        EXPECT_EQ(*caught, "Cannot write file out.png: No space left on device");
        // Nothing from the failing piece on reaches the file.
        ASSERT_LE(written.size(), size_t{kFailing});
        for (size_t i = 0; i < written.size(); ++i)
            EXPECT_EQ(written[i], static_cast<int>(i));
    }
}

TEST(PiecePipeline, DroppedPartWayItStopsWithoutHanging)
{
    for (int handedOver : {0, 1, 5, 40}) {
        SCOPED_TRACE(handedOver);
        std::vector<int> written;
        {
            PiecePipeline pipeline(
                3, Compression::Small, 64,
                [](Piece& piece, SegmentDeflater&) { piece.output = OutputOf(piece.input); },
                [&](const Piece& piece) { written.push_back(piece.index); });
            for (int i = 0; i < handedOver; ++i) {
                Piece& piece = pipeline.filling();
                piece.rows = 1;
                piece.input = InputOf(i);
                pipeline.submit();
            }
            // A render cancelled here: no finish().
        }
        // Whatever was written before the drop is a start of the file, in order.
        for (size_t i = 0; i < written.size(); ++i)
            EXPECT_EQ(written[i], static_cast<int>(i));
    }
}

} // namespace
} // namespace lumexa
