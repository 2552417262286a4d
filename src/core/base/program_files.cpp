// Telling the program's own files from the files it may write.
#include "core/base/program_files.h"

#include "core/base/error.h"

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <sys/stat.h>

namespace lumexa
{

namespace
{

namespace fs = std::filesystem;

// The examples are a few projects and pictures; a folder that holds more than this is
// no examples folder of ours, and the rest of it is not looked at.
constexpr int kMostExampleEntries = 10000;

struct FileId {
    dev_t device;
    ino_t inode;
};

bool sameAs(const FileId& id, const fs::path& path)
{
    struct stat st {
    };
    return ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode) && st.st_dev == id.device &&
           st.st_ino == id.inode;
}

std::string lowerExtension(const fs::path& path)
{
    std::string ext = path.extension().string();
    std::transform(ext.begin(), ext.end(), ext.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return ext;
}

// The reason when `id` is a language file, manual or example of the data folder.
std::string dataFolderReason(const FileId& id, const fs::path& folder)
{
    std::error_code ec;
    for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
        const fs::path& path = it->path();
        const std::string ext = lowerExtension(path);
        if (ext == ".lng" && sameAs(id, path))
            return "it is one of the program's language files";
        if (ext == ".pdf" && sameAs(id, path))
            return "it is one of the program's manuals";
    }
    int entries = 0;
    for (fs::recursive_directory_iterator
             it(folder / "examples", fs::directory_options::skip_permission_denied, ec),
         end;
         !ec && it != end && entries < kMostExampleEntries; it.increment(ec), ++entries) {
        if (sameAs(id, it->path()))
            return "it is one of the program's examples";
    }
    return {};
}

} // namespace

std::string ProgramFileReason(const std::string& output, const ProgramFiles& program)
{
    // A file that does not exist yet is no file of the program's.
    struct stat st {
    };
    if (output.empty() || ::stat(output.c_str(), &st) != 0 || !S_ISREG(st.st_mode))
        return {};
    const FileId id{st.st_dev, st.st_ino};
    if (!program.settingsFile.empty() && sameAs(id, program.settingsFile))
        return "it is the program's settings file";
    if (!program.languageFile.empty() && sameAs(id, program.languageFile))
        return "it is one of the program's language files";
    if (!program.dataFolder.empty())
        return dataFolderReason(id, program.dataFolder);
    return {};
}

void CheckNotProgramFile(const std::string& output, const ProgramFiles& program)
{
    const std::string reason = ProgramFileReason(output, program);
    if (!reason.empty())
        throw CannotWrite(output, reason);
}

} // namespace lumexa
