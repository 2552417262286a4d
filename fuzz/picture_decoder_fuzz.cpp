// Any bytes as a picture file of each extension the program offers: the decoder gives a
// picture whose buffer matches its size, or a clear error, within the memory limit.
#include "core/base/error.h"
#include "imaging/read/picture_decoder.h"

#include <cstdint>
#include <cstdio>
#include <string>
#include <unistd.h>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static const char* const extensions[] = {"bmp", "gif", "jpg", "pcx", "rle",
                                             "tga", "png", "tif", "dat"};
    if (size < 1)
        return 0;
    const char* ext = extensions[data[0] % (sizeof extensions / sizeof *extensions)];
    const std::string path = "/tmp/lumexa-fuzz-picture-" + std::to_string(::getpid()) + "." + ext;
    if (FILE* f = std::fopen(path.c_str(), "wb")) {
        std::fwrite(data + 1, 1, size - 1, f);
        std::fclose(f);
    }
    try {
        const lumexa::DecodedPicture p = lumexa::DecodePictureFile(path);
        if (p.width <= 0 || p.height <= 0 ||
            p.rgba.size() != static_cast<size_t>(p.width) * static_cast<size_t>(p.height) * 4)
            __builtin_trap();
    } catch (const lumexa::Error&) {
    }
    std::remove(path.c_str());
    return 0;
}
