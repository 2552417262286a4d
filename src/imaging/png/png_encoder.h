// Small PNG pictures made whole in memory on one thread, such as the tiles of a deep zoom
// export: RGBA with the coverage as alpha, rows filtered as the result files' are.
#pragma once

#include "core/project/compression.h"
#include "imaging/deflate/deflate_segment.h"

#include <cstddef>
#include <cstdint>
#include <vector>

namespace lumexa
{

// One thread's encoder; its buffers are kept from picture to picture.
class PngEncoder
{
  public:
    explicit PngEncoder(Compression compression);

    // The PNG file of width x height pixels (red, green, blue, coverage; rows `stride` bytes
    // apart), valid until the next call.
    const std::vector<uint8_t>& encode(const uint8_t* rgba, int width, int height, size_t stride);

  private:
    SegmentDeflater deflater_;
    std::vector<uint8_t> zeros_;
    std::vector<uint8_t> filtered_;
    std::vector<uint8_t> file_;
};

} // namespace lumexa
