// A PNG picture in memory: header, one IDAT chunk holding a whole zlib stream, end.
#include "imaging/png/png_encoder.h"

#include "imaging/deflate/row_filters.h"
#include "imaging/png/png_chunks.h"

namespace lumexa
{

PngEncoder::PngEncoder(Compression compression) : deflater_(compression) {}

const std::vector<uint8_t>& PngEncoder::encode(const uint8_t* rgba, int width, int height,
                                               size_t stride)
{
    const size_t rowBytes = static_cast<size_t>(width) * 4;
    zeros_.assign(rowBytes, 0);
    filtered_.resize((rowBytes + 1) * static_cast<size_t>(height));
    const uint8_t* prior = zeros_.data();
    for (int y = 0; y < height; ++y) {
        const uint8_t* row = rgba + static_cast<size_t>(y) * stride;
        FilterPngRow(prior, row, rowBytes, filtered_.data() + static_cast<size_t>(y) * (rowBytes + 1));
        prior = row;
    }
    file_.assign(kPngSignature, kPngSignature + sizeof kPngSignature);
    AppendPngHeader(width, height, file_);
    size_t chunk = BeginPngChunk("IDAT", file_);
    deflater_.appendZlibStream(filtered_.data(), filtered_.size(), file_);
    EndPngChunk(chunk, file_);
    chunk = BeginPngChunk("IEND", file_);
    EndPngChunk(chunk, file_);
    return file_;
}

} // namespace lumexa
