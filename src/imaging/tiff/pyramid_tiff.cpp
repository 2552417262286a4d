// Pyramidal TIFF written by hand: libtiff writes one image directory at a time, while the
// tiles of every level come at once from several threads. The tiles go first, each at the
// place a counter hands out; the directories, built here once every tile is in, follow
// them, and the header, written last, points to the first.
#include "imaging/tiff/pyramid_tiff.h"

#include "core/base/error.h"
#include "imaging/deflate/deflate_segment.h"
#include "imaging/deflate/row_filters.h"
#include "imaging/jpeg/jpeg_encoder.h"

#include <cerrno>
#include <cstring>
#include <unistd.h>

namespace lumexa
{

namespace
{

// Tiles start past the room either header needs.
constexpr uint64_t kFirstTile = 16;

enum FieldType : uint16_t { kAscii = 2, kShort = 3, kLong = 4, kRational = 5, kLong8 = 16 };

int TypeSize(uint16_t type)
{
    switch (type) {
    case kAscii:
        return 1;
    case kShort:
        return 2;
    case kLong:
        return 4;
    default:
        return 8;
    }
}

struct Field {
    uint16_t tag;
    uint16_t type;
    std::vector<uint64_t> values; // a rational is two values, numerator and denominator
    uint64_t count() const { return type == kRational ? values.size() / 2 : values.size(); }
};

void Put(std::vector<uint8_t>& out, size_t at, uint64_t value, int bytes)
{
    for (int i = 0; i < bytes; ++i)
        out[at + i] = static_cast<uint8_t>(value >> (8 * i));
}

// The field's values as the file holds them, little-endian.
std::vector<uint8_t> FieldBytes(const Field& f)
{
    const int size = f.type == kRational ? 4 : TypeSize(f.type);
    std::vector<uint8_t> bytes(f.values.size() * static_cast<size_t>(size));
    for (size_t i = 0; i < f.values.size(); ++i)
        Put(bytes, i * size, f.values[i], size);
    return bytes;
}

void WriteAt(int fd, const std::string& path, const uint8_t* data, size_t size, uint64_t at)
{
    while (size > 0) {
        const ssize_t n = ::pwrite(fd, data, size, static_cast<off_t>(at));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            throw CannotWrite(path, std::strerror(n < 0 ? errno : ENOSPC));
        data += n;
        size -= static_cast<size_t>(n);
        at += static_cast<uint64_t>(n);
    }
}

} // namespace

struct PyramidTiff::Encoder {
    std::unique_ptr<SegmentDeflater> deflater;
    std::unique_ptr<JpegEncoder> jpeg;
    std::vector<uint8_t> padded;
    std::vector<uint8_t> predicted;
    std::vector<uint8_t> deflated;
};

PyramidTiff::PyramidTiff(std::string path, const Pyramid& pyramid, TileFormat format, int quality,
                         Compression compression, int dpi)
    : path_(std::move(path)), pyramid_(pyramid), format_(format), quality_(quality),
      compression_(compression), dpi_(dpi), file_(path_), end_(kFirstTile)
{
    if (pyramid.overlap() != 0 || pyramid.tileSize() % 16 != 0)
        throw Error("A pyramidal TIFF's tiles are a multiple of 16 pixels and do not overlap");
    for (int level = 0; level < pyramid.levels(); ++level) {
        const size_t tiles = static_cast<size_t>(pyramid.columns(level)) * pyramid.rows(level);
        offsets_.emplace_back(tiles, 0);
        lengths_.emplace_back(tiles, 0);
    }
}

PyramidTiff::~PyramidTiff()
{
    discard();
}

void PyramidTiff::prepare(int threads)
{
    encoders_.clear();
    for (int i = 0; i < threads; ++i) {
        auto e = std::make_unique<Encoder>();
        if (format_ == TileFormat::Jpeg)
            e->jpeg = std::make_unique<JpegEncoder>(quality_);
        else
            e->deflater = std::make_unique<SegmentDeflater>(compression_);
        encoders_.push_back(std::move(e));
    }
}

void PyramidTiff::writeTile(const TileKey& key, const PixelRect& rect, const uint8_t* rgba,
                            size_t stride, int thread)
{
    Encoder& e = *encoders_[static_cast<size_t>(thread)];
    const int side = pyramid_.tileSize();
    const size_t rowBytes = static_cast<size_t>(side) * 4;
    // A TIFF's tiles all have the full size: those cut by the right or bottom edge are
    // filled up with black, transparent pixels.
    if (rect.width != side || rect.height != side) {
        e.padded.assign(rowBytes * static_cast<size_t>(side), 0);
        for (int y = 0; y < rect.height; ++y)
            std::memcpy(e.padded.data() + y * rowBytes, rgba + y * stride,
                        static_cast<size_t>(rect.width) * 4);
        rgba = e.padded.data();
        stride = rowBytes;
    }
    const std::vector<uint8_t>* bytes = nullptr;
    if (e.jpeg) {
        bytes = &e.jpeg->encode(rgba, side, side, stride);
    } else {
        e.predicted.resize(rowBytes * static_cast<size_t>(side));
        for (int y = 0; y < side; ++y)
            PredictTiffRow(rgba + y * stride, rowBytes, e.predicted.data() + y * rowBytes);
        e.deflated.clear();
        e.deflater->appendZlibStream(e.predicted.data(), e.predicted.size(), e.deflated);
        bytes = &e.deflated;
    }
    const uint64_t at = end_.fetch_add(bytes->size());
    WriteAt(file_.descriptor(), path_, bytes->data(), bytes->size(), at);
    const size_t index = static_cast<size_t>(key.row) * pyramid_.columns(key.level) + key.column;
    offsets_[static_cast<size_t>(key.level)][index] = at;
    lengths_[static_cast<size_t>(key.level)][index] = bytes->size();
}

std::vector<uint8_t> PyramidTiff::directories(bool big, uint64_t at) const
{
    const bool jpeg = format_ == TileFormat::Jpeg;
    const uint64_t samples = jpeg ? 3 : 4;
    std::vector<uint8_t> out;
    for (int level = 0; level < pyramid_.levels(); ++level) {
        const uint64_t tile = static_cast<uint64_t>(pyramid_.tileSize());
        const uint16_t offsetType = big ? kLong8 : kLong;
        // The print resolution of a level halves with its size.
        const std::vector<uint64_t> resolution = {static_cast<uint64_t>(dpi_), 1ull << level};
        std::vector<Field> fields = {
            {254, kLong, {level == 0 ? 0u : 1u}}, // a reduced version of the first image
            {256, kLong, {static_cast<uint64_t>(pyramid_.levelWidth(level))}},
            {257, kLong, {static_cast<uint64_t>(pyramid_.levelHeight(level))}},
            {258, kShort, std::vector<uint64_t>(samples, 8)},
            {259, kShort, {jpeg ? 7u : 8u}}, // JPEG, or deflate in a zlib stream
            {262, kShort, {jpeg ? 6u : 2u}}, // YCbCr or RGB
            {277, kShort, {samples}},
            {282, kRational, resolution},
            {283, kRational, resolution},
            {284, kShort, {1}},  // samples interleaved
            {296, kShort, {2}},  // per inch
            {305, kAscii, {'L', 'u', 'm', 'e', 'x', 'a', 0}},
        };
        if (!jpeg)
            fields.push_back({317, kShort, {2}}); // horizontal predictor
        fields.push_back({322, kLong, {tile}});
        fields.push_back({323, kLong, {tile}});
        const auto& offsets = offsets_[static_cast<size_t>(level)];
        const auto& lengths = lengths_[static_cast<size_t>(level)];
        fields.push_back({324, offsetType, offsets});
        fields.push_back({325, offsetType, lengths});
        if (jpeg)
            fields.push_back({530, kShort, {2, 2}}); // chroma halved both ways
        else
            fields.push_back({338, kShort, {2}}); // unassociated alpha

        const size_t entrySize = big ? 20 : 12;
        const size_t countSize = big ? 8 : 2;
        const size_t inlineSize = big ? 8 : 4;
        const size_t start = out.size();
        const size_t ifdSize = countSize + fields.size() * entrySize + inlineSize;
        out.resize(start + ifdSize);
        Put(out, start, fields.size(), static_cast<int>(countSize));
        for (size_t i = 0; i < fields.size(); ++i) {
            const Field& f = fields[i];
            const size_t entry = start + countSize + i * entrySize;
            const std::vector<uint8_t> bytes = FieldBytes(f);
            Put(out, entry, f.tag, 2);
            Put(out, entry + 2, f.type, 2);
            Put(out, entry + 4, f.count(), big ? 8 : 4);
            const size_t value = entry + 4 + (big ? 8 : 4);
            if (bytes.size() <= inlineSize) {
                std::copy(bytes.begin(), bytes.end(), out.begin() + static_cast<ptrdiff_t>(value));
            } else {
                // Values that do not fit in the entry follow the directory, on a word
                // boundary.
                if (out.size() % 2 != 0)
                    out.push_back(0);
                Put(out, value, at + out.size(), static_cast<int>(inlineSize));
                out.insert(out.end(), bytes.begin(), bytes.end());
            }
        }
        if (out.size() % 2 != 0)
            out.push_back(0);
        // The next directory, the next level's; 0 after the last.
        const uint64_t next = level + 1 < pyramid_.levels() ? at + out.size() : 0;
        Put(out, start + ifdSize - inlineSize, next, static_cast<int>(inlineSize));
    }
    return out;
}

void PyramidTiff::commit()
{
    try {
        const uint64_t tilesEnd = end_.load();
        // The directories start on a word boundary.
        const uint64_t at = tilesEnd + (tilesEnd % 2);
        std::vector<uint8_t> dirs = directories(false, at);
        const bool big = at + dirs.size() >= bigFrom_;
        if (big)
            dirs = directories(true, at);
        const uint8_t pad = 0;
        if (at != tilesEnd)
            WriteAt(file_.descriptor(), path_, &pad, 1, tilesEnd);
        WriteAt(file_.descriptor(), path_, dirs.data(), dirs.size(), at);
        std::vector<uint8_t> header(big ? 16 : 8, 0);
        header[0] = 'I';
        header[1] = 'I';
        if (big) {
            Put(header, 2, 43, 2);
            Put(header, 4, 8, 2); // offsets are 8 bytes
            Put(header, 8, at, 8);
        } else {
            Put(header, 2, 42, 2);
            Put(header, 4, at, 4);
        }
        WriteAt(file_.descriptor(), path_, header.data(), header.size(), 0);
        file_.commit();
    } catch (...) {
        discard();
        throw;
    }
}

void PyramidTiff::discard()
{
    file_.discard();
}

} // namespace lumexa
