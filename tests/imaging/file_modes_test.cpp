// Every written file (Targa, PNG and TIFF results, projects) is written as if rewritten in
// place: a new file takes its mode from the umask, a replaced file keeps its mode, a
// symbolic link stays and its target is written, a FIFO is refused, and no temporary file
// is left beside it.
#include "core/base/error.h"
#include "core/project/project_file.h"
#include "imaging/row_writers.h"
#include "support/file_bytes.h"
#include "support/scratch_folder.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <set>
#include <sys/stat.h>
#include <sys/sysmacros.h>

namespace fs = std::filesystem;
using lumexa::testing::ReadAll;

namespace lumexa
{
namespace
{

using Write = std::function<void(const std::string&)>;

void WriteResult(const std::string& path)
{
    auto writer = MakeRowWriter(path, OutputFormatForPath(path));
    const uint8_t row[8] = {1, 2, 3, 255, 4, 5, 6, 255};
    writer->open(2, 2);
    writer->writeRow(row);
    writer->writeRow(row);
    writer->commit();
}

void WriteProject(const std::string& path)
{
    ProjectSettings settings;
    LedImageSet leds;
    Logo logo;
    const std::vector<std::string> fonts;
    ProjectState state{settings, leds, logo, fonts};
    WriteProjectFile(path, state);
}

struct Writer {
    const char* name;
    Write write;
};

const Writer kWriters[] = {
    {"a.tga", WriteResult},
    {"a.png", WriteResult},
    {"a.tif", WriteResult},
    {"a.led", WriteProject},
};

mode_t ModeOf(const fs::path& p)
{
    struct stat st {
    };
    EXPECT_EQ(::stat(p.c_str(), &st), 0) << p;
    return st.st_mode & 07777;
}

class FileModes : public ::testing::Test
{
  protected:
    void SetUp() override
    {
        fs::create_directories(dir / "real");
        savedMask = ::umask(022);
    }
    void TearDown() override { ::umask(savedMask); }

    // The names in the test folder and its subfolder, to see that nothing was left over.
    std::set<std::string> names() const
    {
        std::set<std::string> all;
        for (const auto& e : fs::recursive_directory_iterator(dir))
            all.insert(e.path().lexically_relative(dir).string());
        return all;
    }

    lumexa::testing::ScratchFolder scratch;
    const fs::path dir = scratch.path();
    mode_t savedMask = 022;
};

TEST_F(FileModes, NewAndReplacedFilesKeepTheOwnersIntentions)
{
    struct Case {
        const char* what;
        mode_t umask;
        int earlierMode; // -1: no earlier file
        mode_t expected;
    };
    const Case cases[] = {
        {"new file, umask 077", 077, -1, 0600},
        {"new file, umask 022", 022, -1, 0644},
        {"new file, umask 002", 002, -1, 0664},
        {"0600 file replaced, umask 022", 022, 0600, 0600},
        {"0664 file replaced, umask 077", 077, 0664, 0664},
        {"0400 file replaced", 022, 0400, 0400},
    };
    for (const Writer& w : kWriters) {
        for (const Case& c : cases) {
            SCOPED_TRACE(std::string(w.name) + ": " + c.what);
            const fs::path file = dir / w.name;
            fs::remove(file);
            if (c.earlierMode >= 0) {
                std::ofstream(file) << "earlier";
                fs::permissions(file, static_cast<fs::perms>(c.earlierMode));
            }
            ::umask(c.umask);
            w.write(file.string());
            ::umask(022);
            EXPECT_EQ(ModeOf(file), c.expected);
            EXPECT_NE(ReadAll(file), "earlier");
            EXPECT_EQ(names(), (std::set<std::string>{"real", w.name}));
            fs::remove(file);
        }
    }
}

TEST_F(FileModes, SymbolicLinksStayAndTheirTargetIsWritten)
{
    struct Case {
        const char* what;
        bool targetExists;
        bool absolute;
        bool chain; // a link to a link
    };
    const Case cases[] = {
        {"relative link", true, false, false},
        {"absolute link", true, true, false},
        {"link to a link", true, false, true},
        {"link to a file yet to be made", false, false, false},
    };
    for (const Writer& w : kWriters) {
        for (const Case& c : cases) {
            SCOPED_TRACE(std::string(w.name) + ": " + c.what);
            const fs::path target = dir / "real" / w.name;
            const fs::path link = dir / w.name;
            fs::remove_all(dir / "real");
            fs::create_directory(dir / "real");
            fs::remove(link);
            if (c.targetExists) {
                std::ofstream(target) << "earlier";
                fs::permissions(target, fs::perms(0640));
            }
            const fs::path to = c.absolute ? target : fs::path("real") / w.name;
            if (c.chain) {
                fs::create_symlink(w.name, dir / "real" / "hop");
                fs::create_symlink("real/hop", link);
            } else {
                fs::create_symlink(to, link);
            }

            w.write(link.string());

            EXPECT_TRUE(fs::is_symlink(link));
            ASSERT_TRUE(fs::is_regular_file(target));
            EXPECT_NE(ReadAll(target), "earlier");
            EXPECT_EQ(ModeOf(target), c.targetExists ? 0640 : 0644);
            std::set<std::string> expected{"real", w.name, "real/" + std::string(w.name)};
            if (c.chain)
                expected.insert("real/hop");
            EXPECT_EQ(names(), expected);
            fs::remove(link);
        }
    }
}

TEST_F(FileModes, LongNamesAndFilesThatAreNoFiles)
{
    // The special files are made in the test folder, never taken from /dev: a writer that
    // replaced its destination would otherwise replace the system's /dev/null when run as
    // root. A device node can only be made as root; elsewhere the FIFO stands alone.
    std::set<std::string> specials{"fifo"};
    ASSERT_EQ(::mkfifo((dir / "fifo").c_str(), 0644), 0);
    if (::mknod((dir / "null").c_str(), S_IFCHR | 0666, ::makedev(1, 3)) == 0)
        specials.insert("null");
    std::set<std::string> before = specials;
    before.insert("real");

    for (const Writer& w : kWriters) {
        SCOPED_TRACE(w.name);
        // The longest name a folder can hold: the temporary file's name must not be longer.
        const std::string ext = fs::path(w.name).extension().string();
        const fs::path longName = dir / (std::string(255 - ext.size(), 'n') + ext);
        EXPECT_NO_THROW(w.write(longName.string()));
        EXPECT_TRUE(fs::is_regular_file(longName));
        fs::remove(longName);

        for (const std::string& name : specials) {
            const fs::path p = dir / name;
            try {
                w.write(p.string());
                ADD_FAILURE() << p << " was written";
            } catch (const Error& e) {
                EXPECT_NE(std::string(e.what()).find(p.string() + ": it is not a regular file"),
                          std::string::npos)
                    << e.what();
            }
        }
        EXPECT_TRUE(fs::is_fifo(dir / "fifo"));
        if (specials.count("null")) {
            EXPECT_TRUE(fs::is_character_file(dir / "null"));
        }
        EXPECT_EQ(names(), before);
    }
}

} // namespace
} // namespace lumexa
