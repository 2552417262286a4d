// AtomicFile on its own: a commit puts the whole file in place, anything short of a commit
// leaves the earlier file as it was and no temporary file beside it, every failure names
// the destination with the reason, and a new or replaced file gets the mode a rewrite in
// place would give it.
#include "core/base/atomic_file.h"

#include "core/base/error.h"
#include "support/file_bytes.h"
#include "support/scratch_folder.h"
#include "support/unprivileged.h"

#include <gtest/gtest.h>

#include <csignal>
#include <fcntl.h>
#include <filesystem>
#include <functional>
#include <optional>
#include <regex>
#include <set>
#include <string>
#include <sys/file.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace fs = std::filesystem;
using lumexa::testing::ReadAll;
using lumexa::testing::WriteAll;

namespace lumexa
{
namespace
{

class AtomicFileTest : public ::testing::Test
{
  protected:
    std::string file(const std::string& name) const { return (dir / name).string(); }

    // The names in the folder and its subfolders: a temporary file left behind shows here.
    std::set<std::string> names() const
    {
        std::set<std::string> all;
        for (const auto& e : fs::recursive_directory_iterator(dir))
            all.insert(e.path().lexically_relative(dir).string());
        return all;
    }

    lumexa::testing::ScratchFolder scratch;
    const fs::path dir = scratch.path();
};

void Write(AtomicFile& f, const std::string& bytes)
{
    f.write(bytes.data(), bytes.size());
}

TEST_F(AtomicFileTest, CommitPutsTheWholeFileInPlace)
{
    WriteAll(dir / "out", "earlier");
    AtomicFile f(file("out"));
    Write(f, "new ");
    Write(f, "bytes");
    EXPECT_EQ(ReadAll(dir / "out"), "earlier") << "replaced before the commit";
    f.commit();
    EXPECT_EQ(ReadAll(dir / "out"), "new bytes");
    EXPECT_EQ(names(), std::set<std::string>{"out"});

    AtomicFile fresh(file("fresh"));
    Write(fresh, "made");
    fresh.commit();
    EXPECT_EQ(ReadAll(dir / "fresh"), "made");
    EXPECT_EQ(names(), (std::set<std::string>{"fresh", "out"}));
}

TEST_F(AtomicFileTest, WithoutACommitTheEarlierFileStays)
{
    const std::function<void(AtomicFile&)> ends[] = {
        [](AtomicFile& f) { f.discard(); },
        [](AtomicFile& f) {
            f.discard();
            f.discard();
        },
        [](AtomicFile&) {}, // destroyed unfinished, as when a render fails
    };
    for (size_t i = 0; i < std::size(ends); ++i) {
        SCOPED_TRACE(i);
        WriteAll(dir / "out", "earlier");
        {
            AtomicFile f(file("out"));
            Write(f, "half a result");
            ends[i](f);
        }
        EXPECT_EQ(ReadAll(dir / "out"), "earlier");
        {
            AtomicFile f(file("none"));
            Write(f, "half a result");
            ends[i](f);
        }
        EXPECT_EQ(names(), std::set<std::string>{"out"});
    }
}

TEST_F(AtomicFileTest, RefusalsNameTheDestinationAndTheReason)
{
    fs::create_directory(dir / "folder");
    ASSERT_EQ(::mkfifo(file("fifo").c_str(), 0644), 0);
    fs::create_symlink("loop-b", dir / "loop-a");
    fs::create_symlink("loop-a", dir / "loop-b");
    struct Case {
        const char* what;
        std::string path;
        std::string reason;
    };
    const Case cases[] = {
        {"missing folder", file("none/out"), "No such file or directory"},
        {"a folder", file("folder"), "Is a directory"},
        {"a FIFO", file("fifo"), "it is not a regular file"},
        {"a loop of links", file("loop-a"), "Too many levels of symbolic links"},
        // Nobody, not even root, makes a file here.
        {"a folder that takes no files", "/proc/lumexa-out", ""},
    };
    const std::set<std::string> before = names();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        try {
            AtomicFile f(c.path);
            ADD_FAILURE() << "opened";
        } catch (const Error& e) {
            EXPECT_EQ(e.file(), c.path);
            if (!c.reason.empty()) {
                EXPECT_EQ(e.reason(), c.reason);
            }
            EXPECT_EQ(std::string(e.what()), "Cannot write file " + c.path + ": " + e.reason());
        }
        EXPECT_EQ(names(), before);
    }
    EXPECT_TRUE(fs::is_fifo(dir / "fifo"));
}

// A full disk, as a file size limit gives it: the write fails with the reason, and a
// commit after it cannot pass the partial file off as the result.
TEST_F(AtomicFileTest, FailedWriteLeavesTheEarlierFile)
{
    WriteAll(dir / "out", "earlier");
    rlimit saved{};
    ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &saved), 0);
    const auto savedSignal = std::signal(SIGXFSZ, SIG_IGN);
    rlimit small = saved;
    small.rlim_cur = 16 * 1024;
    ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &small), 0);

    std::optional<Error> writeError;
    std::optional<Error> commitError;
    {
        AtomicFile f(file("out"));
        const std::string block(64 * 1024, 'x');
        try {
            Write(f, block);
        } catch (const Error& e) {
            writeError = e;
        }
        try {
            f.commit();
        } catch (const Error& e) {
            commitError = e;
        }
    }
    ::setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, savedSignal);

    ASSERT_TRUE(writeError);
    EXPECT_EQ(std::string(writeError->what()),
              "Cannot write file " + file("out") + ": File too large");
    ASSERT_TRUE(commitError);
    EXPECT_EQ(commitError->file(), file("out"));
    EXPECT_EQ(ReadAll(dir / "out"), "earlier");
    EXPECT_EQ(names(), std::set<std::string>{"out"});
}

mode_t ModeOf(const fs::path& p)
{
    struct stat st {
    };
    EXPECT_EQ(::stat(p.c_str(), &st), 0) << p;
    return st.st_mode & 07777;
}

// As if rewritten in place: a new file's mode is the umask's, a replaced file keeps its
// own, and a link stays a link while the file it points to is replaced.
TEST_F(AtomicFileTest, ModesAndLinksAreThoseOfARewriteInPlace)
{
    struct Case {
        const char* what;
        mode_t umask;
        int earlierMode; // -1: no earlier file
        bool throughLink;
        mode_t expected;
    };
    const Case cases[] = {
        {"new file, umask 022", 022, -1, false, 0644},
        {"new file, umask 027", 027, -1, false, 0640},
        {"0600 file replaced, umask 022", 022, 0600, false, 0600},
        {"0754 file replaced, umask 077", 077, 0754, false, 0754},
        {"0640 file replaced through a link", 022, 0640, true, 0640},
        {"new file through a link", 022, -1, true, 0644},
    };
    fs::create_directory(dir / "real");
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const fs::path target = dir / "real" / "out";
        fs::remove(target);
        fs::remove(dir / "link");
        if (c.earlierMode >= 0) {
            WriteAll(target, "earlier");
            fs::permissions(target, static_cast<fs::perms>(c.earlierMode));
        }
        if (c.throughLink)
            fs::create_symlink("real/out", dir / "link");
        const mode_t savedMask = ::umask(c.umask);
        {
            AtomicFile f(c.throughLink ? file("link") : target.string());
            Write(f, "new");
            f.commit();
        }
        ::umask(savedMask);
        EXPECT_EQ(ReadAll(target), "new");
        EXPECT_EQ(ModeOf(target), c.expected);
        if (c.throughLink) {
            EXPECT_TRUE(fs::is_symlink(dir / "link"));
        }
    }
}

// The id of a process that has ended.
pid_t DeadProcess()
{
    const pid_t child = ::fork();
    if (child == 0)
        ::_exit(0);
    int status = 0;
    ::waitpid(child, &status, 0);
    return child;
}

// Where no nameless file can be made (no /proc, a file system without them) the temporary
// file has a name that holds the writer's process id; the next write into the folder takes
// away what killed writers left, and nothing of a writer that still runs.
TEST_F(AtomicFileTest, LeftoversOfKilledWritersGoAndLiveWritersFilesStay)
{
    const std::string dead = std::to_string(DeadProcess());
    const std::string live = std::to_string(::getppid());
    struct Case {
        const char* what;
        std::string name;
        bool removed;
    };
    const Case cases[] = {
        {"a dead writer's file", ".lumexa-" + dead + "-0123abcd.tmp", true},
        {"a live writer's file", ".lumexa-" + live + "-0123abcd.tmp", false},
        {"this process's own file", ".lumexa-" + std::to_string(::getpid()) + "-0123abcd.tmp",
         false},
        {"a dead id's file that a live writer holds", ".lumexa-" + dead + "-45670000.tmp", false},
        {"a name without an id", ".lumexa-0123abcd.tmp", false},
        {"a name of another shape", ".lumexa-" + dead + "-xyz.tmp", false},
        {"another file", "notes-" + dead + ".tmp", false},
    };
    for (const Case& c : cases)
        WriteAll(dir / c.name, "left over");
    // A live run keeps its file locked, whatever id its name holds (one of another
    // container's processes, say).
    const int held = ::open(file(cases[3].name).c_str(), O_RDONLY);
    ASSERT_GE(held, 0);
    ASSERT_EQ(::flock(held, LOCK_EX), 0);
    fs::create_directory(dir / (".lumexa-" + dead + "-89ab0000.tmp"));

    AtomicFileOptions named;
    named.nameless = false;
    AtomicFile f(file("out"), named);
    const std::regex own("\\.lumexa-" + std::to_string(::getpid()) + "-[0-9a-f]{8}\\.tmp");
    int ownFiles = 0;
    for (const std::string& name : names())
        ownFiles += std::regex_match(name, own) && name != cases[2].name ? 1 : 0;
    EXPECT_EQ(ownFiles, 1) << "the file being written holds this process's id";
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(fs::exists(dir / c.name), !c.removed);
    }
    EXPECT_TRUE(fs::is_directory(dir / (".lumexa-" + dead + "-89ab0000.tmp")));
    Write(f, "new");
    f.commit();
    EXPECT_EQ(ReadAll(dir / "out"), "new");
    ::close(held);
}

// As cp: a file the user may not write is refused, and replaced only when the user agreed
// (the windows ask). Root may write any file, so the checks run as an ordinary user.
TEST_F(AtomicFileTest, ReadOnlyDestinationIsReplacedOnlyWhenAgreedTo)
{
    fs::permissions(dir, fs::perms::all);
    WriteAll(dir / "read-only", "kept");
    fs::permissions(dir / "read-only", fs::perms(0444));
    WriteAll(dir / "writable", "earlier");
    fs::permissions(dir / "writable", fs::perms(0666));
    struct Case {
        const char* what;
        const char* name;
        bool agreed;
        const char* reason; // empty: replaced
        mode_t mode;
    };
    const Case cases[] = {
        {"read-only, not agreed", "read-only", false, "Permission denied (the file is read-only)",
         0444},
        {"writable", "writable", false, "", 0666},
        {"read-only, agreed", "read-only", true, "", 0444},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const std::string path = file(c.name);
        const std::string before = ReadAll(path);
        const int result = lumexa::testing::RunUnprivileged([&] {
            if (IsReadOnlyFile(path) != (std::string(c.name) == "read-only"))
                return 1;
            try {
                AtomicFileOptions options;
                options.replaceReadOnly = c.agreed;
                AtomicFile f(path, options);
                Write(f, "new");
                f.commit();
            } catch (const Error& e) {
                return e.reason() == c.reason && e.file() == path ? 0 : 2;
            }
            return std::string(c.reason).empty() ? 0 : 3;
        });
        EXPECT_EQ(result, 0);
        EXPECT_EQ(ReadAll(path), std::string(c.reason).empty() ? "new" : before);
        EXPECT_EQ(ModeOf(path), c.mode);
        EXPECT_EQ(names(), (std::set<std::string>{"read-only", "writable"}));
    }
    // Root is not stopped, as cp does not stop it.
    if (::geteuid() == 0) {
        EXPECT_FALSE(IsReadOnlyFile(file("read-only")));
    }
}

} // namespace
} // namespace lumexa
