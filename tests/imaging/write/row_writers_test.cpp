// PNG and TIFF results read back by GraphicsMagick: the same pixels (alpha included) as
// the rows handed over, 300 pixels per inch, wide results, and failures that leave
// nothing behind.
#include "imaging/write/png_writer.h"
#include "imaging/write/row_writers.h"
#include "imaging/write/tiff_writer.h"

#include <Magick++.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <random>
#include <unistd.h>
#include <vector>

namespace fs = std::filesystem;

namespace lumexa
{
namespace
{

class RowWriters : public ::testing::Test
{
  protected:
    static void SetUpTestSuite() { Magick::InitializeMagick(nullptr); }
    void SetUp() override
    {
        dir = fs::temp_directory_path() / ("lumexa-writers-" + std::to_string(::getpid()));
        fs::create_directories(dir);
    }
    void TearDown() override { fs::remove_all(dir); }

    // Writes `rgba` (width x height, rows top-down) through the writer in the order it asks.
    static void writeAll(RowWriter& w, const std::vector<uint8_t>& rgba, int width, int height)
    {
        w.open(width, height);
        for (int i = 0; i < height; ++i) {
            const int y = w.rowOrder() == RowOrder::TopDown ? i : height - 1 - i;
            w.writeRow(rgba.data() + static_cast<size_t>(y) * width * 4);
        }
        w.commit();
    }

    static std::vector<uint8_t> randomPixels(int width, int height)
    {
        std::mt19937 rng(7);
        std::vector<uint8_t> px(static_cast<size_t>(width) * height * 4);
        for (auto& b : px)
            b = static_cast<uint8_t>(rng());
        return px;
    }

    static std::vector<uint8_t> readBack(const fs::path& file, int& width, int& height,
                                         double& dpiX)
    {
        Magick::Image image;
        image.read(file.string());
        width = static_cast<int>(image.columns());
        height = static_cast<int>(image.rows());
        dpiX = image.xResolution();
        if (image.resolutionUnits() == Magick::PixelsPerCentimeterResolution)
            dpiX *= 2.54;
        std::vector<uint8_t> px(static_cast<size_t>(width) * height * 4);
        image.write(0, 0, static_cast<unsigned>(width), static_cast<unsigned>(height), "RGBA",
                    Magick::CharPixel, px.data());
        return px;
    }

    fs::path dir;
};

TEST_F(RowWriters, PngAndTiffHoldTheRowsAndAlphaAt300Dpi)
{
    const int width = 37, height = 23;
    const std::vector<uint8_t> pixels = randomPixels(width, height);
    for (const char* name : {"out.png", "out.tif", "out.tiff"}) {
        const fs::path file = dir / name;
        auto writer = MakeRowWriter(file.string(), OutputFormatForPath(file.string()));
        writeAll(*writer, pixels, width, height);
        int w = 0, h = 0;
        double dpi = 0;
        EXPECT_EQ(readBack(file, w, h, dpi), pixels) << name;
        EXPECT_EQ(w, width);
        EXPECT_EQ(h, height);
        EXPECT_NEAR(dpi, 300.0, 0.1) << name;
    }
}

TEST_F(RowWriters, WideResultsBeyondTheTargaLimitWork)
{
    const int width = 70000, height = 3;
    const std::vector<uint8_t> pixels = randomPixels(width, height);
    for (const char* name : {"wide.png", "wide.tif"}) {
        const fs::path file = dir / name;
        auto writer = MakeRowWriter(file.string(), OutputFormatForPath(file.string()));
        writeAll(*writer, pixels, width, height);
        int w = 0, h = 0;
        double dpi = 0;
        EXPECT_EQ(readBack(file, w, h, dpi), pixels) << name;
    }
}

TEST_F(RowWriters, DiscardLeavesAnEarlierFileAndNoTemporary)
{
    for (const char* name : {"keep.png", "keep.tif"}) {
        const fs::path file = dir / name;
        std::ofstream(file) << "earlier";
        auto writer = MakeRowWriter(file.string(), OutputFormatForPath(file.string()));
        const std::vector<uint8_t> row(40, 9);
        writer->open(10, 5);
        writer->writeRow(row.data());
        writer->discard();
        std::ifstream in(file);
        std::string content;
        in >> content;
        EXPECT_EQ(content, "earlier") << name;
        EXPECT_EQ(std::distance(fs::directory_iterator(dir), fs::directory_iterator()), 1) << name;
        fs::remove(file);
    }
}

TEST_F(RowWriters, AMissingFolderIsAnErrorNamingTheFile)
{
    for (const char* name : {"no/such/out.png", "no/such/out.tif"}) {
        const std::string file = (dir / name).string();
        auto writer = MakeRowWriter(file, OutputFormatForPath(file));
        try {
            writer->open(4, 4);
            FAIL() << "opened " << file;
        } catch (const std::exception& e) {
            EXPECT_NE(std::string(e.what()).find(file), std::string::npos) << e.what();
        }
    }
}

TEST(OutputFormats, ChosenByExtensionOrName)
{
    EXPECT_EQ(OutputFormatForPath("a/b.PNG"), OutputFormat::Png);
    EXPECT_EQ(OutputFormatForPath("b.tif"), OutputFormat::Tiff);
    EXPECT_EQ(OutputFormatForPath("b.Tiff"), OutputFormat::Tiff);
    EXPECT_EQ(OutputFormatForPath("b.tga"), OutputFormat::Targa);
    EXPECT_EQ(OutputFormatForPath("b.png.bak"), OutputFormat::Targa);
    EXPECT_EQ(OutputFormatForPath("dir.png/result"), OutputFormat::Targa);
    EXPECT_EQ(OutputFormatForPath("unnamed"), OutputFormat::Targa);
    EXPECT_EQ(ParseOutputFormat("tiff"), OutputFormat::Tiff);
    EXPECT_EQ(ParseOutputFormat("TGA"), OutputFormat::Targa);
    EXPECT_EQ(ParseOutputFormat("jpeg"), std::nullopt);
}

TEST(OutputFormats, BigTiffOnlyWhenTheFileCouldPassFourGigabytes)
{
    EXPECT_FALSE(TiffWriter::needsBigTiff(25600, 4096)); // 420 MB
    EXPECT_TRUE(TiffWriter::needsBigTiff(65536, 16384)); // 4 GiB of pixels
}

} // namespace
} // namespace lumexa
