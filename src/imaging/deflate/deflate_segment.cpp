// Segments through ISA-L's one-shot deflate (full flush, so that each segment is
// byte-aligned and needs no history from the one before) or through zlib with a sync
// flush on a fresh stream, which gives the same independence.
#include "imaging/deflate/deflate_segment.h"

#include "core/base/error.h"

#include <algorithm>
#include <zlib.h>

#ifdef LUMEXA_HAVE_ISAL
#include <isa-l/igzip_lib.h>
#endif

namespace lumexa
{

namespace
{

// Bytes a segment of `size` input bytes may need at most through ISA-L: stored blocks
// cost 5 bytes per 64 KB, and a flush a few bytes more. zlib at its highest level may
// spend more than that on noise (10 KB over 8 MB), so its own bound is asked for, with
// room for the sync flush's marker.
size_t SegmentBound(size_t size, z_stream* zlib)
{
    const size_t bound = size + size / 1024 + 1024;
    return zlib ? std::max<size_t>(bound, deflateBound(zlib, static_cast<uLong>(size)) + 64)
                : bound;
}

} // namespace

struct SegmentDeflater::State {
    z_stream zlib{};
    bool zlibReady = false;
    // Where a segment is compressed before it is appended. It is left uninitialised and
    // kept from segment to segment: filling the worst case's room in every piece's output
    // would touch fresh pages for bytes that are never written.
    std::unique_ptr<uint8_t[]> scratch;
    size_t scratchSize = 0;

    uint8_t* room(size_t size)
    {
        if (scratchSize < size) {
            scratch.reset();
            scratch.reset(new uint8_t[size]);
            scratchSize = size;
        }
        return scratch.get();
    }
#ifdef LUMEXA_HAVE_ISAL
    std::vector<uint8_t> levelBuffer = std::vector<uint8_t>(ISAL_DEF_LVL1_DEFAULT);
#endif

    ~State()
    {
        if (zlibReady)
            deflateEnd(&zlib);
    }
};

SegmentDeflater::SegmentDeflater(Compression compression)
    : compression_(compression), state_(std::make_unique<State>())
{
#ifdef LUMEXA_HAVE_ISAL
    if (compression_ == Compression::Fast)
        return;
#endif
    // Small: the pieces hold filtered rows, mostly small differences, which the filtered
    // strategy (fewer short matches, more Huffman coding) packs 2 to 3 % tighter than the
    // default one at the same speed.
    const bool small = compression_ == Compression::Small;
    if (deflateInit2(&state_->zlib, small ? 9 : 1, Z_DEFLATED, -15, 9,
                     small ? Z_FILTERED : Z_DEFAULT_STRATEGY) != Z_OK)
        throw Error("out of memory for the compressor");
    state_->zlibReady = true;
}

SegmentDeflater::~SegmentDeflater() = default;

void SegmentDeflater::appendSegment(const uint8_t* data, size_t size, bool last,
                                    std::vector<uint8_t>& out)
{
    const size_t bound = SegmentBound(size, state_->zlibReady ? &state_->zlib : nullptr);
    uint8_t* room = state_->room(bound);
    size_t written = 0;
#ifdef LUMEXA_HAVE_ISAL
    if (!state_->zlibReady) {
        isal_zstream s;
        isal_deflate_stateless_init(&s);
        s.level = 1;
        s.level_buf = state_->levelBuffer.data();
        s.level_buf_size = static_cast<uint32_t>(state_->levelBuffer.size());
        s.flush = FULL_FLUSH;
        s.end_of_stream = last ? 1 : 0;
        s.next_in = const_cast<uint8_t*>(data);
        s.avail_in = static_cast<uint32_t>(size);
        s.next_out = room;
        s.avail_out = static_cast<uint32_t>(bound);
        if (isal_deflate_stateless(&s) != COMP_OK)
            throw Error("the compressor failed");
        written = s.total_out;
    }
#endif
    if (state_->zlibReady) {
        z_stream& z = state_->zlib;
        if (deflateReset(&z) != Z_OK)
            throw Error("the compressor failed");
        z.next_in = const_cast<Bytef*>(data);
        z.avail_in = static_cast<uInt>(size);
        z.next_out = room;
        z.avail_out = static_cast<uInt>(bound);
        const int result = deflate(&z, last ? Z_FINISH : Z_SYNC_FLUSH);
        if (result != (last ? Z_STREAM_END : Z_OK) || z.avail_in != 0)
            throw Error("the compressor failed");
        written = z.total_out;
    }
    out.insert(out.end(), room, room + written);
}

void SegmentDeflater::appendZlibStream(const uint8_t* data, size_t size, std::vector<uint8_t>& out)
{
    const auto header = ZlibHeader(compression_);
    out.insert(out.end(), header.begin(), header.end());
    appendSegment(data, size, true, out);
    AppendBigEndian(Adler32(1, data, size), out);
}

std::array<uint8_t, 2> ZlibHeader(Compression compression)
{
    // A 32 KB window; the level field says "fastest" or "maximum", and the check bits
    // make the pair a multiple of 31.
    return compression == Compression::Small ? std::array<uint8_t, 2>{0x78, 0xDA}
                                             : std::array<uint8_t, 2>{0x78, 0x01};
}

uint32_t Adler32(uint32_t adler, const uint8_t* data, size_t size)
{
#ifdef LUMEXA_HAVE_ISAL
    return isal_adler32(adler, data, size);
#else
    while (size > 0) {
        const uInt n = static_cast<uInt>(std::min<size_t>(size, 1u << 30));
        adler = static_cast<uint32_t>(adler32(adler, data, n));
        data += n;
        size -= n;
    }
    return adler;
#endif
}

uint32_t CombineAdler32(uint32_t first, uint32_t second, size_t secondSize)
{
    return static_cast<uint32_t>(
        adler32_combine64(first, second, static_cast<z_off64_t>(secondSize)));
}

void AppendBigEndian(uint32_t value, std::vector<uint8_t>& out)
{
    out.push_back(static_cast<uint8_t>(value >> 24));
    out.push_back(static_cast<uint8_t>(value >> 16));
    out.push_back(static_cast<uint8_t>(value >> 8));
    out.push_back(static_cast<uint8_t>(value));
}

} // namespace lumexa
