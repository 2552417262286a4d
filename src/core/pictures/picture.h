// A 24-bit picture held in memory: rows top-down, three bytes per pixel in the order
// blue, green, red. Reading outside the picture gives white (255 in every channel);
// writing outside changes nothing, as the drawing surfaces the design relies on do.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace lumexa
{

struct Rgb {
    uint8_t r = 0, g = 0, b = 0;
    friend bool operator==(const Rgb&, const Rgb&) = default;
};

class Picture
{
  public:
    Picture() = default;
    // A picture of the given size filled with `fill`.
    Picture(int width, int height, Rgb fill = {0, 0, 0});

    int width() const { return width_; }
    int height() const { return height_; }
    bool empty() const { return width_ <= 0 || height_ <= 0; }

    Rgb pixel(int x, int y) const;
    void setPixel(int x, int y, Rgb c);
    void fill(Rgb c);

    // Direct row access: 3 x width bytes, blue, green, red.
    const uint8_t* row(int y) const { return data_.data() + static_cast<size_t>(y) * stride(); }
    uint8_t* row(int y) { return data_.data() + static_cast<size_t>(y) * stride(); }
    size_t stride() const { return static_cast<size_t>(width_) * 3; }

    friend bool operator==(const Picture&, const Picture&) = default;

  private:
    bool inside(int x, int y) const { return x >= 0 && y >= 0 && x < width_ && y < height_; }

    int width_ = 0;
    int height_ = 0;
    std::vector<uint8_t> data_;
};

} // namespace lumexa
