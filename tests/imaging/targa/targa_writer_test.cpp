// The Targa file: header, byte order, bottom-up rows, size refusal and the file that
// appears only when complete.
#include "imaging/targa/targa_writer.h"

#include "core/base/error.h"
#include "support/scratch_folder.h"

#include <gtest/gtest.h>

#include <csignal>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sys/resource.h>
#include <vector>

namespace lumexa
{
namespace
{

namespace fs = std::filesystem;

class TargaWriterTest : public ::testing::Test
{
  protected:
    std::string file(const std::string& name) const { return (dir_ / name).string(); }

    static std::vector<uint8_t> read(const std::string& path)
    {
        std::ifstream in(path, std::ios::binary);
        return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    }
    static void writeText(const std::string& path, const std::string& text)
    {
        std::ofstream(path, std::ios::binary) << text;
    }
    size_t entries() const
    {
        return static_cast<size_t>(std::distance(fs::directory_iterator(dir_), {}));
    }

    lumexa::testing::ScratchFolder scratch;
    const fs::path dir_ = scratch.path();
};

TEST_F(TargaWriterTest, WritesHeaderAndRowsBottomUpInBlueGreenRedCoverageOrder)
{
    const int w = 5, h = 2; // four pixels swapped together and one alone
    TargaWriter writer(file("out.tga"));
    ASSERT_EQ(writer.rowOrder(), RowOrder::BottomUp);
    writer.open(w, h);
    // Rows arrive bottom-up: row y = 1 first. Pixel (x, y) is red 10y+x, green 100+x,
    // blue 200+y, coverage 7x.
    for (int y = h - 1; y >= 0; --y) {
        std::vector<uint8_t> rgba;
        for (int x = 0; x < w; ++x) {
            rgba.push_back(static_cast<uint8_t>(10 * y + x));
            rgba.push_back(static_cast<uint8_t>(100 + x));
            rgba.push_back(static_cast<uint8_t>(200 + y));
            rgba.push_back(static_cast<uint8_t>(7 * x));
        }
        writer.writeRow(rgba.data());
    }
    writer.commit();

    const std::vector<uint8_t> bytes = read(file("out.tga"));
    ASSERT_EQ(bytes.size(), 18u + 4u * w * h);
    const std::vector<uint8_t> header(bytes.begin(), bytes.begin() + 18);
    EXPECT_EQ(header,
              (std::vector<uint8_t>{0, 0, 2, 0, 0, 0, 0, 0, 0, 0, 0, 0, 5, 0, 2, 0, 32, 0}));
    // The first pixel after the header is the bottom-left one.
    EXPECT_EQ(bytes[18], 201); // blue of row 1
    EXPECT_EQ(bytes[19], 100); // green
    EXPECT_EQ(bytes[20], 10);  // red
    EXPECT_EQ(bytes[21], 0);   // coverage
    // The last pixel is the top-right one.
    const size_t last = bytes.size() - 4;
    EXPECT_EQ(bytes[last + 0], 200);
    EXPECT_EQ(bytes[last + 1], 104);
    EXPECT_EQ(bytes[last + 2], 4);
    EXPECT_EQ(bytes[last + 3], 28);
    // Every pixel in between, in the file's order.
    for (int i = 0; i < w * h; ++i) {
        const int x = i % w, y = h - 1 - i / w;
        const uint8_t* p = &bytes[18 + 4 * static_cast<size_t>(i)];
        EXPECT_EQ(p[0], 200 + y);
        EXPECT_EQ(p[1], 100 + x);
        EXPECT_EQ(p[2], 10 * y + x);
        EXPECT_EQ(p[3], 7 * x);
    }
    EXPECT_EQ(entries(), 1u);
}

TEST_F(TargaWriterTest, HeaderHoldsSidesUpTo65535)
{
    const auto h = TargaHeader(65535, 300);
    EXPECT_EQ(h[12], 0xFF);
    EXPECT_EQ(h[13], 0xFF);
    EXPECT_EQ(h[14], 300 & 0xFF);
    EXPECT_EQ(h[15], 300 >> 8);
}

TEST_F(TargaWriterTest, RefusesSidesThatTheHeaderCannotHoldBeforeWritingAnything)
{
    writeText(file("out.tga"), "earlier");
    struct Case {
        int w, h;
    };
    for (Case c : {Case{65536, 10}, Case{10, 65536}, Case{70000, 70000}, Case{0, 5}}) {
        TargaWriter writer(file("out.tga"));
        try {
            writer.open(c.w, c.h);
            FAIL() << c.w << " x " << c.h << " was accepted";
        } catch (const Error& e) {
            const std::string text = e.what();
            EXPECT_NE(text.find(file("out.tga")), std::string::npos) << text;
            EXPECT_NE(text.find(std::to_string(c.w) + " x " + std::to_string(c.h)),
                      std::string::npos)
                << text;
        }
    }
    EXPECT_EQ(read(file("out.tga")).size(), 7u);
    EXPECT_EQ(entries(), 1u);
}

TEST_F(TargaWriterTest, DiscardKeepsTheEarlierFileAndLeavesNoTemporaryFile)
{
    writeText(file("out.tga"), "earlier");
    {
        TargaWriter writer(file("out.tga"));
        writer.open(2, 2);
        const uint8_t row[8] = {};
        writer.writeRow(row);
        writer.discard();
    }
    {
        // Dropped without commit: the same.
        TargaWriter writer(file("out.tga"));
        writer.open(2, 2);
    }
    const std::vector<uint8_t> bytes = read(file("out.tga"));
    EXPECT_EQ(std::string(bytes.begin(), bytes.end()), "earlier");
    EXPECT_EQ(entries(), 1u);
}

TEST_F(TargaWriterTest, DestinationThatCannotBeCreatedIsNamed)
{
    const std::string path = file("missing-folder/out.tga");
    TargaWriter writer(path);
    try {
        writer.open(2, 2);
        FAIL();
    } catch (const Error& e) {
        EXPECT_NE(std::string(e.what()).find(path), std::string::npos) << e.what();
    }
}

// A file size limit makes the writes fail part-way, as a full disk does.
TEST_F(TargaWriterTest, WriteThatFailsPartWayNamesTheFileAndKeepsTheEarlierOne)
{
    writeText(file("out.tga"), "earlier");
    const int w = 1000;
    std::vector<uint8_t> row(static_cast<size_t>(w) * 4, 9);

    rlimit old{};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &old), 0);
    auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit small = old;
    small.rlim_cur = 64 * 1024;
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);

    std::string message;
    {
        TargaWriter writer(file("out.tga"));
        try {
            writer.open(w, 100);
            for (int y = 0; y < 100; ++y)
                writer.writeRow(row.data());
            writer.commit();
        } catch (const Error& e) {
            message = e.what();
        }
    }
    setrlimit(RLIMIT_FSIZE, &old);
    std::signal(SIGXFSZ, oldHandler);

    EXPECT_NE(message.find(file("out.tga")), std::string::npos) << message;
    const std::vector<uint8_t> bytes = read(file("out.tga"));
    EXPECT_EQ(std::string(bytes.begin(), bytes.end()), "earlier");
    EXPECT_EQ(entries(), 1u);
}

} // namespace
} // namespace lumexa
