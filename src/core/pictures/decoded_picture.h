// A picture as a decoder hands it over: its stored colours and each pixel's opacity.
// The engine receives pictures only through a PictureLoader, so it knows no decoder.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace lumexa
{

struct DecodedPicture {
    int width = 0;
    int height = 0;
    std::vector<uint8_t> rgba; // rows top-down, red, green, blue, opacity
};

// Decodes the file at the path; throws an Error naming the file when it cannot.
using PictureLoader = std::function<DecodedPicture(const std::string& path)>;

} // namespace lumexa
