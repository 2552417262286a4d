// A file written in full or not at all: the bytes go to a temporary file in the
// destination's folder, which replaces the destination only on commit. Until then
// any earlier file of that name stays as it was; a file never committed is removed.
//
// The result behaves as if the destination had been rewritten in place: a new file gets
// the mode the user's umask gives, a replaced file keeps its mode, and a destination that
// is a symbolic link stays a link while the file it points to is replaced. A destination
// the user may not write is refused, as cp refuses it, unless the user agreed to replace it.
//
// Where the file system allows it the temporary file has no name until commit, so a killed
// process leaves nothing behind. Elsewhere its name holds the process id
// (".lumexa-PID-XXXXXXXX.tmp") and the file is locked while it is written: the next write
// into that folder removes what killed processes left, and never the file of a live run.
#pragma once

#include <cstddef>
#include <string>

namespace lumexa
{

struct AtomicFileOptions {
    // Replace a destination the user may not write (read-only, say): only when the user
    // was asked and agreed.
    bool replaceReadOnly = false;
    // A temporary file without a name where the file system allows one; false names it
    // from the start, as where no nameless one can be made.
    bool nameless = true;
};

// True when `path` is an existing file the user may not write (mode 0444, say): the file
// AtomicFile refuses unless the user agreed to replace it. Root may write any file.
bool IsReadOnlyFile(const std::string& path);

class AtomicFile
{
  public:
    // Creates the temporary file; throws an Error naming `path` when it cannot, also
    // when `path` exists and is not a regular file (a folder, a FIFO, a device) or, unless
    // `options` allow it, may not be written by the user. Removes the temporary files that
    // killed processes left in the folder.
    explicit AtomicFile(std::string path, AtomicFileOptions options = {});
    ~AtomicFile();
    AtomicFile(const AtomicFile&) = delete;
    AtomicFile& operator=(const AtomicFile&) = delete;

    // Writes all bytes or throws an Error naming the destination and the reason.
    void write(const void* data, size_t size);
    // Flushes the file and puts it in place of the destination.
    void commit();
    // Closes and removes the temporary file; the destination is untouched.
    void discard();

    // The destination as given, for messages.
    const std::string& path() const { return path_; }
    // The open temporary file, for writers that must seek (it stays owned by this object).
    int descriptor() const { return fd_; }

  private:
    // Drops the temporary file and throws "Cannot write file PATH: reason" for errno `err`.
    [[noreturn]] void fail(int err);
    void openNamedTemporary();

    std::string path_;
    // The file that is replaced: `path_` with symbolic links followed.
    std::string target_;
    std::string folder_;
    // The temporary file's name while it has one (never, until commit, with O_TMPFILE).
    std::string tempPath_;
    int fd_ = -1;
    bool anonymous_ = false;
};

} // namespace lumexa
