// JPEG through TurboJPEG's one-call compressor.
#include "imaging/jpeg/jpeg_encoder.h"

#include "core/base/error.h"

#include <algorithm>
#include <string>
#include <turbojpeg.h>

namespace lumexa
{

JpegEncoder::JpegEncoder(int quality) : quality_(std::clamp(quality, 1, 100))
{
    handle_ = tjInitCompress();
    if (!handle_)
        throw Error(std::string("The JPEG encoder cannot start: ") + tjGetErrorStr2(nullptr));
}

JpegEncoder::~JpegEncoder()
{
    tjDestroy(static_cast<tjhandle>(handle_));
}

const std::vector<uint8_t>& JpegEncoder::encode(const uint8_t* rgba, int width, int height,
                                                size_t stride)
{
    // Compressed into a buffer of the worst case's size, kept from tile to tile, so that
    // TurboJPEG never allocates one of its own.
    const unsigned long bound = tjBufSize(width, height, TJSAMP_420);
    file_.resize(bound);
    unsigned char* out = file_.data();
    unsigned long size = bound;
    if (tjCompress2(static_cast<tjhandle>(handle_), rgba, width, static_cast<int>(stride), height,
                    TJPF_RGBX, &out, &size, TJSAMP_420, quality_, TJFLAG_NOREALLOC) != 0)
        throw Error(std::string("A tile could not be made into a JPEG: ") +
                    tjGetErrorStr2(static_cast<tjhandle>(handle_)));
    file_.resize(size);
    return file_;
}

} // namespace lumexa
