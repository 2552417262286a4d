// The project file ("Led project", *.led): one "key=value" line per setting, then two
// lines per LED image in strip order. Reading applies the lines in order to the settings,
// the LED set and the logo; writing puts out everything reading needs to get them back.
#pragma once

#include "core/base/atomic_file.h"
#include "core/pictures/decoded_picture.h"
#include "core/pictures/led_image_set.h"
#include "core/pictures/logo.h"
#include "core/project/settings.h"

#include <map>
#include <optional>
#include <string>
#include <vector>

namespace lumexa
{

// Language string numbers of the reader's questions.
inline constexpr int kStringMissingFile = 37;
inline constexpr int kStringMissingTail = 38;
inline constexpr int kStringMissingFont = 39;
// "%1 is not a Lumexa project: ...", %1 the file.
inline constexpr int kStringNotAProject = 111;

// Which picture of the project a refusal is about.
struct RefusedPicture {
    enum class Kind { Led, Alpha, Logo };
    Kind kind = Kind::Led;
    // The LED image an alpha picture belongs to, or the number an LED picture would have
    // had; -1 for the logo.
    int led = -1;
};

// The reader's questions and reports, answered by the main window (dialogs) or by the
// headless renderer (refusals).
class ProjectPrompts
{
  public:
    virtual ~ProjectPrompts() = default;
    // A named LED, alpha or logo file does not exist: the replacement to use, an empty
    // path to skip that picture (an LED's alpha line goes with it) and read on, or
    // std::nullopt for Cancel.
    virtual std::optional<std::string> missingFile(const std::string& path) = 0;
    // No font of this name is listed: the font chosen instead, or std::nullopt to keep
    // the font as it is.
    virtual std::optional<std::string> missingFont(const std::string& fontName) = 0;
    // A picture was refused (size, limit, unreadable file; a full set is reported once
    // with language string 29). Reading goes on, except after a refused logo; an Error
    // thrown here stops it, with the line named.
    virtual void refused(const LoadOutcome& outcome, const std::string& file,
                         const RefusedPicture& picture) = 0;
    // The picture file of an "Image..." line as written (without its number prefix),
    // shown on the loading panel while it is read; "(null)" alpha lines are not shown.
    virtual void loadingLine(const std::string& /*value*/) {}
    // The LED picture the file lists at `slot` (counted from 0 in the file's order) was not
    // added: skipped or refused. The LED images after it take numbers one lower than the
    // text's tags give them.
    virtual void ledSkipped(int /*slot*/, const std::string& /*file*/) {}
};

// Picture paths as a project file spells them. A picture that the file names relative to
// its folder keeps that spelling when the project is written into the same folder again.
struct PicturePathForms {
    std::string folder;                         // the folder of the file read
    std::map<std::string, std::string> written; // full path -> the relative path the file gave
};

// What a project is read into and written from.
struct ProjectState {
    ProjectSettings& settings;
    LedImageSet& leds;
    Logo& logo;
    const std::vector<std::string>& fontNames; // the font list, to match "FontName"
    // Filled by reading, followed by writing; none: relative paths are only resolved.
    PicturePathForms* pathForms = nullptr;
};

enum class ReadEnd {
    Complete,    // every line applied: the caller recomputes once
    Cancelled,   // a missing-file question was cancelled: the caller runs New project again
    LogoRefused, // a logo was refused: reading stopped, no further recompute
};

// Applies the project file's lines in order, recomputing nothing; the caller has run
// New project before and recomputes after. Relative paths are taken from the project's
// folder. A number that does not convert, a "RenderType" outside 0..2, an "ActivePage"
// outside 0..1 or a "Seed" outside 0..99999999 stops reading with an Error about the file
// (its text naming the file, the line number, the key and the value), as does a file that
// cannot be opened ("Cannot open file %s"); the lines before stay applied. A picture file
// that is a folder is read, and refused as the picture loader refuses it. A refused LED picture
// takes its alpha line with it. A file without a single project line is refused before anything is
// applied (language string kStringNotAProject).
ReadEnd ReadProjectFile(const std::string& path, ProjectState& state, ProjectPrompts& prompts,
                        const PictureLoader& load);

// Reads the file and vets every setting line as ReadProjectFile would, touching no
// pictures and no state, so that a command can refuse a file before it resets anything.
// Throws what ReadProjectFile would, and an Error with language string kStringNotAProject
// for a file without a single project key.
void CheckProjectFile(const std::string& path);

// The reset New project applies to the settings: ranges and positions of font size,
// brightness and scale, density, the text, the font (when `windowFont` is not empty), the
// Flat style, the Text page and "Negative" cleared. Displacement, kerning, logo size,
// seed and the render options are kept.
void NewProjectSettings(ProjectSettings& settings, const std::string& defaultText,
                        const std::string& windowFont);
// New project on the whole state: the settings as above, the LED set emptied and the
// logo no longer in use (its picture and file name stay).
void NewProject(ProjectState& state, const std::string& defaultText, const std::string& windowFont);

// The project's lines as they are written: every setting key, "LogoFile" only while a
// logo is loaded, then "ImageF[]" and "ImageA[]" for each LED image in strip order.
// Picture paths are full paths, or, for a file at `projectPath`, as the file was read
// (see PicturePathForms) when it stays in its folder, else relative to the file's folder
// for pictures that lie in it or below it, and full paths for the others.
std::vector<std::string> ProjectFileLines(const ProjectState& state,
                                          const std::string& projectPath = {});
// Writes the lines for `path` in UTF-8 with CR LF through a temporary file beside it, so
// that a failed save leaves any earlier project as it was; throws an Error naming the file.
// A read-only project is replaced only when `options` say the user agreed.
void WriteProjectFile(const std::string& path, const ProjectState& state,
                      AtomicFileOptions options = {});

} // namespace lumexa
