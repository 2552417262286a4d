// Reading an input file (a project, a language file, a picture) whole, only when it is
// what it claims to be: a regular file of a sensible size. A FIFO would hang the program
// in open or read, a device such as /dev/zero would fill the memory, so both are refused
// before a byte is read.
#pragma once

#include <cstdint>
#include <string>

namespace lumexa
{

enum class InputRefusal {
    None,
    Missing,    // nothing of that name
    Folder,     // a folder
    NotRegular, // a FIFO, a device node, a socket
    TooLarge,   // larger than the caller's limit
    Unreadable, // open or read failed (the errno is kept)
};

struct InputFile {
    std::string bytes;
    InputRefusal refusal = InputRefusal::None;
    int error = 0; // errno of an Unreadable file
};

// Reads the file at `path` (links followed) when it is a regular file of at most
// `limit` bytes; otherwise `refusal` says why and `bytes` is empty.
InputFile ReadInputFile(const std::string& path, uint64_t limit);

// The reason of a refusal in words, for messages ("it is a folder").
std::string RefusalReason(const InputFile& file, uint64_t limit);

// Whether two paths reach the same file (same device and inode, links followed). False
// when either does not exist.
bool IsSameFile(const std::string& a, const std::string& b);

} // namespace lumexa
