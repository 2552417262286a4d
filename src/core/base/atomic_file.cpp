// Temporary-file-and-rename writing.
#include "core/base/atomic_file.h"

#include "core/base/error.h"

#include <atomic>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <random>
#include <signal.h>
#include <string_view>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace lumexa
{

namespace
{

// Links are followed as the kernel follows them, up to its own limit.
constexpr int kMostLinks = 40;

std::string folderOf(const std::string& path)
{
    const size_t slash = path.find_last_of('/');
    if (slash == std::string::npos)
        return std::string();
    return slash == 0 ? std::string("/") : path.substr(0, slash);
}

// The file a write to `path` reaches: symbolic links followed one by one, so that a link
// to a file that does not exist yet names the file to create.
std::string followLinks(const std::string& path, int& err)
{
    std::string current = path;
    for (int i = 0; i < kMostLinks; ++i) {
        struct stat st {
        };
        if (::lstat(current.c_str(), &st) != 0 || !S_ISLNK(st.st_mode))
            return current;
        std::string link(static_cast<size_t>(st.st_size > 0 ? st.st_size : 4096), '\0');
        const ssize_t n = ::readlink(current.c_str(), link.data(), link.size());
        if (n < 0) {
            err = errno;
            return current;
        }
        link.resize(static_cast<size_t>(n));
        if (link.empty() || link[0] == '/') {
            current = link;
        } else {
            const std::string folder = folderOf(current);
            current = folder.empty() ? link : folder + "/" + link;
        }
    }
    err = ELOOP;
    return current;
}

// The temporary files are ".lumexa-PID-XXXXXXXX.tmp": the process id tells whose a leftover
// is, and the name stays short whatever the destination's length (a file name of 255 bytes
// must not fail because its temporary name would be longer).
constexpr char kTemporaryPrefix[] = ".lumexa-";
constexpr char kTemporarySuffix[] = ".tmp";

std::string temporaryName()
{
    static std::atomic<unsigned> counter{0};
    static const unsigned seed = std::random_device{}();
    char name[48];
    std::snprintf(name, sizeof name, "%s%ld-%08x%s", kTemporaryPrefix,
                  static_cast<long>(::getpid()), seed ^ (counter.fetch_add(1) * 2654435761u),
                  kTemporarySuffix);
    return name;
}

// The process id in a temporary file's name; 0 for any other name.
pid_t ownerOf(const char* name)
{
    const std::string_view n(name);
    const size_t prefix = sizeof kTemporaryPrefix - 1;
    const size_t suffix = sizeof kTemporarySuffix - 1;
    if (!n.starts_with(kTemporaryPrefix) || !n.ends_with(kTemporarySuffix))
        return 0;
    const size_t dash = n.find('-', prefix);
    if (dash == std::string_view::npos || dash == prefix || n.size() != dash + 1 + 8 + suffix)
        return 0;
    long pid = 0;
    for (size_t i = prefix; i < dash; ++i) {
        if (n[i] < '0' || n[i] > '9' || pid > 100000000)
            return 0;
        pid = pid * 10 + (n[i] - '0');
    }
    return static_cast<pid_t>(pid);
}

// Removes the temporary files of processes that are gone. A file is taken for a leftover
// only when no process of its id runs and nobody holds its lock: a live run keeps its
// file locked, also one whose id this process cannot see (another container's).
void removeLeftovers(const std::string& folder)
{
    const int dirFd =
        ::open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dirFd < 0)
        return;
    DIR* dir = ::fdopendir(dirFd);
    if (dir == nullptr) {
        ::close(dirFd);
        return;
    }
    while (const dirent* entry = ::readdir(dir)) {
        const pid_t owner = ownerOf(entry->d_name);
        if (owner <= 0 || owner == ::getpid())
            continue;
        if (::kill(owner, 0) == 0 || errno != ESRCH)
            continue;
        const int fd = ::openat(dirFd, entry->d_name,
                                O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
        if (fd < 0)
            continue;
        struct stat st {
        };
        if (::fstat(fd, &st) == 0 && S_ISREG(st.st_mode) && ::flock(fd, LOCK_EX | LOCK_NB) == 0)
            ::unlinkat(dirFd, entry->d_name, 0);
        ::close(fd);
    }
    ::closedir(dir);
}

// Syncs the folder so that a rename survives a power cut. A folder that cannot be synced
// (some file systems refuse) changes nothing: the file itself is already on disk.
void syncFolder(const std::string& folder)
{
    const int fd =
        ::open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return;
    ::fsync(fd);
    ::close(fd);
}

} // namespace

bool IsReadOnlyFile(const std::string& path)
{
    struct stat st {
    };
    return ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode) &&
           ::faccessat(AT_FDCWD, path.c_str(), W_OK, AT_EACCESS) != 0 && errno == EACCES;
}

AtomicFile::AtomicFile(std::string path, AtomicFileOptions options) : path_(std::move(path))
{
    int err = 0;
    target_ = followLinks(path_, err);
    if (err != 0)
        fail(err);
    folder_ = folderOf(target_);

    struct stat existing {
    };
    const bool replaces = ::stat(target_.c_str(), &existing) == 0;
    if (replaces && S_ISDIR(existing.st_mode))
        fail(EISDIR);
    if (replaces && !S_ISREG(existing.st_mode)) {
        // A FIFO or a device node is never replaced by a regular file (as root that would
        // replace a system's device), nor written into.
        throw CannotWrite(path_, "it is not a regular file");
    }
    // As cp: a file the user may not write is not replaced behind his back, even where the
    // folder would let us. Root may write any file, and is not stopped either.
    if (replaces && !options.replaceReadOnly && IsReadOnlyFile(target_))
        throw CannotWrite(path_, "Permission denied (the file is read-only)");

    removeLeftovers(folder_);
    // Without /proc a nameless file could not be given a name at the end.
    if (options.nameless && ::access("/proc/self/fd", X_OK) == 0) {
        fd_ =
            ::open(folder_.empty() ? "." : folder_.c_str(), O_TMPFILE | O_WRONLY | O_CLOEXEC, 0666);
        anonymous_ = fd_ >= 0;
    }
    if (fd_ < 0)
        openNamedTemporary();
    // The lock tells a live run's file from a leftover, also once a nameless file has its
    // short-lived name at commit.
    (void)::flock(fd_, LOCK_EX | LOCK_NB);

    if (replaces) {
        // Keeps the owner's intentions: the group where we may, then the mode (a change
        // of owner would clear the set-id bits).
        if (::fchown(fd_, existing.st_uid, existing.st_gid) != 0)
            (void)!::fchown(fd_, static_cast<uid_t>(-1), existing.st_gid);
        if (::fchmod(fd_, existing.st_mode & 07777) != 0)
            fail(errno);
    }
}

void AtomicFile::openNamedTemporary()
{
    // The mode 0666 goes through the umask as any new file's does.
    for (int attempt = 0; attempt < 100; ++attempt) {
        const std::string name = temporaryName();
        const std::string temp = folder_.empty() ? name : folder_ + "/" + name;
        fd_ = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd_ >= 0) {
            tempPath_ = temp;
            return;
        }
        if (errno != EEXIST)
            break;
    }
    fail(errno);
}

AtomicFile::~AtomicFile()
{
    discard();
}

void AtomicFile::write(const void* data, size_t size)
{
    const char* p = static_cast<const char*>(data);
    while (size > 0) {
        const ssize_t n = ::write(fd_, p, size);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            fail(errno);
        }
        p += n;
        size -= static_cast<size_t>(n);
    }
}

void AtomicFile::commit()
{
    if (fd_ < 0)
        throw CannotWrite(path_, "the file is not open");
    if (::fsync(fd_) != 0 && errno != EINVAL && errno != EROFS)
        fail(errno);
    if (anonymous_) {
        // linkat cannot replace a file, so the nameless file gets a short-lived name of its
        // own that is then renamed over the destination.
        const std::string self = "/proc/self/fd/" + std::to_string(fd_);
        for (int attempt = 0; tempPath_.empty(); ++attempt) {
            const std::string name = temporaryName();
            const std::string temp = folder_.empty() ? name : folder_ + "/" + name;
            if (::linkat(AT_FDCWD, self.c_str(), AT_FDCWD, temp.c_str(), AT_SYMLINK_FOLLOW) == 0)
                tempPath_ = temp;
            else if (errno != EEXIST || attempt >= 100)
                fail(errno);
        }
    }
    if (::close(fd_) != 0) {
        fd_ = -1;
        fail(errno);
    }
    fd_ = -1;
    if (std::rename(tempPath_.c_str(), target_.c_str()) != 0)
        fail(errno);
    tempPath_.clear();
    syncFolder(folder_);
}

void AtomicFile::discard()
{
    if (fd_ >= 0) {
        ::close(fd_);
        fd_ = -1;
    }
    if (!tempPath_.empty()) {
        std::remove(tempPath_.c_str());
        tempPath_.clear();
    }
}

void AtomicFile::fail(int err)
{
    const std::string reason = std::strerror(err);
    discard();
    throw CannotWrite(path_, reason);
}

} // namespace lumexa
