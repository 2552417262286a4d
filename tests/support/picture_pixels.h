// A result file's pixels as GraphicsMagick reads them back, for tests that compare what
// lumexa-render wrote in one format, size or part with another.
#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <vector>

namespace lumexa::testing
{

struct Pixels {
    int width = 0;
    int height = 0;
    std::vector<uint8_t> rgba; // rows top-down, four bytes a pixel

    const uint8_t* at(int x, int y) const
    {
        return rgba.data() + (static_cast<size_t>(y) * width + x) * 4;
    }
    friend bool operator==(const Pixels&, const Pixels&) = default;
};

// The picture in `file`, alpha included. GraphicsMagick must have been initialised.
Pixels ReadPixels(const std::filesystem::path& file);

} // namespace lumexa::testing
