// Finding the program's data files.
#include "core/base/data_folder.h"

#include <filesystem>

namespace lumexa
{

std::string ResolveDataFolder(const std::string& programFolder)
{
    namespace fs = std::filesystem;
    std::error_code ec;
    const fs::path program(programFolder);
    if (fs::exists(program / "English.lng", ec))
        return programFolder;
    const fs::path shared = program.parent_path() / "share" / "lumexa";
    if (fs::exists(shared / "English.lng", ec))
        return shared.lexically_normal().string();
    return programFolder;
}

} // namespace lumexa
