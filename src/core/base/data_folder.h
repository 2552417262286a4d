// Where the program's files (language files, manuals, examples) are: beside the program
// in the build tree, or in the installed share folder.
#pragma once

#include <string>

namespace lumexa
{

// The folder beside the program when it holds English.lng, else <prefix>/share/lumexa
// when that holds it, else the program's folder.
std::string ResolveDataFolder(const std::string& programFolder);

// The folder of the example projects for a data folder found as above: its "examples"
// folder (installed: share/lumexa/examples), else, for a program started from its build
// tree (the data folder is bin/ beside the build's CMakeCache.txt), the source tree's
// data/examples. Empty when there is none.
std::string FindExamplesFolder(const std::string& dataFolder);

} // namespace lumexa
