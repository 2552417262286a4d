// Area-averaged reduced views, composed block row by block row.
#include "core/view/reduced_view.h"

#include "core/base/error.h"
#include "core/run/ordered_pipeline.h"

#include <algorithm>
#include <vector>

namespace lumexa
{
namespace
{

// Full-size rows composed at once: enough to keep the narrowing of band records per call
// cheap, few enough that a wide rectangle needs little memory.
constexpr int kRowsPerPass = 16;

// What a thread needs to compose and average one block row.
struct BlockScratch {
    std::vector<uint8_t> rows;
    std::vector<uint64_t> sums;
};

} // namespace

int ReducedLength(int length, int factor)
{
    if (length <= 0 || factor <= 0)
        return 0;
    return length / factor + (length % factor != 0 ? 1 : 0);
}

void AddRowToBlockSums(const uint8_t* rgba, int count, int factor, uint64_t* sums)
{
    for (int x = 0; x < count; sums += 4) {
        const int blockEnd = std::min(count, x + factor);
        // Summed in 32 bits within the row: at most factor x 255 per channel.
        uint32_t r = 0, g = 0, b = 0, c = 0;
        for (const uint8_t* p = rgba + static_cast<size_t>(x) * 4; x < blockEnd; ++x, p += 4) {
            r += p[0];
            g += p[1];
            b += p[2];
            c += p[3];
        }
        sums[0] += r;
        sums[1] += g;
        sums[2] += b;
        sums[3] += c;
    }
}

bool RenderReducedDraft(const DotRenderer& renderer, const PixelRect& rect, int factor,
                        uint8_t* rgba, size_t stride, std::stop_token stop)
{
    if (rect.empty() || factor <= 0)
        return true;
    const int outWidth = ReducedLength(rect.width, factor);
    const int outHeight = ReducedLength(rect.height, factor);
    std::vector<uint8_t> row(static_cast<size_t>(rect.width) * 4);
    std::vector<uint64_t> sums(static_cast<size_t>(outWidth) * 4);
    for (int by = 0; by < outHeight; ++by) {
        std::fill(sums.begin(), sums.end(), 0);
        const int top = by * factor;
        const int blockRows = std::min(factor, rect.height - top);
        const int rows[2] = {blockRows / 4, blockRows * 3 / 4};
        const int sampled = rows[1] == rows[0] ? 1 : 2;
        for (int i = 0; i < sampled; ++i) {
            if (!renderer.RenderRegion({rect.x, rect.y + top + rows[i], rect.width, 1}, row.data(),
                                       row.size(), stop))
                return false;
            AddRowToBlockSums(row.data(), rect.width, factor, sums.data());
        }
        AverageBlockSums(sums.data(), rect.width, factor, sampled,
                         rgba + static_cast<size_t>(by) * stride);
    }
    return !stop.stop_requested();
}

void AverageBlockSums(const uint64_t* sums, int count, int factor, int blockRows, uint8_t* rgba)
{
    const int blocks = ReducedLength(count, factor);
    for (int bx = 0; bx < blocks; ++bx) {
        const uint64_t n = static_cast<uint64_t>(std::min(factor, count - bx * factor)) *
                           static_cast<uint64_t>(blockRows);
        for (int c = 0; c < 4; ++c)
            rgba[bx * 4 + c] =
                static_cast<uint8_t>((sums[static_cast<size_t>(bx) * 4 + c] + n / 2) / n);
    }
}

bool RenderReduced(const DotRenderer& renderer, const PixelRect& rect, int factor, uint8_t* rgba,
                   size_t stride, int threads, std::stop_token stop)
{
    if (rect.empty() || factor <= 0)
        return true;
    const int outWidth = ReducedLength(rect.width, factor);
    const int outHeight = ReducedLength(rect.height, factor);
    threads = std::clamp(threads, 1, outHeight);
    const int passRows = std::min(factor, kRowsPerPass);
    const size_t rowBytes = static_cast<size_t>(rect.width) * 4;
    std::vector<BlockScratch> scratch(static_cast<size_t>(threads));
    for (BlockScratch& s : scratch) {
        s.rows.resize(rowBytes * static_cast<size_t>(passRows));
        s.sums.resize(static_cast<size_t>(outWidth) * 4);
    }
    // Each block row lands in its own place of `rgba`, so the pipeline's items carry nothing;
    // this thread takes them in order and composes whenever it would wait.
    OrderedPipeline<char> blockRows(
        static_cast<size_t>(2 * threads), threads - 1, [&](char&, int64_t index, int worker) {
            BlockScratch& s = scratch[static_cast<size_t>(worker)];
            const int by = static_cast<int>(index);
            std::fill(s.sums.begin(), s.sums.end(), 0);
            const int top = by * factor;
            const int blockRows = std::min(factor, rect.height - top);
            for (int done = 0; done < blockRows; done += passRows) {
                const int count = std::min(passRows, blockRows - done);
                if (!renderer.RenderRegion({rect.x, rect.y + top + done, rect.width, count},
                                           s.rows.data(), rowBytes, stop))
                    throw Stopped();
                for (int r = 0; r < count; ++r)
                    AddRowToBlockSums(s.rows.data() + static_cast<size_t>(r) * rowBytes, rect.width,
                                      factor, s.sums.data());
            }
            AverageBlockSums(s.sums.data(), rect.width, factor, blockRows,
                             rgba + static_cast<size_t>(by) * stride);
        });
    blockRows.release(outHeight);
    for (int by = 0; by < outHeight; ++by) {
        if (!blockRows.waitFor(by, true))
            return false;
        blockRows.consumed(by + 1);
    }
    return !stop.stop_requested();
}

} // namespace lumexa
