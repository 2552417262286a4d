// Where the program's files (language files, manuals, examples) are: beside the program
// in the build tree, or in the installed share folder.
#pragma once

#include <string>

namespace lumexa
{

// The folder beside the program when it holds English.lng, else <prefix>/share/lumexa
// when that holds it, else the program's folder.
std::string ResolveDataFolder(const std::string& programFolder);

} // namespace lumexa
