// Deflate in independent pieces, so that several threads can compress one file: each
// piece becomes a raw deflate segment that ends on a byte boundary, and segments laid
// end to end form one valid deflate stream (the last one carries the final block).
// Fast compression goes through ISA-L when the build has it, Small through zlib's
// highest level, whose files are markedly smaller than any ISA-L level gives.
#pragma once

#include "core/project/compression.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

namespace lumexa
{

// One thread's compressor; not shared between threads.
class SegmentDeflater
{
  public:
    explicit SegmentDeflater(Compression compression);
    ~SegmentDeflater();
    SegmentDeflater(const SegmentDeflater&) = delete;
    SegmentDeflater& operator=(const SegmentDeflater&) = delete;

    // Appends the segment for `size` bytes to `out`; `last` ends the stream. Throws an
    // Error when the compressor fails (out of memory).
    void appendSegment(const uint8_t* data, size_t size, bool last, std::vector<uint8_t>& out);
    // Appends a complete zlib stream of the bytes: header, one final segment, Adler-32.
    void appendZlibStream(const uint8_t* data, size_t size, std::vector<uint8_t>& out);

    struct State;

  private:
    Compression compression_;
    std::unique_ptr<State> state_;
};

// The two bytes that open a zlib stream made of these segments.
std::array<uint8_t, 2> ZlibHeader(Compression compression);
// Adler-32 of the bytes, continuing from `adler` (1 for a new stream).
uint32_t Adler32(uint32_t adler, const uint8_t* data, size_t size);
// The Adler-32 of two runs of bytes laid end to end, from the checksum of each.
uint32_t CombineAdler32(uint32_t first, uint32_t second, size_t secondSize);
// Appends `value` in network byte order, as PNG and zlib store numbers.
void AppendBigEndian(uint32_t value, std::vector<uint8_t>& out);

} // namespace lumexa
