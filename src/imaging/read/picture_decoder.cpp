// Picture decoding through GraphicsMagick. The file is read into memory by us, so that
// folders, empty files and unreadable files get plain messages and its name is never
// parsed by the library (no "format:" prefixes or "[frame]" suffixes). The format is
// chosen by us from the file's signature, so only the picture coders the program offers
// ever run. The size in the header is checked before the pixels are decoded, and the
// library's own limits stop a header that lies about it.
#include "imaging/read/picture_decoder.h"

#include "core/base/error.h"
#include "core/base/input_file.h"

#include <Magick++.h>

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <mutex>
#include <string_view>

namespace lumexa
{

namespace
{

constexpr int64_t kMaxSide = 65535;
constexpr int64_t kMaxPixels = 64LL * 1024 * 1024;
// Files past this size are no pictures the program can use.
constexpr uint64_t kMaxFileBytes = 512ULL * 1024 * 1024;

void initialiseMagick()
{
    static std::once_flag once;
    std::call_once(once, [] {
        // The library's own signal handlers would end the program on SIGINT, SIGTERM or
        // SIGHUP with a temporary file of theirs left behind; the programs handle signals
        // themselves.
        MagickLib::ExceptionInfo exception;
        MagickLib::GetExceptionInfo(&exception);
        MagickLib::InitializeMagickEx(nullptr, MAGICK_OPT_NO_SIGNAL_HANDER, &exception);
        MagickLib::DestroyExceptionInfo(&exception);
        MagickLib::SetMagickResourceLimit(MagickLib::WidthResource, kMaxSide);
        MagickLib::SetMagickResourceLimit(MagickLib::HeightResource, kMaxSide);
        MagickLib::SetMagickResourceLimit(MagickLib::PixelsResource, kMaxPixels);
    });
}

[[noreturn]] void refuse(const std::string& path, const std::string& reason)
{
    throw CannotReadPicture(path, reason);
}

// GraphicsMagick's messages start with the program name and end with the (empty) file
// name and the coder's source line; only the reason in between tells the user something.
std::string reasonOf(const std::exception& e)
{
    std::string text = e.what();
    const size_t colon = text.find(": ");
    if (colon != std::string::npos)
        text = text.substr(colon + 2);
    for (const char* tail : {" ()", " reported by"}) {
        const size_t at = text.find(tail);
        if (at != std::string::npos)
            text = text.substr(0, at);
    }
    return text.empty() ? std::string("the picture cannot be decoded") : text;
}

std::string readBytes(const std::string& path)
{
    InputFile file = ReadInputFile(path, kMaxFileBytes);
    if (file.refusal != InputRefusal::None)
        refuse(path, RefusalReason(file, kMaxFileBytes));
    if (file.bytes.empty())
        refuse(path, "the file is empty");
    return std::move(file.bytes);
}

std::string lowerExtension(const std::string& path)
{
    std::string ext = std::filesystem::path(path).extension().string();
    if (!ext.empty())
        ext.erase(0, 1);
    std::transform(ext.begin(), ext.end(), ext.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return ext;
}

// The format is told by the file's signature, whatever its name; only Targa, which has
// none, goes by its extension. Only these coders ever see the bytes: the library would
// otherwise hand any file it recognises to any of its coders, scripts and vector formats
// with outside helpers among them. Returns the library's format name, or empty.
std::string pictureFormat(std::string_view bytes, const std::string& path)
{
    const auto starts = [bytes](std::string_view signature) {
        return bytes.substr(0, signature.size()) == signature;
    };
    using namespace std::string_view_literals;
    if (starts("BM"sv))
        return "BMP";
    if (starts("GIF87a"sv) || starts("GIF89a"sv))
        return "GIF";
    if (starts("\xFF\xD8\xFF"sv))
        return "JPEG";
    if (starts("\x89PNG\r\n\x1A\n"sv))
        return "PNG";
    if (starts("II*\0"sv) || starts("MM\0*"sv) || starts("II+\0"sv) || starts("MM\0+"sv))
        return "TIFF";
    if (starts("\x52\xCC"sv))
        return "RLE";
    // ZSoft PCX: manufacturer 10, a known version, encoding 0 or 1, a 128-byte header.
    if (bytes.size() >= 128 && bytes[0] == 10 && "\0\2\3\4\5"sv.find(bytes[1]) != bytes.npos &&
        (bytes[2] == 0 || bytes[2] == 1))
        return "PCX";
    const std::string ext = lowerExtension(path);
    if (ext == "tga" || ext == "targa" || ext == "icb" || ext == "vda" || ext == "vst")
        return "TGA";
    return {};
}

uint8_t toByte(MagickLib::Quantum q)
{
    return static_cast<uint8_t>((static_cast<uint64_t>(q) * 255u + MaxRGB / 2) / MaxRGB);
}

// Reads the first frame, or only its header. A warning that the data is corrupt (a
// truncated file, say) refuses the picture; other warnings (unknown tags and the like)
// leave a sound picture.
void readFrom(Magick::Image& image, const Magick::Blob& blob, const std::string& format,
              const std::string& path, bool headerOnly)
{
    try {
        // "FORMAT:" as the name binds the coder; a format set on its own is only a hint
        // that the library's own recognition overrides.
        image.fileName(format + ":");
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
    const std::string format = pictureFormat(bytes, path);
    if (format.empty())
        refuse(path, "it is no picture of a format the program reads");
    const Magick::Blob blob(bytes.data(), bytes.size());

    // The header first: a size past the limits is refused before any pixel is made.
    Magick::Image header;
    readFrom(header, blob, format, path, true);
    const int64_t hw = header.columns();
    const int64_t hh = header.rows();
    if (hw <= 0 || hh <= 0)
        refuse(path, "the picture is empty");
    if (hw > kMaxSide || hh > kMaxSide || hw * hh > kMaxPixels)
        refuse(path, "the picture is too large (" + std::to_string(hw) + " x " +
                         std::to_string(hh) + ")");

    Magick::Image image;
    readFrom(image, blob, format, path, false);

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
