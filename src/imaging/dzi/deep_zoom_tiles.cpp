// Deep zoom tiles, one file each.
#include "imaging/dzi/deep_zoom_tiles.h"

#include "core/base/error.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace lumexa
{

const char* TileExtension(TileFormat format)
{
    return format == TileFormat::Jpeg ? "jpeg" : "png";
}

void WriteWholeFile(const std::string& path, const uint8_t* data, size_t size)
{
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
    if (fd < 0)
        throw CannotWrite(path, std::strerror(errno));
    while (size > 0) {
        const ssize_t n = ::write(fd, data, size);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0) {
            const int err = n < 0 ? errno : ENOSPC;
            ::close(fd);
            throw CannotWrite(path, std::strerror(err));
        }
        data += n;
        size -= static_cast<size_t>(n);
    }
    if (::close(fd) != 0)
        throw CannotWrite(path, std::strerror(errno));
}

DeepZoomTiles::DeepZoomTiles(std::string folder, const Pyramid& pyramid, TileFormat format,
                             int quality, Compression compression)
    : folder_(std::move(folder)), pyramid_(pyramid), format_(format), quality_(quality),
      compression_(compression)
{
}

void DeepZoomTiles::prepare(int threads)
{
    for (int level = 0; level < pyramid_.levels(); ++level) {
        const std::string path = folder_ + "/" + std::to_string(level);
        if (::mkdir(path.c_str(), 0777) != 0 && errno != EEXIST)
            throw CannotWrite(path, std::strerror(errno));
    }
    encoders_.clear();
    encoders_.resize(static_cast<size_t>(threads));
    for (Encoder& e : encoders_) {
        if (format_ == TileFormat::Jpeg)
            e.jpeg = std::make_unique<JpegEncoder>(quality_);
        else
            e.png = std::make_unique<PngEncoder>(compression_);
    }
}

std::string DeepZoomTiles::tilePath(const TileKey& key) const
{
    return folder_ + "/" + std::to_string(pyramid_.deepZoomLevel(key.level)) + "/" +
           std::to_string(key.column) + "_" + std::to_string(key.row) + "." +
           TileExtension(format_);
}

void DeepZoomTiles::writeTile(const TileKey& key, const PixelRect& rect, const uint8_t* rgba,
                              size_t stride, int thread)
{
    Encoder& e = encoders_[static_cast<size_t>(thread)];
    const std::vector<uint8_t>& file =
        e.jpeg ? e.jpeg->encode(rgba, rect.width, rect.height, stride)
               : e.png->encode(rgba, rect.width, rect.height, stride);
    WriteWholeFile(tilePath(key), file.data(), file.size());
}

} // namespace lumexa
