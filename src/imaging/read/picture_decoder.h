// Picture decoding through GraphicsMagick: the program's one picture decoder.
#pragma once

#include "core/pictures/decoded_picture.h"

#include <string>
#include <vector>

namespace lumexa
{

// Decodes any picture file GraphicsMagick reads at its own size. Throws an Error that
// names the file when it cannot be read, decodes to nothing, or is too large.
DecodedPicture DecodePictureFile(const std::string& path);

// The formats the decoder reads, as lower-case file extensions.
std::vector<std::string> DecodableFormats();

} // namespace lumexa
