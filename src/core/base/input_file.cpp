// Reading input files whole, after making sure they are regular files.
#include "core/base/input_file.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace lumexa
{

namespace
{

InputRefusal kindOf(const struct stat& st)
{
    if (S_ISDIR(st.st_mode))
        return InputRefusal::Folder;
    return S_ISREG(st.st_mode) ? InputRefusal::None : InputRefusal::NotRegular;
}

InputFile refused(InputRefusal why, int err = 0)
{
    InputFile file;
    file.refusal = why;
    file.error = err;
    return file;
}

} // namespace

InputFile ReadInputFile(const std::string& path, uint64_t limit)
{
    struct stat st {
    };
    if (::stat(path.c_str(), &st) != 0)
        return refused(errno == ENOENT || errno == ENOTDIR ? InputRefusal::Missing
                                                           : InputRefusal::Unreadable,
                       errno);
    if (kindOf(st) != InputRefusal::None)
        return refused(kindOf(st));

    // Non-blocking, so that a FIFO put in the file's place since the stat cannot hang
    // the open; the descriptor is checked again, as the name may now reach another file.
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    if (fd < 0)
        return refused(InputRefusal::Unreadable, errno);
    InputFile file;
    if (::fstat(fd, &st) != 0) {
        file = refused(InputRefusal::Unreadable, errno);
    } else if (kindOf(st) != InputRefusal::None) {
        file = refused(kindOf(st));
    } else if (static_cast<uint64_t>(st.st_size) > limit) {
        file = refused(InputRefusal::TooLarge);
    } else {
        // The file may grow while it is read: read up to one byte past the limit to see it.
        file.bytes.resize(static_cast<size_t>(st.st_size));
        size_t have = 0;
        for (;;) {
            if (have == file.bytes.size()) {
                if (have > limit)
                    break;
                file.bytes.resize(static_cast<size_t>(std::min<uint64_t>(limit + 1, have + 65536)));
            }
            const ssize_t n = ::read(fd, file.bytes.data() + have, file.bytes.size() - have);
            if (n < 0 && errno == EINTR)
                continue;
            if (n < 0) {
                file = refused(InputRefusal::Unreadable, errno);
                break;
            }
            if (n == 0)
                break;
            have += static_cast<size_t>(n);
        }
        if (file.refusal == InputRefusal::None) {
            file.bytes.resize(have);
            if (have > limit)
                file = refused(InputRefusal::TooLarge);
        }
    }
    ::close(fd);
    return file;
}

std::string RefusalReason(const InputFile& file, uint64_t limit)
{
    switch (file.refusal) {
    case InputRefusal::None:
        return {};
    case InputRefusal::Missing:
        return "the file does not exist";
    case InputRefusal::Folder:
        return "it is a folder";
    case InputRefusal::NotRegular:
        return "it is not a regular file";
    case InputRefusal::TooLarge:
        return "it is larger than " + std::to_string(limit >> 20) + " MB";
    case InputRefusal::Unreadable:
        break;
    }
    return std::strerror(file.error);
}

bool IsSameFile(const std::string& a, const std::string& b)
{
    struct stat sa {
    }, sb{};
    return ::stat(a.c_str(), &sa) == 0 && ::stat(b.c_str(), &sb) == 0 && sa.st_dev == sb.st_dev &&
           sa.st_ino == sb.st_ino;
}

} // namespace lumexa
