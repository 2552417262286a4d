// A file written in full or not at all: the bytes go to a temporary file in the
// destination's folder, which replaces the destination only on commit. Until then
// any earlier file of that name stays as it was; a file never committed is removed.
#pragma once

#include <cstddef>
#include <string>

namespace lumexa
{

class AtomicFile
{
  public:
    // Creates the temporary file; throws an Error naming `path` when it cannot.
    explicit AtomicFile(std::string path);
    ~AtomicFile();
    AtomicFile(const AtomicFile&) = delete;
    AtomicFile& operator=(const AtomicFile&) = delete;

    // Writes all bytes or throws an Error naming the destination and the reason.
    void write(const void* data, size_t size);
    // Flushes, closes and renames the temporary file over the destination.
    void commit();
    // Closes and removes the temporary file; the destination is untouched.
    void discard();

    const std::string& path() const { return path_; }
    // The open temporary file, for writers that must seek (it stays owned by this object).
    int descriptor() const { return fd_; }
    const std::string& temporaryPath() const { return tempPath_; }

  private:
    [[noreturn]] void fail(const std::string& what, int err);

    std::string path_;
    std::string tempPath_;
    int fd_ = -1;
};

} // namespace lumexa
