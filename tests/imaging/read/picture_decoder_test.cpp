// Decoding each offered format at its own size with its opacity, and refusing what is
// no picture: fixtures are written by the tests, with GraphicsMagick where it can write
// the format and byte by byte where it cannot (RLE bitmaps, RLE Targa, Utah RLE).
#include "imaging/read/picture_decoder.h"

#include "core/base/error.h"
#include "support/scratch_folder.h"

#include <Magick++.h>
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace lumexa
{
namespace
{

namespace fs = std::filesystem;
using ::testing::HasSubstr;

class PictureDecoderTest : public ::testing::Test
{
  protected:
    void SetUp() override
    {
        DecodableFormats(); // initialises the library
    }

    std::string path(const std::string& name) const { return (dir_ / name).string(); }

    std::string writeBytes(const std::string& name, const std::vector<uint8_t>& bytes) const
    {
        std::ofstream out(path(name), std::ios::binary);
        out.write(reinterpret_cast<const char*>(bytes.data()),
                  static_cast<std::streamsize>(bytes.size()));
        return path(name);
    }

    // A 4 x 3 picture: red top-left, green top-right, blue bottom-left, white elsewhere.
    std::string writeWithMagick(const std::string& name) const
    {
        Magick::Image image(Magick::Geometry(4, 3), Magick::Color("white"));
        image.pixelColor(0, 0, Magick::Color("red"));
        image.pixelColor(3, 0, Magick::Color("lime"));
        image.pixelColor(0, 2, Magick::Color("blue"));
        image.write(path(name));
        return path(name);
    }

    static std::array<uint8_t, 4> at(const DecodedPicture& p, int x, int y)
    {
        const size_t i = (static_cast<size_t>(y) * p.width + x) * 4;
        return {p.rgba[i], p.rgba[i + 1], p.rgba[i + 2], p.rgba[i + 3]};
    }

    lumexa::testing::ScratchFolder scratch;
    const fs::path dir_ = scratch.path();
};

using Px = std::array<uint8_t, 4>;

TEST_F(PictureDecoderTest, LosslessFormatsGiveStoredColoursOpaque)
{
    for (const char* ext : {"bmp", "gif", "pcx", "tga", "png", "tif"}) {
        SCOPED_TRACE(ext);
        const DecodedPicture p = DecodePictureFile(writeWithMagick(std::string("a.") + ext));
        ASSERT_EQ(p.width, 4);
        ASSERT_EQ(p.height, 3);
        EXPECT_EQ(at(p, 0, 0), (Px{255, 0, 0, 255}));
        EXPECT_EQ(at(p, 3, 0), (Px{0, 255, 0, 255}));
        EXPECT_EQ(at(p, 0, 2), (Px{0, 0, 255, 255}));
        EXPECT_EQ(at(p, 2, 1), (Px{255, 255, 255, 255}));
    }
}

TEST_F(PictureDecoderTest, JpegAtItsOwnSize)
{
    Magick::Image image(Magick::Geometry(16, 8), Magick::Color("rgb(200,100,50)"));
    image.quality(100);
    image.write(path("a.jpg"));
    const DecodedPicture p = DecodePictureFile(path("a.jpg"));
    ASSERT_EQ(p.width, 16);
    ASSERT_EQ(p.height, 8);
    const Px c = at(p, 5, 5);
    EXPECT_NEAR(c[0], 200, 3);
    EXPECT_NEAR(c[1], 100, 3);
    EXPECT_NEAR(c[2], 50, 3);
    EXPECT_EQ(c[3], 255);
}

TEST_F(PictureDecoderTest, PngOpacityIsKept)
{
    Magick::Image image(Magick::Geometry(2, 1), Magick::Color("white"));
    image.matte(true);
    image.pixelColor(0, 0, Magick::Color(MaxRGB, 0, 0, 0));              // opaque red
    image.pixelColor(1, 0, Magick::Color(0, 0, MaxRGB, MaxRGB / 2 + 1)); // blue, half
    image.write(path("a.png"));
    const DecodedPicture p = DecodePictureFile(path("a.png"));
    EXPECT_EQ(at(p, 0, 0), (Px{255, 0, 0, 255}));
    EXPECT_EQ(at(p, 1, 0)[2], 255);
    EXPECT_EQ(at(p, 1, 0)[3], 127);
}

// 3 x 2, 8-bit palette, RLE8: top row (black, black, red), bottom row all red.
std::vector<uint8_t> rle8Bitmap()
{
    const std::vector<uint8_t> data = {3, 1, 0, 0, 2, 0, 1, 1, 0, 0, 0, 1};
    const uint32_t offset = 14 + 40 + 8;
    const uint32_t size = offset + static_cast<uint32_t>(data.size());
    auto le32 = [](std::vector<uint8_t>& v, uint32_t x) {
        for (int i = 0; i < 4; ++i)
            v.push_back(static_cast<uint8_t>(x >> (8 * i)));
    };
    std::vector<uint8_t> b = {'B', 'M'};
    le32(b, size);
    le32(b, 0);
    le32(b, offset);
    le32(b, 40);
    le32(b, 3);
    le32(b, 2);
    b.insert(b.end(), {1, 0, 8, 0});
    le32(b, 1); // RLE8
    le32(b, static_cast<uint32_t>(data.size()));
    le32(b, 2835);
    le32(b, 2835);
    le32(b, 2);
    le32(b, 0);
    b.insert(b.end(), {0, 0, 0, 0, 0, 0, 255, 0}); // black, red
    b.insert(b.end(), data.begin(), data.end());
    return b;
}

TEST_F(PictureDecoderTest, RleBitmapUnderBothNames)
{
    for (const char* name : {"rle8.bmp", "rle8.rle"}) {
        SCOPED_TRACE(name);
        const DecodedPicture p = DecodePictureFile(writeBytes(name, rle8Bitmap()));
        ASSERT_EQ(p.width, 3);
        ASSERT_EQ(p.height, 2);
        EXPECT_EQ(at(p, 0, 0), (Px{0, 0, 0, 255}));
        EXPECT_EQ(at(p, 2, 0), (Px{255, 0, 0, 255}));
        EXPECT_EQ(at(p, 1, 1), (Px{255, 0, 0, 255}));
    }
}

TEST_F(PictureDecoderTest, RleTargaWithAlpha)
{
    // 3 x 2, 32 bits, top-left origin, 8 alpha bits; a run then three raw pixels.
    std::vector<uint8_t> b = {0, 0, 10, 0, 0, 0, 0, 0, 0, 0, 0, 0, 3, 0, 2, 0, 32, 0x28};
    b.insert(b.end(), {0x82, 0, 0, 255, 255}); // three opaque red
    b.insert(b.end(),
             {0x02, 255, 0, 0, 255, 0, 255, 0, 128, 0, 0, 0, 0}); // blue, half green, clear
    const DecodedPicture p = DecodePictureFile(writeBytes("rle.tga", b));
    ASSERT_EQ(p.width, 3);
    ASSERT_EQ(p.height, 2);
    EXPECT_EQ(at(p, 2, 0), (Px{255, 0, 0, 255}));
    EXPECT_EQ(at(p, 0, 1), (Px{0, 0, 255, 255}));
    EXPECT_EQ(at(p, 1, 1), (Px{0, 255, 0, 128}));
    EXPECT_EQ(at(p, 2, 1)[3], 0);
}

TEST_F(PictureDecoderTest, UtahRle)
{
    // 2 x 2, three 8-bit planes, no background; rows bottom-up: red, then green.
    std::vector<uint8_t> b = {0x52, 0xCC, 0, 0, 0, 0, 2, 0, 2, 0, 0x02, 3, 8, 0, 0, 0};
    auto row = [&b](uint8_t r, uint8_t g, uint8_t bl) {
        for (uint8_t plane = 0; plane < 3; ++plane) {
            const uint8_t v = plane == 0 ? r : (plane == 1 ? g : bl);
            b.insert(b.end(), {0x02, plane, 0x06, 1, v, 0});
        }
        b.insert(b.end(), {0x01, 1});
    };
    row(255, 0, 0);
    row(0, 255, 0);
    b.insert(b.end(), {0x07, 0});
    const DecodedPicture p = DecodePictureFile(writeBytes("utah.rle", b));
    ASSERT_EQ(p.width, 2);
    ASSERT_EQ(p.height, 2);
    EXPECT_EQ(at(p, 0, 0), (Px{0, 255, 0, 255}));
    EXPECT_EQ(at(p, 1, 1), (Px{255, 0, 0, 255}));
}

TEST_F(PictureDecoderTest, PictureUnderAnotherFormatsNameIsRecognised)
{
    const std::string png = writeWithMagick("a.png");
    fs::copy_file(png, path("png-named.jpg"));
    fs::copy_file(png, path("png-named.tga"));
    for (const char* name : {"png-named.jpg", "png-named.tga"}) {
        const DecodedPicture p = DecodePictureFile(path(name));
        EXPECT_EQ(at(p, 0, 0), (Px{255, 0, 0, 255})) << name;
    }
}

TEST_F(PictureDecoderTest, WhatIsNoPictureIsRefusedNamingTheFile)
{
    std::vector<std::string> bad;
    bad.push_back(writeBytes("text-named.bmp", {'h', 'e', 'l', 'l', 'o', '\n'}));
    bad.push_back(writeBytes("empty.png", {}));
    // Formats the library knows but the program does not offer never reach their coders.
    const std::string svg = "<svg xmlns='http://www.w3.org/2000/svg' width='2' height='2'/>";
    bad.push_back(writeBytes("vector.png", std::vector<uint8_t>(svg.begin(), svg.end())));
    bad.push_back(writeBytes("vector.tga", std::vector<uint8_t>(svg.begin(), svg.end())));
    const std::string pnm = std::string("P6\n1 1\n255\n") + '\0' + '\0' + '\0';
    bad.push_back(writeBytes("pnm.gif", std::vector<uint8_t>(pnm.begin(), pnm.end())));
    // Each format cut off in the middle of its data.
    for (const char* ext : {"bmp", "gif", "jpg", "pcx", "png", "tga", "tif"}) {
        Magick::Image image;
        image.size(Magick::Geometry(64, 64));
        image.read("gradient:red-blue");
        const std::string whole = path(std::string("whole.") + ext);
        image.write(whole);
        std::vector<uint8_t> bytes(fs::file_size(whole));
        std::ifstream(whole, std::ios::binary)
            .read(reinterpret_cast<char*>(bytes.data()),
                  static_cast<std::streamsize>(bytes.size()));
        bytes.resize(bytes.size() / 2);
        bad.push_back(writeBytes(std::string("truncated.") + ext, bytes));
    }
    fs::create_directory(path("folder.bmp"));
    bad.push_back(path("folder.bmp"));
    bad.push_back(path("missing.bmp"));
    bad.push_back("");
    for (const std::string& file : bad) {
        SCOPED_TRACE(file);
        try {
            DecodePictureFile(file);
            ADD_FAILURE() << "decoded";
        } catch (const Error& e) {
            EXPECT_THAT(e.what(), HasSubstr("Cannot read picture " + file + ": "));
        }
    }
}

TEST_F(PictureDecoderTest, HugeHeaderIsRefusedBeforeDecoding)
{
    // A Targa header claiming 60000 x 60000 pixels with almost no data behind it.
    std::vector<uint8_t> b = {0, 0, 2, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0x60, 0xEA, 0x60, 0xEA, 24, 0x20};
    b.resize(b.size() + 30, 7);
    try {
        DecodePictureFile(writeBytes("huge.tga", b));
        ADD_FAILURE() << "decoded";
    } catch (const Error& e) {
        EXPECT_THAT(e.what(), HasSubstr("huge.tga"));
    }
}

TEST_F(PictureDecoderTest, OfferedFormatsAreReadable)
{
    const std::vector<std::string> formats = DecodableFormats();
    for (const char* ext : {"bmp", "gif", "jpg", "pcx", "rle", "tga", "png", "tif"})
        EXPECT_THAT(formats, ::testing::Contains(ext));
}

} // namespace
} // namespace lumexa
