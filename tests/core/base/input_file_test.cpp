// Text files (projects, language files) are read only when they are regular files of a
// sensible size holding text; FIFOs and devices are refused before they can hang the
// program or fill its memory, and every refusal names the file and the reason.
#include "core/base/error.h"
#include "core/base/input_file.h"
#include "core/base/text_codec.h"
#include "support/scratch_folder.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <functional>
#include <sys/stat.h>

namespace fs = std::filesystem;

namespace lumexa
{
namespace
{

class InputFiles : public ::testing::Test
{
  protected:
    std::string make(const std::string& name, const std::string& bytes)
    {
        std::ofstream(dir / name, std::ios::binary) << bytes;
        return (dir / name).string();
    }

    lumexa::testing::ScratchFolder scratch;
    const fs::path dir = scratch.path();
};

TEST_F(InputFiles, TextFilesThatAreNoTextFilesAreRefusedByName)
{
    ASSERT_EQ(::mkfifo((dir / "fifo.lng").c_str(), 0644), 0);
    fs::create_directory(dir / "folder.lng");
    // Sparse: a stat says 2 GB, no block is written and none may be read.
    const std::string huge = make("huge.lng", "");
    fs::resize_file(huge, 2ull << 30);
    const std::string justTooLarge = make("over.lng", "");
    fs::resize_file(justTooLarge, kMostTextFileBytes + 1);

    struct Case {
        std::string path;
        std::string expected; // the whole message
    };
    const Case cases[] = {
        {(dir / "none.lng").string(), "Cannot open file " + (dir / "none.lng").string()},
        {(dir / "folder.lng").string(),
         "Cannot open file " + (dir / "folder.lng").string() + ": it is a folder"},
        {(dir / "fifo.lng").string(),
         "Cannot open file " + (dir / "fifo.lng").string() + ": it is not a regular file"},
        {"/dev/zero", "Cannot open file /dev/zero: it is not a regular file"},
        {huge, "Cannot open file " + huge + ": it is larger than 64 MB"},
        {justTooLarge, "Cannot open file " + justTooLarge + ": it is larger than 64 MB"},
        {make("nul.lng", std::string("a=b\0c\r\n", 6)),
         "Cannot open file " + (dir / "nul.lng").string() + ": it is not a text file"},
        {make("utf16.lng", std::string("\xFF\xFE"
                                       "a\0=\0b\0",
                                       8)),
         "Cannot open file " + (dir / "utf16.lng").string() + ": it is not a text file"},
    };
    for (const Case& c : cases) {
        try {
            ReadTextFileLines(c.path);
            ADD_FAILURE() << c.path << " was read";
        } catch (const Error& e) {
            EXPECT_EQ(std::string(e.what()), c.expected);
        }
    }
}

TEST_F(InputFiles, FilesUpToTheLimitAreReadWhole)
{
    const std::string text = make("ok.lng", "\xEF\xBB\xBFone\r\ntwo\nthree");
    EXPECT_EQ(ReadTextFileLines(text), (std::vector<std::string>{"one", "two", "three"}));
    EXPECT_TRUE(ReadTextFileLines(make("empty.lng", "")).empty());

    const std::string atLimit = make("limit.bin", "");
    fs::resize_file(atLimit, 1000);
    EXPECT_EQ(ReadInputFile(atLimit, 1000).bytes, std::string(1000, '\0'));
    EXPECT_EQ(ReadInputFile(atLimit, 999).refusal, InputRefusal::TooLarge);

    // Through a link, as the user named it.
    fs::create_symlink("ok.lng", dir / "link.lng");
    EXPECT_EQ(ReadTextFileLines((dir / "link.lng").string()).size(), 3u);
}

TEST_F(InputFiles, SameFileThroughLinksButNotByName)
{
    const std::string a = make("a.tga", "a");
    const std::string b = make("b.tga", "b");
    fs::create_symlink("a.tga", dir / "link.tga");
    fs::create_hard_link(a, dir / "hard.tga");
    EXPECT_TRUE(IsSameFile(a, (dir / "link.tga").string()));
    EXPECT_TRUE(IsSameFile(a, (dir / "hard.tga").string()));
    EXPECT_TRUE(IsSameFile(a, (dir / "." / "a.tga").string()));
    EXPECT_FALSE(IsSameFile(a, b));
    EXPECT_FALSE(IsSameFile(a, (dir / "none.tga").string()));
    EXPECT_FALSE(IsSameFile((dir / "none.tga").string(), (dir / "none.tga").string()));
}

} // namespace
} // namespace lumexa
