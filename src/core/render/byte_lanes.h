// Four bytes of a pixel as four 32-bit lanes, for the SSE2 sums of the LED sampling, the mask
// step and the deep zoom reductions. The sampling and the mask step weigh two channels in
// one instruction with the same operations in the same order as their plain sums, so the
// bytes are the same.
#pragma once

#if defined(__SSE2__) && defined(__x86_64__)
#define LUMEXA_SSE2_LANES
#include <emmintrin.h>

#include <cstdint>
#include <cstring>

namespace lumexa
{

// Bytes pixel[0..3] in lanes 0..3.
inline __m128i ByteLanes(const uint8_t* pixel)
{
    int32_t bytes;
    std::memcpy(&bytes, pixel, 4);
    const __m128i zero = _mm_setzero_si128();
    return _mm_unpacklo_epi16(_mm_unpacklo_epi8(_mm_cvtsi32_si128(bytes), zero), zero);
}

// Lanes 0..3 of `low` and `high` (two values in each, from _mm_cvttpd_epi32) as four bytes:
// low's two, then high's two.
inline uint32_t LanesToBytes(__m128i low, __m128i high)
{
    const __m128i zero = _mm_setzero_si128();
    const __m128i words = _mm_packs_epi32(_mm_unpacklo_epi64(low, high), zero);
    return static_cast<uint32_t>(_mm_cvtsi128_si32(_mm_packus_epi16(words, zero)));
}

} // namespace lumexa
#endif
