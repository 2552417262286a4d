// Finding the program's data files.
#include "core/base/data_folder.h"

#include <filesystem>
#include <fstream>

namespace lumexa
{

namespace fs = std::filesystem;

namespace
{

bool isFolder(const fs::path& path)
{
    std::error_code ec;
    return fs::is_directory(path, ec);
}

// The source folder a CMake build tree was configured from, as its cache names it.
fs::path sourceOfBuildTree(const fs::path& buildTree)
{
    std::ifstream cache(buildTree / "CMakeCache.txt");
    const std::string key = "CMAKE_HOME_DIRECTORY:INTERNAL=";
    std::string line;
    while (std::getline(cache, line)) {
        if (line.compare(0, key.size(), key) != 0)
            continue;
        std::string value = line.substr(key.size());
        if (!value.empty() && value.back() == '\r')
            value.pop_back();
        return fs::path(value);
    }
    return {};
}

} // namespace

std::string ResolveDataFolder(const std::string& programFolder)
{
    std::error_code ec;
    const fs::path program(programFolder);
    if (fs::exists(program / "English.lng", ec))
        return programFolder;
    const fs::path shared = program.parent_path() / "share" / "lumexa";
    if (fs::exists(shared / "English.lng", ec))
        return shared.lexically_normal().string();
    return programFolder;
}

std::string FindExamplesFolder(const std::string& dataFolder)
{
    if (dataFolder.empty())
        return {};
    const fs::path data = fs::path(dataFolder).lexically_normal();
    if (isFolder(data / "examples"))
        return (data / "examples").string();
    // A trailing separator leaves an empty last part: bin/ and bin are the same folder.
    const fs::path bin = data.has_filename() ? data : data.parent_path();
    const fs::path source = sourceOfBuildTree(bin.parent_path());
    if (!source.empty() && isFolder(source / "data" / "examples"))
        return (source / "data" / "examples").lexically_normal().string();
    return {};
}

} // namespace lumexa
