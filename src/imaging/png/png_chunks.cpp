// PNG chunks.
#include "imaging/png/png_chunks.h"

#include "imaging/deflate/deflate_segment.h"

#include <zlib.h>

namespace lumexa
{

size_t BeginPngChunk(const char* type, std::vector<uint8_t>& out)
{
    const size_t start = out.size();
    out.resize(start + 4);
    out.insert(out.end(), type, type + 4);
    return start;
}

void EndPngChunk(size_t start, std::vector<uint8_t>& out)
{
    const uint32_t length = static_cast<uint32_t>(out.size() - start - 8);
    out[start + 0] = static_cast<uint8_t>(length >> 24);
    out[start + 1] = static_cast<uint8_t>(length >> 16);
    out[start + 2] = static_cast<uint8_t>(length >> 8);
    out[start + 3] = static_cast<uint8_t>(length);
    const uint32_t crc =
        static_cast<uint32_t>(crc32_z(0, out.data() + start + 4, out.size() - start - 4));
    AppendBigEndian(crc, out);
}

void AppendPngHeader(int width, int height, std::vector<uint8_t>& out)
{
    const size_t chunk = BeginPngChunk("IHDR", out);
    AppendBigEndian(static_cast<uint32_t>(width), out);
    AppendBigEndian(static_cast<uint32_t>(height), out);
    // 8 bits per sample, RGBA, deflate, adaptive filters, no interlacing.
    out.insert(out.end(), {8, 6, 0, 0, 0});
    EndPngChunk(chunk, out);
}

} // namespace lumexa
