// Taking a folder's snapshot.
#include "support/folder_snapshot.h"

#include "support/file_bytes.h"

namespace fs = std::filesystem;

namespace lumexa::testing
{

std::map<std::string, std::string> FolderSnapshot(const fs::path& folder)
{
    std::map<std::string, std::string> entries;
    for (const auto& e : fs::recursive_directory_iterator(folder)) {
        const fs::file_status s = fs::symlink_status(e.path());
        std::string what;
        if (fs::is_symlink(s))
            what = "link to " + fs::read_symlink(e.path()).string();
        else if (fs::is_regular_file(s))
            what = ReadAll(e.path());
        else
            what = "kind " + std::to_string(static_cast<int>(s.type()));
        entries[e.path().lexically_relative(folder).string()] = what;
    }
    return entries;
}

} // namespace lumexa::testing
