// Text of the program's files and fields. Inside the engine text is UTF-8; files are
// read as UTF-8 when they are valid UTF-8 and as Windows-1252 otherwise, and are
// written as UTF-8 with CR LF line ends.
#pragma once

#include "core/base/atomic_file.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace lumexa
{

bool IsValidUtf8(std::string_view bytes);
// Decodes UTF-8 into characters; invalid sequences become U+FFFD.
std::u32string Utf8ToChars(std::string_view utf8);
std::string CharsToUtf8(std::u32string_view chars);
// Windows-1252 bytes to UTF-8.
std::string Cp1252ToUtf8(std::string_view bytes);

// The file's bytes as UTF-8 text (a UTF-8 byte order mark is dropped).
std::string DecodeTextFile(std::string_view bytes);
// Splits text into lines: CR, LF and CR LF each end a line. A last line without an
// end is a line; an end at the very end of the text adds no empty line.
std::vector<std::string> SplitLines(std::string_view text);

// Projects and language files are a few kilobytes; a larger file is none of them.
inline constexpr uint64_t kMostTextFileBytes = 64ull << 20;

// Reads a whole text file as decoded lines; throws "Cannot open file %s" (with the reason
// after a colon when the file exists but is no regular file, is larger than `mostBytes`
// or holds NUL bytes).
std::vector<std::string> ReadTextFileLines(const std::string& path,
                                           uint64_t mostBytes = kMostTextFileBytes);
// Writes lines ending in CR LF through a temporary file beside `path`, renamed over it
// only when every byte is written; throws an Error naming the file on failure and
// leaves any earlier file untouched. `options` say whether a read-only file may be replaced.
void WriteTextFileAtomically(const std::string& path, const std::vector<std::string>& lines,
                             AtomicFileOptions options = {});

} // namespace lumexa
