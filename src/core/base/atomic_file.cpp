// Temporary-file-and-rename writing.
#include "core/base/atomic_file.h"

#include "core/base/error.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace lumexa
{

AtomicFile::AtomicFile(std::string path) : path_(std::move(path))
{
    const size_t slash = path_.find_last_of('/');
    const std::string folder =
        slash == std::string::npos ? std::string() : path_.substr(0, slash + 1);
    const std::string name = slash == std::string::npos ? path_ : path_.substr(slash + 1);
    std::string pattern = folder + "." + name + ".XXXXXX";
    std::vector<char> buf(pattern.begin(), pattern.end());
    buf.push_back('\0');
    fd_ = mkstemp(buf.data());
    if (fd_ < 0)
        fail("Cannot create file", errno);
    tempPath_ = buf.data();
    // mkstemp makes the file private; a result is an ordinary readable file.
    ::fchmod(fd_, 0644);
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
            fail("Cannot write file", errno);
        }
        p += n;
        size -= static_cast<size_t>(n);
    }
}

void AtomicFile::commit()
{
    if (fd_ < 0)
        throw Error("Cannot write file " + path_);
    if (::fsync(fd_) != 0 && errno != EINVAL && errno != EROFS)
        fail("Cannot write file", errno);
    if (::close(fd_) != 0) {
        fd_ = -1;
        fail("Cannot write file", errno);
    }
    fd_ = -1;
    if (std::rename(tempPath_.c_str(), path_.c_str()) != 0)
        fail("Cannot write file", errno);
    tempPath_.clear();
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

void AtomicFile::fail(const std::string& what, int err)
{
    const std::string reason = std::strerror(err);
    discard();
    throw Error(what + " " + path_ + ": " + reason);
}

} // namespace lumexa
