// The chunks a PNG file is made of: a length, a type, the data and a CRC.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace lumexa
{

// The eight bytes every PNG file starts with.
inline constexpr uint8_t kPngSignature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};

// Starts a chunk of `type` at the end of `out`: room for the length, then the type. Returns
// where it starts, for EndPngChunk once its data is appended.
size_t BeginPngChunk(const char* type, std::vector<uint8_t>& out);
// Fills in the length of the chunk that starts at `start` and appends its CRC.
void EndPngChunk(size_t start, std::vector<uint8_t>& out);
// Appends the IHDR chunk of an 8-bit RGBA picture (deflate, adaptive filters, not
// interlaced).
void AppendPngHeader(int width, int height, std::vector<uint8_t>& out);

} // namespace lumexa
