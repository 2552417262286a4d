// JPEG pictures made whole in memory on one thread through libjpeg-turbo, for the tiles of
// a deep zoom export and of a pyramidal TIFF. JPEG has no alpha: the red, green and blue
// bytes are taken as they are, which is the result laid over black (the unlit LEDs'
// panel where the background cells are drawn, as a print shows it), and the coverage byte
// is left out. Colour is stored as YCbCr with the chroma halved both ways (4:2:0).
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace lumexa
{

class JpegEncoder
{
  public:
    // `quality` from 1 (smallest) to 100 (best).
    explicit JpegEncoder(int quality);
    ~JpegEncoder();
    JpegEncoder(const JpegEncoder&) = delete;
    JpegEncoder& operator=(const JpegEncoder&) = delete;

    // The JPEG file of width x height pixels (red, green, blue, coverage; rows `stride` bytes
    // apart), valid until the next call. Throws an Error when libjpeg-turbo fails.
    const std::vector<uint8_t>& encode(const uint8_t* rgba, int width, int height, size_t stride);

  private:
    void* handle_ = nullptr;
    int quality_;
    std::vector<uint8_t> file_;
};

} // namespace lumexa
