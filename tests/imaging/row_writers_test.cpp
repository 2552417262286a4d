// PNG and TIFF results read back by GraphicsMagick: the same pixels (alpha included) as
// the rows handed over and as a Targa of them, 300 pixels per inch, at every shape that
// changes how rows fall into compressed pieces, on one and two threads, for both
// compressions; a PNG of several pieces that is one zlib stream; a TIFF whose strips
// libtiff's checker decodes; and failures that leave nothing behind.
#include "imaging/deflate/piece_pipeline.h"
#include "imaging/png/png_writer.h"
#include "imaging/row_writers.h"
#include "imaging/targa/targa_writer.h"
#include "imaging/tiff/tiff_writer.h"
#include "support/scratch_folder.h"

#include <Magick++.h>
#include <gtest/gtest.h>

#include <csignal>
#include <filesystem>
#include <fstream>
#include <random>
#include <sys/resource.h>
#include <vector>
#include <zlib.h>

namespace fs = std::filesystem;

namespace lumexa
{
namespace
{

class RowWriters : public ::testing::Test
{
  protected:
    static void SetUpTestSuite() { Magick::InitializeMagick(nullptr); }

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

    // Rows of noise, of gentle ramps and of one colour, so that every PNG filter is
    // chosen somewhere, with alpha that varies as the coverage of dots does.
    static std::vector<uint8_t> mixedPixels(int width, int height)
    {
        std::vector<uint8_t> px = randomPixels(width, height);
        for (int y = 0; y < height; ++y) {
            uint8_t* row = px.data() + static_cast<size_t>(y) * width * 4;
            for (int x = 0; x < width && y % 3 != 0; ++x) {
                row[4 * x + 0] = static_cast<uint8_t>(y % 3 == 1 ? x : 200);
                row[4 * x + 1] = static_cast<uint8_t>(y % 3 == 1 ? x / 3 : 40);
                row[4 * x + 2] = static_cast<uint8_t>(y);
                row[4 * x + 3] = static_cast<uint8_t>(y % 3 == 1 ? 255 - x : 255);
            }
        }
        return px;
    }

    lumexa::testing::ScratchFolder scratch;
    const fs::path dir = scratch.path();
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

TEST_F(RowWriters, EveryShapeReadsBackAsTheTargaPixelsOnOneAndTwoThreads)
{
    struct Shape {
        const char* what;
        int width, height;
    };
    // A fast piece holds about 256 KB of rows (218 of 300 pixels, 3 of 70000), a small one
    // 1 MB (873 of 300 pixels).
    const Shape shapes[] = {
        {"narrower than a piece", 37, 23},
        {"one row", 1000, 1},
        {"one pixel", 1, 1},
        {"several pieces and a short last one", 300, 2000},
        {"wider than a Targa, a few rows a piece", 70000, 5},
        {"rows of millions of pixels, filtered as they are written", 2100000, 4},
    };
    for (const Shape& shape : shapes) {
        SCOPED_TRACE(shape.what);
        const std::vector<uint8_t> pixels = mixedPixels(shape.width, shape.height);
        int w = 0, h = 0;
        double dpi = 0;
        if (shape.width <= kTargaMaxSide) {
            TargaWriter targa((dir / "r.tga").string());
            writeAll(targa, pixels, shape.width, shape.height);
            ASSERT_EQ(readBack(dir / "r.tga", w, h, dpi), pixels);
        }
        for (const char* name : {"r.png", "r.tif"})
            for (const int threads : {1, 2})
                for (const Compression compression : {Compression::Fast, Compression::Small}) {
                    SCOPED_TRACE(std::string(name) + " on " + std::to_string(threads) +
                                 " threads, " + CompressionName(compression));
                    const fs::path file = dir / name;
                    auto writer = MakeRowWriter(file.string(), OutputFormatForPath(file.string()),
                                                {compression, threads});
                    writeAll(*writer, pixels, shape.width, shape.height);
                    EXPECT_TRUE(readBack(file, w, h, dpi) == pixels);
                    EXPECT_EQ(w, shape.width);
                    EXPECT_EQ(h, shape.height);
                    EXPECT_NEAR(dpi, 300.0, 0.1);
                }
    }
}

// The pieces in flight bound the writer's memory for any size of result: a piece is at
// most 1 MB unless one row is larger, and holds a few rows of a wide result, since each
// piece also repeats the row above its first one. Fast pieces are a quarter of that.
TEST(PieceRows, APieceStaysSmallAndHoldsAFewWideRows)
{
    const struct {
        int width, fast, small;
    } cases[] = {{1, 65536, 262144}, {300, 218, 873}, {25600, 4, 10},
                 {70000, 3, 3},      {200000, 1, 1},  {2000000, 1, 1}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.width);
        EXPECT_EQ(PieceRows(c.width, Compression::Fast), c.fast);
        EXPECT_EQ(PieceRows(c.width, Compression::Small), c.small);
    }
}

// The chunks' data laid end to end must be a single zlib stream: a reader that takes
// it in one go (zlib itself) must end exactly at its end with the checksum accepted,
// and pngcheck must find nothing wrong with the file.
TEST_F(RowWriters, APngOfSeveralPiecesIsOneZlibStream)
{
    const int width = 500, height = 1500; // a dozen pieces fast, three small
    const std::vector<uint8_t> pixels = mixedPixels(width, height);
    for (const Compression compression : {Compression::Fast, Compression::Small}) {
        SCOPED_TRACE(CompressionName(compression));
        const fs::path file = dir / "pieces.png";
        PngWriter writer(file.string(), compression, 2);
        writeAll(writer, pixels, width, height);

        std::ifstream in(file, std::ios::binary);
        const std::vector<uint8_t> bytes{std::istreambuf_iterator<char>(in), {}};
        std::vector<uint8_t> stream;
        int idatChunks = 0;
        for (size_t at = 8; at + 12 <= bytes.size();) {
            const size_t length = static_cast<size_t>(bytes[at]) << 24 | bytes[at + 1] << 16 |
                                  bytes[at + 2] << 8 | bytes[at + 3];
            if (std::string(bytes.begin() + at + 4, bytes.begin() + at + 8) == "IDAT") {
                stream.insert(stream.end(), bytes.begin() + at + 8,
                              bytes.begin() + at + 8 + length);
                ++idatChunks;
            }
            at += 12 + length;
        }
        EXPECT_GT(idatChunks, 3);

        std::vector<uint8_t> raw(static_cast<size_t>(height) * (width * 4 + 1) + 1);
        z_stream z{};
        ASSERT_EQ(inflateInit(&z), Z_OK);
        z.next_in = stream.data();
        z.avail_in = static_cast<uInt>(stream.size());
        z.next_out = raw.data();
        z.avail_out = static_cast<uInt>(raw.size());
        EXPECT_EQ(inflate(&z, Z_FINISH), Z_STREAM_END) << (z.msg ? z.msg : "");
        EXPECT_EQ(z.avail_in, 0u);
        EXPECT_EQ(z.total_out, raw.size() - 1);
        inflateEnd(&z);

        if (std::system("command -v pngcheck > /dev/null") != 0)
            GTEST_SKIP() << "pngcheck is not installed (scripts/setup installs it)";
        EXPECT_EQ(std::system(("pngcheck -q '" + file.string() + "' > /dev/null").c_str()), 0);
    }
}

// libtiff's own checker decodes every strip, interleaved (fast) and plane by plane
// (small), without a complaint.
TEST_F(RowWriters, TiffinfoDecodesEveryStrip)
{
    if (std::system("command -v tiffinfo > /dev/null") != 0)
        GTEST_SKIP() << "tiffinfo is not installed (scripts/setup installs it)";
    const int width = 500, height = 1500; // a dozen strips fast, three a plane small
    const std::vector<uint8_t> pixels = mixedPixels(width, height);
    for (const Compression compression : {Compression::Fast, Compression::Small}) {
        SCOPED_TRACE(CompressionName(compression));
        const fs::path file = dir / "strips.tif";
        TiffWriter writer(file.string(), compression, 2);
        writeAll(writer, pixels, width, height);
        const fs::path complaints = dir / "tiffinfo.txt";
        EXPECT_EQ(std::system(("tiffinfo -D '" + file.string() + "' > /dev/null 2> '" +
                               complaints.string() + "'")
                                  .c_str()),
                  0);
        EXPECT_EQ(fs::file_size(complaints), 0u);
    }
}

// A file size limit makes the writes fail part-way, as a full disk does; the compressing
// threads must not hide the failure or leave the temporary file.
TEST_F(RowWriters, AWriteThatFailsPartWayNamesTheFileAndLeavesNothing)
{
    const int width = 1000, height = 400;
    const std::vector<uint8_t> pixels = randomPixels(width, height);
    rlimit old{};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &old), 0);
    auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    for (const char* name : {"full.png", "full.tif"}) {
        const fs::path file = dir / name;
        std::ofstream(file) << "earlier";
        rlimit small = old;
        small.rlim_cur = 256 * 1024;
        ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
        std::string message;
        try {
            auto writer = MakeRowWriter(file.string(), OutputFormatForPath(file.string()), {});
            writeAll(*writer, pixels, width, height);
        } catch (const std::exception& e) {
            message = e.what();
        }
        setrlimit(RLIMIT_FSIZE, &old);
        EXPECT_NE(message.find("Cannot write file " + file.string()), std::string::npos) << message;
        std::ifstream in(file);
        std::string content;
        in >> content;
        EXPECT_EQ(content, "earlier") << name;
        EXPECT_EQ(std::distance(fs::directory_iterator(dir), fs::directory_iterator()), 1) << name;
        fs::remove(file);
    }
    std::signal(SIGXFSZ, oldHandler);
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
