// Picture decoding through GraphicsMagick. The file is read into memory by us, so that
// directories, empty files and unreadable files get plain messages, and its name is
// never parsed by the library (no "format:" prefixes or "[frame]" suffixes). The size
// in the header is checked before the pixels are decoded, and the library's own limits
// stop a header that lies about it.
#include "imaging/picture_decoder.h"

#include "core/error.h"

#include <Magick++.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <mutex>

namespace lumexa {

namespace {

constexpr int64_t kMaxSide = 65535;
constexpr int64_t kMaxPixels = 64LL * 1024 * 1024;
// Files past this size are no pictures the program can use.
constexpr std::uintmax_t kMaxFileBytes = 512ULL * 1024 * 1024;

void initialiseMagick()
{
    static std::once_flag once;
    std::call_once(once, [] {
        Magick::InitializeMagick(nullptr);
        MagickLib::SetMagickResourceLimit(MagickLib::WidthResource, kMaxSide);
        MagickLib::SetMagickResourceLimit(MagickLib::HeightResource, kMaxSide);
        MagickLib::SetMagickResourceLimit(MagickLib::PixelsResource, kMaxPixels);
    });
}

[[noreturn]] void refuse(const std::string& path, const std::string& reason)
{
    throw Error("Cannot read picture " + path + ": " + reason);
}

// GraphicsMagick's messages start with the program name and end with the stand-in file
// name and the coder's source line; only the reason in between tells the user something.
std::string reasonOf(const std::exception& e)
{
    std::string text = e.what();
    const size_t colon = text.find(": ");
    if (colon != std::string::npos)
        text = text.substr(colon + 2);
    for (const char* tail : {" (picture", " reported by"}) {
        const size_t at = text.find(tail);
        if (at != std::string::npos)
            text = text.substr(0, at);
    }
    return text.empty() ? std::string("the picture cannot be decoded") : text;
}

std::string readBytes(const std::string& path)
{
    namespace fs = std::filesystem;
    std::error_code ec;
    const fs::file_status status = fs::status(path, ec);
    if (ec || !fs::exists(status))
        refuse(path, "the file does not exist");
    if (fs::is_directory(status))
        refuse(path, "it is a folder");
    const std::uintmax_t size = fs::file_size(path, ec);
    if (!ec && size > kMaxFileBytes)
        refuse(path, "the file is too large");
    std::ifstream in(path, std::ios::binary);
    if (!in)
        refuse(path, std::strerror(errno));
    std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (in.bad())
        refuse(path, "the file cannot be read");
    if (bytes.empty())
        refuse(path, "the file is empty");
    return bytes;
}

// The extension tells the library the format of files that carry no signature (Targa);
// files that do carry one are recognised by it whatever their name.
std::string formatHint(const std::string& path)
{
    std::string ext = std::filesystem::path(path).extension().string();
    if (!ext.empty())
        ext.erase(0, 1);
    std::transform(ext.begin(), ext.end(), ext.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    const bool plain =
        !ext.empty() && ext.size() <= 8 &&
        std::all_of(ext.begin(), ext.end(), [](unsigned char c) { return std::isalnum(c) != 0; });
    return plain ? "picture." + ext : "picture";
}

uint8_t toByte(MagickLib::Quantum q)
{
    return static_cast<uint8_t>((static_cast<uint64_t>(q) * 255u + MaxRGB / 2) / MaxRGB);
}

// Reads the first frame, or only its header. A warning that the data is corrupt (a
// truncated file, say) refuses the picture; other warnings (unknown tags and the like)
// leave a sound picture.
void readFrom(Magick::Image& image, const Magick::Blob& blob, const std::string& path,
              bool headerOnly)
{
    try {
        image.fileName(formatHint(path));
        image.subRange(1);
        if (headerOnly)
            image.ping(blob);
        else
            image.read(blob);
    } catch (const Magick::WarningCorruptImage& e) {
        refuse(path, reasonOf(e));
    } catch (const Magick::Warning&) {
    } catch (const Magick::Exception& e) {
        refuse(path, reasonOf(e));
    }
}

} // namespace

DecodedPicture DecodePictureFile(const std::string& path)
{
    initialiseMagick();
    const std::string bytes = readBytes(path);
    const Magick::Blob blob(bytes.data(), bytes.size());

    // The header first: a size past the limits is refused before any pixel is made.
    Magick::Image header;
    readFrom(header, blob, path, true);
    const int64_t hw = header.columns();
    const int64_t hh = header.rows();
    if (hw <= 0 || hh <= 0)
        refuse(path, "the picture is empty");
    if (hw > kMaxSide || hh > kMaxSide || hw * hh > kMaxPixels)
        refuse(path, "the picture is too large (" + std::to_string(hw) + " x " +
                         std::to_string(hh) + ")");

    Magick::Image image;
    readFrom(image, blob, path, false);

    const int64_t w = image.columns();
    const int64_t h = image.rows();
    if (w <= 0 || h <= 0 || !image.isValid())
        refuse(path, "the picture is empty");
    if (w > kMaxSide || h > kMaxSide || w * h > kMaxPixels)
        refuse(path, "the picture is too large");

    DecodedPicture out;
    try {
        if (image.colorSpace() != Magick::RGBColorspace)
            image.colorSpace(Magick::RGBColorspace);
        const bool matte = image.matte();
        out.width = static_cast<int>(w);
        out.height = static_cast<int>(h);
        out.rgba.resize(static_cast<size_t>(w * h * 4));
        uint8_t* dst = out.rgba.data();
        for (int64_t y = 0; y < h; ++y) {
            const MagickLib::PixelPacket* p =
                image.getConstPixels(0, static_cast<int>(y), static_cast<unsigned>(w), 1);
            if (p == nullptr)
                refuse(path, "the picture cannot be decoded");
            for (int64_t x = 0; x < w; ++x, ++p, dst += 4) {
                dst[0] = toByte(p->red);
                dst[1] = toByte(p->green);
                dst[2] = toByte(p->blue);
                // The library keeps transparency, the inverse of opacity.
                dst[3] = matte ? static_cast<uint8_t>(255 - toByte(p->opacity)) : 255;
            }
        }
    } catch (const Magick::Exception& e) {
        refuse(path, reasonOf(e));
    }
    return out;
}

std::vector<std::string> DecodableFormats()
{
    initialiseMagick();
    static const char* const kFormats[] = {"bmp", "gif", "jpg", "jpeg", "pcx",
                                           "rle", "tga", "png", "tif",  "tiff"};
    std::vector<std::string> out;
    for (const char* ext : kFormats) {
        std::string magick = ext;
        std::transform(magick.begin(), magick.end(), magick.begin(),
                       [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
        try {
            const Magick::CoderInfo info(magick);
            if (info.isReadable())
                out.push_back(ext);
        } catch (const Magick::Exception&) {
            // Not built into this library.
        }
    }
    return out;
}

} // namespace lumexa
