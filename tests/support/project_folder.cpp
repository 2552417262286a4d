// The folder of lumexa-render's hostile cases.
#include "support/project_folder.h"

#include "support/file_bytes.h"
#include "support/folder_snapshot.h"

#include <Magick++.h>

#include <algorithm>

namespace fs = std::filesystem;

namespace lumexa::testing
{

void ProjectFolder::SetUpTestSuite()
{
    Magick::InitializeMagick(nullptr);
}

void ProjectFolder::SetUp()
{
    const fs::path leds = fs::path(LUMEXA_DATA) / "examples" / "leds";
    fs::copy_file(leds / "unlit.png", dir / "unlit.png");
    fs::copy_file(leds / "red.png", dir / "red.png");
    WriteAll(dir / "out.tga", "earlier result");
}

std::string ProjectFolder::writeProject(const std::string& name, const std::string& text,
                                        const std::vector<std::string>& pictures, int fontSize,
                                        const std::vector<std::string>& extra) const
{
    std::string lines = "Text=" + text +
                        "\r\nFontName=DejaVu Sans\r\nFontSize=" + std::to_string(fontSize) + "\r\n";
    for (const std::string& line : extra)
        lines += line + "\r\n";
    for (size_t i = 0; i < pictures.size(); ++i) {
        std::string number = std::to_string(i);
        number.insert(0, 3 - std::min<size_t>(number.size(), 3), '0');
        lines += "ImageF[]=" + number + pictures[i] + "\r\nImageA[]=" + number + "(null)\r\n";
    }
    WriteAll(dir / name, lines);
    return (dir / name).string();
}

std::map<std::string, std::string> ProjectFolder::snapshot() const
{
    return FolderSnapshot(dir);
}

} // namespace lumexa::testing
