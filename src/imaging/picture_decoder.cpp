// Picture decoding through GraphicsMagick.
#include "imaging/picture_decoder.h"

#include "core/error.h"

namespace lumexa {

DecodedPicture DecodePictureFile(const std::string& path)
{
    throw Error("Cannot read picture " + path);
}

std::vector<std::string> DecodableFormats()
{
    return {};
}

} // namespace lumexa
