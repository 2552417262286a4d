// Targa file writing through a temporary file.
#include "imaging/targa/targa_writer.h"

#include "core/base/error.h"

#include <bit>
#include <cstddef>
#include <cstring>
#include <fcntl.h>
#include <limits>
#include <sys/types.h>

namespace lumexa
{

namespace
{

// Red and blue change places, four pixels at a time as 32-bit lanes of a 16-byte vector
// (plain SSE2 on x86), since on the writing thread this copy is part of the serial work.
void SwapRedAndBlue(const uint8_t* in, uint8_t* out, size_t pixels)
{
    size_t i = 0;
    if constexpr (std::endian::native == std::endian::little) {
        using Lanes = uint32_t __attribute__((vector_size(16)));
        for (; i + 4 <= pixels; i += 4) {
            Lanes v;
            std::memcpy(&v, in + 4 * i, sizeof v);
            v = (v & 0xFF00FF00u) | ((v >> 16) & 0xFFu) | ((v & 0xFFu) << 16);
            std::memcpy(out + 4 * i, &v, sizeof v);
        }
    }
    for (; i < pixels; ++i) {
        out[4 * i + 0] = in[4 * i + 2];
        out[4 * i + 1] = in[4 * i + 1];
        out[4 * i + 2] = in[4 * i + 0];
        out[4 * i + 3] = in[4 * i + 3];
    }
}

} // namespace

std::array<uint8_t, kTargaHeaderSize> TargaHeader(int width, int height)
{
    std::array<uint8_t, kTargaHeaderSize> h{};
    h[2] = 2; // uncompressed true colour
    h[12] = static_cast<uint8_t>(width & 0xFF);
    h[13] = static_cast<uint8_t>((width >> 8) & 0xFF);
    h[14] = static_cast<uint8_t>(height & 0xFF);
    h[15] = static_cast<uint8_t>((height >> 8) & 0xFF);
    h[16] = 32;
    h[17] = 0; // no attribute bits declared, origin at the lower left
    return h;
}

void CheckTargaSize(const std::string& path, int64_t width, int64_t height)
{
    const std::string size = std::to_string(width) + " x " + std::to_string(height);
    if (width > kTargaMaxSide || height > kTargaMaxSide)
        throw CannotWrite(path, "the result of " + size +
                                    " pixels is too large for a Targa file, which holds at most " +
                                    std::to_string(kTargaMaxSide) + " pixels in either direction");
    if (width < 1 || height < 1)
        throw CannotWrite(path, "the result of " + size + " pixels is empty");
    // Below 65536 x 65536 the byte count fits every 64-bit file offset; the check keeps
    // that assumption visible should the limit above ever move.
    const unsigned long long bytes =
        kTargaHeaderSize + 4ull * static_cast<uint64_t>(width) * static_cast<uint64_t>(height);
    if (bytes > static_cast<unsigned long long>(std::numeric_limits<off_t>::max()))
        throw CannotWrite(path, "the result of " + size + " pixels is larger than a file can be");
}

TargaWriter::TargaWriter(std::string path, AtomicFileOptions fileOptions)
    : path_(std::move(path)), fileOptions_(fileOptions)
{
}

void TargaWriter::open(int width, int height)
{
    CheckTargaSize(path_, width, height);
    discard();
    width_ = width;
    written_ = 0;
    flushed_ = 0;
    fileRow_.assign(static_cast<size_t>(width) * 4, 0);
    file_ = std::make_unique<AtomicFile>(path_, fileOptions_);
    const auto header = TargaHeader(width, height);
    file_->write(header.data(), header.size());
    written_ = header.size();
}

void TargaWriter::writeRow(const uint8_t* rgbaRow)
{
    if (!file_)
        throw CannotWrite(path_, "the file is not open");
    SwapRedAndBlue(rgbaRow, fileRow_.data(), static_cast<size_t>(width_));
    file_->write(fileRow_.data(), fileRow_.size());
    written_ += fileRow_.size();
    startWriteback();
}

void TargaWriter::startWriteback()
{
#ifdef __linux__
    // A large result would otherwise sit in memory until the commit's sync and then be
    // flushed all at once; asking for each finished stretch to go to disk while later
    // rows are composed overlaps the two. The call does not wait for the disk.
    if (written_ - flushed_ < kWritebackStep)
        return;
    ::sync_file_range(file_->descriptor(), static_cast<off_t>(flushed_),
                      static_cast<off_t>(written_ - flushed_), SYNC_FILE_RANGE_WRITE);
    flushed_ = written_;
#endif
}

void TargaWriter::commit()
{
    if (!file_)
        throw CannotWrite(path_, "the file is not open");
    file_->commit();
    file_.reset();
}

void TargaWriter::discard()
{
    if (file_) {
        file_->discard();
        file_.reset();
    }
}

} // namespace lumexa
