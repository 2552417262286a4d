// Plain loops over bytes that the compiler turns into vector code (the file is built with
// vectorization on, since these loops run over every byte of the result).
#include "imaging/write/row_filters.h"

#include <cstdlib>

namespace lumexa
{

namespace
{

constexpr size_t kPixel = 4;

// |b| of a byte taken as signed, as the filter choice counts it.
inline uint32_t Magnitude(uint8_t b)
{
    return static_cast<uint32_t>(std::abs(static_cast<int8_t>(b)));
}

} // namespace

void FilterPngRow(const uint8_t* prior, const uint8_t* row, size_t size, uint8_t* out)
{
    const size_t lead = size < kPixel ? size : kPixel;
    uint32_t none = 0, sub = 0, up = 0;
    for (size_t i = 0; i < lead; ++i) {
        none += Magnitude(row[i]);
        sub += Magnitude(row[i]);
        up += Magnitude(static_cast<uint8_t>(row[i] - prior[i]));
    }
    // The sums fit 32 bits for rows of up to 33 million bytes; on wider rows they may
    // wrap, which can choose a poorer filter but never makes the output wrong.
    for (size_t i = lead; i < size; ++i) {
        none += Magnitude(row[i]);
        sub += Magnitude(static_cast<uint8_t>(row[i] - row[i - kPixel]));
        up += Magnitude(static_cast<uint8_t>(row[i] - prior[i]));
    }
    uint8_t* data = out + 1;
    if (sub <= up && sub <= none) {
        out[0] = kPngSub;
        for (size_t i = 0; i < lead; ++i)
            data[i] = row[i];
        for (size_t i = lead; i < size; ++i)
            data[i] = static_cast<uint8_t>(row[i] - row[i - kPixel]);
    } else if (up <= none) {
        out[0] = kPngUp;
        for (size_t i = 0; i < size; ++i)
            data[i] = static_cast<uint8_t>(row[i] - prior[i]);
    } else {
        out[0] = kPngNone;
        for (size_t i = 0; i < size; ++i)
            data[i] = row[i];
    }
}

void PredictTiffRow(const uint8_t* row, size_t size, uint8_t* out)
{
    const size_t lead = size < kPixel ? size : kPixel;
    for (size_t i = 0; i < lead; ++i)
        out[i] = row[i];
    for (size_t i = lead; i < size; ++i)
        out[i] = static_cast<uint8_t>(row[i] - row[i - kPixel]);
}

} // namespace lumexa
