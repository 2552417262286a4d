// The tiles of a pyramid, level 0 composed tile by tile and the smaller levels summed row
// by row from it.
//
// One ordered pipeline runs every tile as a job. A job of level 0 composes its tile, hands
// it to the sink and writes the 2 x 2 sums of its core into the rows of level 1. Jobs of
// the smaller levels read their pixels from those rows. This thread hands the jobs out and
// takes them back in order: once a row of level-0 tiles is back, its level-1 rows are
// complete, and it sums them on into the rows of level 2, 3 and so on. Each level keeps its
// rows in a ring just large enough for one row of tiles and the rows that come in
// meanwhile; a row of level-0 tiles is handed out only when the rows it will add fit in
// every ring, and a row is let go once the tiles that read it are back.
#include "core/view/pyramid_builder.h"

#include "core/base/error.h"
#include "core/render/byte_lanes.h"
#include "core/run/ordered_pipeline.h"

#include <algorithm>
#include <climits>
#include <cstring>
#include <optional>
#include <thread>
#include <vector>

namespace lumexa
{

namespace
{

// Rows of one level, row y in slot y % capacity, four channels a pixel.
template <typename T> class RowRing
{
  public:
    void reset(int width, int capacity)
    {
        width_ = width;
        capacity_ = capacity;
        data_.assign(static_cast<size_t>(width) * 4 * static_cast<size_t>(capacity), T{});
    }
    T* row(int y)
    {
        return data_.data() + static_cast<size_t>(y % capacity_) * static_cast<size_t>(width_) * 4;
    }
    int capacity() const { return capacity_; }

  private:
    int width_ = 0;
    int capacity_ = 1;
    std::vector<T> data_;
};

struct Level {
    int width = 0;
    int height = 0;
    int columns = 0;
    int rows = 0;
    // The next job to hand out.
    int emitRow = 0;
    int emitColumn = 0;
    // Jobs of this level taken back, in order: rows of tiles before consumed / columns are
    // done.
    int64_t consumed = 0;
    // Rows of the level that are complete (levels from 1).
    int ready = 0;
    // Level 1: the sums of 2 x 2 full-size pixels, as level-0 jobs leave them.
    RowRing<uint16_t> sums;
    // Levels from 2: the rounded pixels, and the sums of the row being built from the
    // two rows above it.
    RowRing<uint8_t> pixels;
    std::vector<uint64_t> building;
};

// A thread's tile.
struct Scratch {
    std::vector<uint8_t> tile;
};

// How many full-size pixels along one side a pixel `index` of `level` stands for.
int BlockLength(int length, int level, int index)
{
    const long long factor = 1LL << level;
    return static_cast<int>(std::min<long long>(factor, length - index * factor));
}

// out[4x + c] = a[8x + c] + a[8x + 4 + c] (+ the same of b, when there is b) for the `pairs`
// pixel pairs of rows a and b: the 2 x 2 sums of their four channels.
void SumPairs(const uint8_t* a, const uint8_t* b, int pairs, uint16_t* out)
{
    int x = 0;
#ifdef LUMEXA_SSE2_LANES
    // Two pairs at a time: widen, add the rows, then each pixel to its neighbour.
    const __m128i zero = _mm_setzero_si128();
    for (; x + 2 <= pairs; x += 2) {
        const __m128i rowA = _mm_loadu_si128(reinterpret_cast<const __m128i*>(a + x * 8));
        __m128i low = _mm_unpacklo_epi8(rowA, zero);
        __m128i high = _mm_unpackhi_epi8(rowA, zero);
        if (b != nullptr) {
            const __m128i rowB = _mm_loadu_si128(reinterpret_cast<const __m128i*>(b + x * 8));
            low = _mm_add_epi16(low, _mm_unpacklo_epi8(rowB, zero));
            high = _mm_add_epi16(high, _mm_unpackhi_epi8(rowB, zero));
        }
        low = _mm_add_epi16(low, _mm_srli_si128(low, 8));
        high = _mm_add_epi16(high, _mm_srli_si128(high, 8));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(out + x * 4), _mm_unpacklo_epi64(low, high));
    }
#endif
    for (; x < pairs; ++x)
        for (int c = 0; c < 4; ++c) {
            const int i = x * 8 + c;
            out[x * 4 + c] =
                static_cast<uint16_t>(a[i] + a[i + 4] + (b != nullptr ? b[i] + b[i + 4] : 0));
        }
}

class Builder
{
  public:
    Builder(const DotRenderer& renderer, const Pyramid& pyramid, TileSink& sink, int threads,
            std::stop_token stop, RunProgress* progress)
        : renderer_(renderer), pyramid_(pyramid), sink_(sink), threads_(threads),
          stop_(std::move(stop)), progress_(progress)
    {
        const int tileSize = pyramid.tileSize();
        const int span = tileSize + 2 * pyramid.overlap();
        levels_.resize(static_cast<size_t>(pyramid.levels()));
        for (int k = 0; k < pyramid.levels(); ++k) {
            Level& level = levels_[static_cast<size_t>(k)];
            level.width = pyramid.levelWidth(k);
            level.height = pyramid.levelHeight(k);
            level.columns = pyramid.columns(k);
            level.rows = pyramid.rows(k);
            if (k == 0)
                continue;
            // One row of tiles, the rows that one more row of level-0 tiles adds, and two
            // for the rows that a halving rounds up.
            const int arriving = std::max(1, tileSize >> k);
            const int capacity = std::min(level.height, span + arriving + 2);
            if (k == 1)
                level.sums.reset(level.width, capacity);
            else {
                level.pixels.reset(level.width, capacity);
                level.building.assign(static_cast<size_t>(level.width) * 4, 0);
            }
        }
        scratch_.resize(static_cast<size_t>(threads));
    }

    bool run()
    {
        const int64_t total = pyramid_.tileCount();
        if (progress_)
            progress_->begin(pyramid_.tilePixels());
        sink_.prepare(threads_);
        const int64_t slots = 4 * static_cast<int64_t>(threads_) + 4;
        OrderedPipeline<TileKey> jobs(
            static_cast<size_t>(slots), threads_ - 1,
            [this](TileKey& key, int64_t, int thread) { process(key, thread); });
        // A stop request wakes this thread if it waits for a job.
        std::stop_callback onStop(stop_, [&] { jobs.stop(); });

        int64_t emitted = 0;
        int64_t consumed = 0;
        int64_t pixels = 0;
        while (consumed < total) {
            while (emitted < consumed + slots) {
                const std::optional<TileKey> job = nextJob();
                if (!job)
                    break;
                jobs.slot(emitted) = *job;
                jobs.release(++emitted);
            }
            if (emitted == consumed)
                throw Error("The pyramid's tiles wait for each other");
            const TileKey* done = jobs.waitFor(consumed, true);
            if (!done || stop_.stop_requested())
                return false;
            const TileKey key = *done;
            jobs.consumed(++consumed);
            finished(key);
            if (progress_) {
                const PixelRect rect = pyramid_.tile(key);
                pixels += static_cast<int64_t>(rect.width) * rect.height;
                progress_->advance(pixels);
            }
        }
        return !stop_.stop_requested();
    }

  private:
    Level& level(int k) { return levels_[static_cast<size_t>(k)]; }
    int levelCount() const { return static_cast<int>(levels_.size()); }

    // The first row of level k that a tile not yet taken back still reads.
    int keepFrom(int k)
    {
        const Level& l = level(k);
        const int doneRows = static_cast<int>(l.consumed / l.columns);
        if (doneRows >= l.rows)
            return INT_MAX;
        return std::max(0, doneRows * pyramid_.tileSize() - pyramid_.overlap());
    }

    // Whether the rows that level-0 tile row `row` adds to every smaller level fit in its
    // ring beside the rows still read.
    bool roomForTileRow(int row)
    {
        const Level& top = level(0);
        const long long end = static_cast<long long>(pyramid_.tileSize()) * (row + 1);
        for (int k = 1; k < levelCount(); ++k) {
            const Level& l = level(k);
            const long long last =
                row + 1 == top.rows ? l.height - 1 : std::min<long long>(l.height, end >> k) - 1;
            const int from = keepFrom(k);
            const int capacity = k == 1 ? l.sums.capacity() : l.pixels.capacity();
            if (from != INT_MAX && last >= static_cast<long long>(from) + capacity)
                return false;
        }
        return true;
    }

    // The next job that may start: a tile of a smaller level whose rows are all there, else
    // the next full-size tile when its rows fit.
    std::optional<TileKey> nextJob()
    {
        for (int k = 1; k < levelCount(); ++k) {
            Level& l = level(k);
            if (l.emitRow >= l.rows ||
                l.ready < pyramid_.tile({k, 0, l.emitRow}).bottom())
                continue;
            return advance(k);
        }
        Level& top = level(0);
        if (top.emitRow >= top.rows || (top.emitColumn == 0 && !roomForTileRow(top.emitRow)))
            return std::nullopt;
        return advance(0);
    }

    TileKey advance(int k)
    {
        Level& l = level(k);
        const TileKey key{k, l.emitColumn, l.emitRow};
        if (++l.emitColumn == l.columns) {
            l.emitColumn = 0;
            ++l.emitRow;
        }
        return key;
    }

    // A job, on any thread.
    void process(const TileKey& key, int thread)
    {
        CheckStop(stop_);
        const PixelRect rect = pyramid_.tile(key);
        std::vector<uint8_t>& tile = scratch_[static_cast<size_t>(thread)].tile;
        const size_t stride = static_cast<size_t>(rect.width) * 4;
        tile.resize(stride * static_cast<size_t>(rect.height));
        if (key.level == 0) {
            if (!renderer_.RenderRegion(rect, tile.data(), stride, stop_))
                throw Stopped();
        } else {
            for (int y = 0; y < rect.height; ++y)
                readRow(key.level, rect.y + y, rect.x, rect.width, tile.data() + y * stride);
        }
        // The sums first, while the tile is still in the cache that composing it filled.
        if (key.level == 0 && levelCount() > 1)
            leaveSums(key, rect, tile.data(), stride);
        sink_.writeTile(key, rect, tile.data(), stride, thread);
    }

    // Pixels x0..x0+count-1 of row y of level k (from 1).
    void readRow(int k, int y, int x0, int count, uint8_t* out)
    {
        Level& l = level(k);
        if (k >= 2) {
            std::memcpy(out, l.pixels.row(y) + static_cast<size_t>(x0) * 4,
                        static_cast<size_t>(count) * 4);
            return;
        }
        const uint16_t* sums = l.sums.row(y) + static_cast<size_t>(x0) * 4;
        const int blockRows = BlockLength(pyramid_.height(), 1, y);
        // Every pixel but a last one of an odd width stands for blockRows x 2 full-size pixels.
        int whole = count;
        if (x0 + count == l.width && pyramid_.width() % 2 != 0)
            --whole;
        const size_t wholeBytes = static_cast<size_t>(whole) * 4;
        if (blockRows == 2) {
            for (size_t i = 0; i < wholeBytes; ++i)
                out[i] = static_cast<uint8_t>((sums[i] + 2u) >> 2);
        } else {
            for (size_t i = 0; i < wholeBytes; ++i)
                out[i] = static_cast<uint8_t>((sums[i] + 1u) >> 1);
        }
        for (int i = whole; i < count; ++i) {
            const unsigned n =
                static_cast<unsigned>(BlockLength(pyramid_.width(), 1, x0 + i) * blockRows);
            for (int c = 0; c < 4; ++c)
                out[i * 4 + c] = static_cast<uint8_t>((sums[i * 4 + c] + n / 2) / n);
        }
    }

    // The 2 x 2 sums of a level-0 tile's core, into the rows of level 1.
    void leaveSums(const TileKey& key, const PixelRect& rect, const uint8_t* tile, size_t stride)
    {
        const PixelRect core = pyramid_.core(key);
        const int pairs = core.width / 2;
        for (int fy = core.y; fy < core.bottom(); fy += 2) {
            const uint8_t* a = tile + static_cast<size_t>(fy - rect.y) * stride +
                               static_cast<size_t>(core.x - rect.x) * 4;
            // The last row of an odd height sums its pixels alone.
            const uint8_t* b = fy + 1 < core.bottom() ? a + stride : nullptr;
            uint16_t* out = level(1).sums.row(fy / 2) + static_cast<size_t>(core.x / 2) * 4;
            const size_t pairBytes = static_cast<size_t>(pairs) * 4;
            SumPairs(a, b, pairs, out);
            // The last column of an odd width, likewise.
            if (core.width % 2 != 0) {
                const size_t x = static_cast<size_t>(pairs) * 8;
                for (size_t c = 0; c < 4; ++c)
                    out[pairBytes + c] =
                        static_cast<uint16_t>(a[x + c] + (b != nullptr ? b[x + c] : 0u));
            }
        }
    }

    // A job taken back, on this thread.
    void finished(const TileKey& key)
    {
        Level& l = level(key.level);
        ++l.consumed;
        if (key.level != 0 || levelCount() < 2 || l.consumed % l.columns != 0)
            return;
        // A whole row of level-0 tiles is back: its level-1 rows are complete.
        const int row = static_cast<int>(l.consumed / l.columns) - 1;
        Level& one = level(1);
        const int until = row + 1 == l.rows ? one.height : (pyramid_.tileSize() / 2) * (row + 1);
        for (int y = one.ready; y < until; ++y) {
            if (levelCount() > 2)
                sumInto(2, one.sums.row(y), y);
            one.ready = y + 1;
        }
    }

    // Adds row `y` of level k - 1 (its sums over full-size pixels) into the row of level k
    // being built; once both rows above it are in, the row is rounded into the level's
    // ring and summed on into the next level.
    template <typename Sum> void sumInto(int k, const Sum* above, int y)
    {
        Level& l = level(k);
        const int aboveWidth = level(k - 1).width;
        uint64_t* sums = l.building.data();
        // Pixel x of this level sums pixels 2x and 2x + 1 above it, the last one alone when
        // the row above is odd.
        const int pairs = aboveWidth / 2;
        uint64_t* s = sums;
        const Sum* a = above;
        for (int x = 0; x < pairs; ++x, s += 4, a += 8)
            for (int c = 0; c < 4; ++c)
                s[c] += static_cast<uint64_t>(a[c]) + a[4 + c];
        if (aboveWidth % 2 != 0)
            for (int c = 0; c < 4; ++c)
                s[c] += a[c];
        if (y % 2 == 0 && y + 1 < level(k - 1).height)
            return;
        const int row = y / 2;
        roundRow(k, row, sums, l.pixels.row(row));
        if (k + 1 < levelCount())
            sumInto(k + 1, static_cast<const uint64_t*>(sums), row);
        std::fill(l.building.begin(), l.building.end(), 0);
        l.ready = row + 1;
    }

    // Row `row` of level k from its sums over full-size pixels, rounded to nearest.
    void roundRow(int k, int row, const uint64_t* sums, uint8_t* out)
    {
        const Level& l = level(k);
        const int blockRows = BlockLength(pyramid_.height(), k, row);
        const int fullShift = 2 * k;
        const bool fullRows = blockRows == (1LL << k);
        for (int x = 0; x < l.width; ++x) {
            const uint64_t n =
                static_cast<uint64_t>(BlockLength(pyramid_.width(), k, x)) * blockRows;
            const uint64_t* s = sums + static_cast<size_t>(x) * 4;
            uint8_t* o = out + static_cast<size_t>(x) * 4;
            if (fullRows && n == (uint64_t{1} << fullShift)) {
                for (int c = 0; c < 4; ++c)
                    o[c] = static_cast<uint8_t>((s[c] + n / 2) >> fullShift);
            } else {
                for (int c = 0; c < 4; ++c)
                    o[c] = static_cast<uint8_t>((s[c] + n / 2) / n);
            }
        }
    }

    const DotRenderer& renderer_;
    const Pyramid& pyramid_;
    TileSink& sink_;
    const int threads_;
    std::stop_token stop_;
    RunProgress* progress_;
    std::vector<Level> levels_;
    std::vector<Scratch> scratch_;
};

} // namespace

bool BuildPyramid(const DotRenderer& renderer, const Pyramid& pyramid, TileSink& sink,
                  int threads, std::stop_token stop, RunProgress* progress)
{
    if (renderer.width() != pyramid.width() || renderer.height() != pyramid.height())
        throw Error("The pyramid of " + std::to_string(pyramid.width()) + " x " +
                    std::to_string(pyramid.height()) + " pixels is not the result's");
    if (threads <= 0)
        threads = static_cast<int>(std::thread::hardware_concurrency());
    Builder builder(renderer, pyramid, sink, std::max(threads, 1), std::move(stop), progress);
    return builder.run();
}

} // namespace lumexa
