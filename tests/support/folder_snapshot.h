// What a folder holds, to compare before and after a run that must leave it as it was.
#pragma once

#include <filesystem>
#include <map>
#include <string>

namespace lumexa::testing
{

// Every entry of `folder` and its subfolders by relative path: a regular file's bytes,
// where a symbolic link points, or the kind of anything else (a folder, a FIFO, a device).
std::map<std::string, std::string> FolderSnapshot(const std::filesystem::path& folder);

} // namespace lumexa::testing
