// Plain loops over bytes that the compiler turns into vector code (the file is built with
// vectorization on, since these loops run over every byte of the result), except for the
// filter choice's sums, which SSE2 does in one instruction per 16 bytes.
#include "imaging/deflate/row_filters.h"

#include <cstdlib>

#if defined(__SSE2__) && defined(__x86_64__)
#define LUMEXA_SSE2_SUMS
#include <emmintrin.h>
#endif

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

struct FilterSums {
    uint64_t none = 0, sub = 0, up = 0;
};

// The sums of |byte| (taken as signed) of the row under each filter, from byte `from` on.
FilterSums SumFiltered(const uint8_t* prior, const uint8_t* row, size_t from, size_t size)
{
    FilterSums sums;
    size_t i = from;
#ifdef LUMEXA_SSE2_SUMS
    // Flipping the top bit maps a signed byte b to b + 128 as an unsigned one, so the sum
    // of absolute differences to 128 is the sum of |b|.
    const __m128i bias = _mm_set1_epi8(static_cast<char>(0x80));
    __m128i none = _mm_setzero_si128(), sub = none, up = none;
    for (; i + 16 <= size; i += 16) {
        const __m128i r = _mm_loadu_si128(reinterpret_cast<const __m128i*>(row + i));
        const __m128i left = _mm_loadu_si128(reinterpret_cast<const __m128i*>(row + i - kPixel));
        const __m128i above = _mm_loadu_si128(reinterpret_cast<const __m128i*>(prior + i));
        none = _mm_add_epi64(none, _mm_sad_epu8(_mm_xor_si128(r, bias), bias));
        sub = _mm_add_epi64(sub, _mm_sad_epu8(_mm_xor_si128(_mm_sub_epi8(r, left), bias), bias));
        up = _mm_add_epi64(up, _mm_sad_epu8(_mm_xor_si128(_mm_sub_epi8(r, above), bias), bias));
    }
    const auto total = [](__m128i v) {
        return static_cast<uint64_t>(_mm_cvtsi128_si64(v)) +
               static_cast<uint64_t>(_mm_cvtsi128_si64(_mm_unpackhi_epi64(v, v)));
    };
    sums.none = total(none);
    sums.sub = total(sub);
    sums.up = total(up);
#endif
    for (; i < size; ++i) {
        sums.none += Magnitude(row[i]);
        sums.sub += Magnitude(static_cast<uint8_t>(row[i] - row[i - kPixel]));
        sums.up += Magnitude(static_cast<uint8_t>(row[i] - prior[i]));
    }
    return sums;
}

} // namespace

void FilterPngRow(const uint8_t* prior, const uint8_t* row, size_t size, uint8_t* out)
{
    const size_t lead = size < kPixel ? size : kPixel;
    // The first pixel has nothing to its left: Sub leaves it as it is.
    FilterSums sums = SumFiltered(prior, row, lead, size);
    for (size_t i = 0; i < lead; ++i) {
        sums.none += Magnitude(row[i]);
        sums.sub += Magnitude(row[i]);
        sums.up += Magnitude(static_cast<uint8_t>(row[i] - prior[i]));
    }
    const uint64_t none = sums.none, sub = sums.sub, up = sums.up;
    uint8_t* data = out + 1;
    if (sub <= up && sub <= none) {
        out[0] = kPngSub; // the same differences as TIFF's predictor
        PredictTiffRow(row, size, data);
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

void PredictTiffPlane(const uint8_t* row, size_t size, int sample, uint8_t* out)
{
    const size_t pixels = size / kPixel;
    const uint8_t* in = row + sample;
    if (pixels > 0)
        out[0] = in[0];
    for (size_t i = 1; i < pixels; ++i)
        out[i] = static_cast<uint8_t>(in[i * kPixel] - in[(i - 1) * kPixel]);
}

} // namespace lumexa
