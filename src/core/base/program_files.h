// The files the program reads of its own: its language files, manuals and examples in the
// data folder, the language file in force and the settings file. A result or a saved
// project written over one of them would break every later start (a language file full of
// picture bytes, say), so no output may be one of them, by any name.
#pragma once

#include <string>

namespace lumexa
{

// The settings file's organisation and application names (QSettings), shared by the
// window, which keeps its settings there, and lumexa-render, which guards the file.
inline constexpr char kSettingsOrganisation[] = "Lumexa";
inline constexpr char kSettingsApplication[] = "lumexa";

struct ProgramFiles {
    // The data folder: the language files (*.lng) and manuals (*.pdf) in it, and every file
    // under its examples/ folder.
    std::string dataFolder;
    // The language file in force, wherever it lies; empty: none besides the data folder's.
    std::string languageFile;
    // The settings file; empty: none.
    std::string settingsFile;
};

// Why `output` may not be written because it is one of `program`'s files (the same file
// through any link): "it is one of the program's language files", and so on; empty when
// it is none of them, or does not exist.
std::string ProgramFileReason(const std::string& output, const ProgramFiles& program);

// Throws "Cannot write file OUTPUT: <reason>" when `output` is one of the program's files.
void CheckNotProgramFile(const std::string& output, const ProgramFiles& program);

} // namespace lumexa
