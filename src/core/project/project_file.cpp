// Reading and writing project files.
#include "core/project/project_file.h"

#include "core/base/decimal_integer.h"
#include "core/base/error.h"
#include "core/base/shown_text.h"
#include "core/base/text_codec.h"
#include "core/project/seed.h"

#include <algorithm>
#include <filesystem>
#include <iterator>
#include <string_view>

namespace fs = std::filesystem;

namespace lumexa
{

namespace
{

constexpr int kMaxSeed = 99999999;

// The LED lines carry three characters before the path; the reader skips them unseen.
std::string skipPrefix(const std::string& value)
{
    size_t i = 0;
    for (int chars = 0; chars < 3 && i < value.size(); ++chars) {
        ++i;
        while (i < value.size() && (static_cast<unsigned char>(value[i]) & 0xC0) == 0x80)
            ++i;
    }
    return value.substr(i);
}

// A folder counts: the picture loader refuses it as a folder, which tells the user more
// than a file that cannot be found.
bool fileExists(const std::string& path)
{
    std::error_code ec;
    return !path.empty() && fs::exists(path, ec);
}

bool listed(const std::vector<std::string>& names, const std::string& name)
{
    return std::find(names.begin(), names.end(), name) != names.end();
}

// A line holds no line break: one inside a value would start a line of its own.
std::string oneLine(std::string value)
{
    std::replace_if(
        value.begin(), value.end(), [](char c) { return c == '\r' || c == '\n'; }, ' ');
    return value;
}

// Whether a line sets anything a project holds. Unknown lines are ignored one by one, but
// a file without a single known line (a picture, a JSON file, UTF-16 text) is no project.
bool isProjectLine(const std::string& line)
{
    static const char* const kKeys[] = {"Scale",
                                        "FontSize",
                                        "Brightnes",
                                        "Density",
                                        "Shufle",
                                        "Kerning",
                                        "Text",
                                        "RenderUseMaskEnabled",
                                        "RenderUseAddEnabled",
                                        "RenderUseMaskChecked",
                                        "RenderUseAddChecked",
                                        "RenderUseBackground",
                                        "RenderRotateBitmaps",
                                        "LogoSize",
                                        "LogoInvert",
                                        "Seed",
                                        "RenderType",
                                        "ActivePage",
                                        "PreviewButton",
                                        "PrintDpi",
                                        "LogoFile",
                                        "FontName",
                                        "RenderCompression",
                                        "RenderBackgroundOpacity"};
    const size_t p = line.find('=');
    if (p == std::string::npos)
        return false;
    const std::string_view key(line.data(), p);
    return key.substr(0, 5) == "Image" ||
           std::find(std::begin(kKeys), std::end(kKeys), key) != std::end(kKeys);
}

void refuseNonProject(const std::string& path, const std::vector<std::string>& lines)
{
    if (std::none_of(lines.begin(), lines.end(), isProjectLine))
        throw Error(kStringNotAProject, "Cannot open file " + path + ": it is not a project file",
                    path, "it is not a project file");
}

std::string absolutePath(const std::string& path)
{
    if (path.empty())
        return path;
    std::error_code ec;
    const fs::path full = fs::absolute(path, ec);
    return ec ? path : full.lexically_normal().string();
}

class ProjectReader
{
  public:
    ProjectReader(const std::string& path, ProjectState& state, ProjectPrompts& prompts,
                  const PictureLoader& load)
        : state_(state), prompts_(prompts), load_(load), path_(path)
    {
        std::error_code ec;
        const fs::path full = fs::absolute(path, ec);
        folder_ = (ec ? fs::path(path) : full).lexically_normal().parent_path();
        if (state_.pathForms) {
            state_.pathForms->folder = folder_.string();
            state_.pathForms->written.clear();
        }
    }

    // Only vets the setting lines: pictures and fonts are left alone.
    void setCheckOnly() { checkOnly_ = true; }

    ReadEnd read(const std::vector<std::string>& lines)
    {
        for (size_t n = 0; n < lines.size(); ++n) {
            const std::string& line = lines[n];
            const size_t p = line.find('=');
            if (p == std::string::npos)
                continue;
            const std::string key = line.substr(0, p);
            ReadEnd end = ReadEnd::Complete;
            try {
                end = apply(key, line.substr(p + 1));
            } catch (const Error& e) {
                if (e.languageString() >= 0)
                    throw;
                // About the project, so that callers do not put its name in front again.
                throw Error(ShownText(path_) + ", line " + std::to_string(n + 1) + ", " +
                                ShownText(key) + ": " + e.what(),
                            path_, e.what());
            }
            if (end != ReadEnd::Complete)
                return end;
        }
        return ReadEnd::Complete;
    }

  private:
    ReadEnd apply(const std::string& key, const std::string& value)
    {
        ProjectSettings& s = state_.settings;
        if (checkOnly_ &&
            (key.compare(0, 5, "Image") == 0 || key == "LogoFile" || key == "FontName"))
            return ReadEnd::Complete;
        if (ScrollSetting* bar = scrollFor(key)) {
            bar->setPosition(DecimalIntegerOrThrow(value));
        } else if (key == "Text") {
            s.text = value;
        } else if (key == "RenderUseMaskEnabled") {
            s.useMaskEnabled = truth(value);
        } else if (key == "RenderUseAddEnabled") {
            s.useAddEnabled = truth(value);
        } else if (key == "RenderUseMaskChecked") {
            s.setUseMaskChecked(truth(value));
        } else if (key == "RenderUseAddChecked") {
            s.setUseAddChecked(truth(value));
        } else if (key == "RenderUseBackground") {
            s.useBackground = truth(value);
        } else if (key == "RenderRotateBitmaps") {
            s.rotateBitmaps = truth(value);
        } else if (key == "LogoInvert") {
            s.logoInvert = truth(value);
        } else if (key == "Seed") {
            s.seedText = std::to_string(inRange(value, 0, kMaxSeed, "seed"));
        } else if (key == "RenderType") {
            s.renderType = inRange(value, kRandomPoints, kFullRender, "render type");
        } else if (key == "PrintDpi") {
            s.printDpi = inRange(value, 1, kMaxPrintDpi, "print resolution");
        } else if (key == "ActivePage") {
            s.activePage = inRange(value, 0, 1, "page");
        } else if (key == "PreviewButton") {
            const int style = DecimalIntegerOrThrow(value);
            if (style >= kFlat && style <= kBitmap)
                s.previewButton = style;
        } else if (key.compare(0, 5, "Image") == 0) {
            const std::string written = skipPrefix(value);
            if (written != "(null)")
                prompts_.loadingLine(written);
            if (key == "ImageF[]")
                return addLed(resolve(written));
            if (key == "ImageA[]")
                return addAlpha(written);
        } else if (key == "LogoFile") {
            return loadLogo(resolve(value));
        } else if (key == "FontName") {
            chooseFont(value);
        } else if (key == "RenderCompression") {
            // A name of a later version's is left at the default rather than refused.
            if (const auto compression = ParseCompression(value))
                s.compression = *compression;
        } else if (key == "RenderBackgroundOpacity") {
            if (const auto opacity = ParseBackgroundOpacity(value))
                s.backgroundOpacity = *opacity;
        }
        return ReadEnd::Complete;
    }

    ScrollSetting* scrollFor(const std::string& key)
    {
        ProjectSettings& s = state_.settings;
        if (key == "Scale")
            return &s.scale;
        if (key == "FontSize")
            return &s.fontSize;
        if (key == "Brightnes")
            return &s.brightnes;
        if (key == "Density")
            return &s.density;
        if (key == "Shufle")
            return &s.shufle;
        if (key == "Kerning")
            return &s.kerning;
        if (key == "LogoSize")
            return &s.logoSize;
        return nullptr;
    }

    static bool truth(const std::string& value) { return DecimalIntegerOrThrow(value) != 0; }

    static int inRange(const std::string& value, int min, int max, const char* what)
    {
        const int n = DecimalIntegerOrThrow(value);
        if (n < min || n > max)
            throw Error("'" + ShownText(value) + "' is not a valid " + what + " (" +
                        std::to_string(min) + " to " + std::to_string(max) + ")");
        return n;
    }

    // Paths as the program writes them are absolute; a relative one is taken from the
    // project's folder, so that a project travels with its pictures.
    std::string resolve(const std::string& path) const
    {
        if (path.empty() || fs::path(path).is_absolute())
            return path;
        const std::string full = (folder_ / path).lexically_normal().string();
        if (state_.pathForms)
            state_.pathForms->written[full] = path;
        return full;
    }

    // The file itself when it exists, else the user's replacement; nullopt for Cancel.
    std::optional<std::string> existing(const std::string& path)
    {
        if (fileExists(path))
            return path;
        return prompts_.missingFile(path);
    }

    ReadEnd addLed(const std::string& path)
    {
        // The set cannot take more than 128: the rest of the LED lines are passed over
        // (their alpha lines with them) and the full set is reported once.
        if (state_.leds.full()) {
            skippingAlpha_ = true;
            if (!fullReported_) {
                fullReported_ = true;
                LoadOutcome full;
                full.languageString = kStringSetFull;
                prompts_.refused(full, path, {RefusedPicture::Kind::Led, state_.leds.count()});
            }
            return ReadEnd::Complete;
        }
        skippingAlpha_ = false;
        const int slot = ledLines_++;
        const std::optional<std::string> file = existing(path);
        if (!file)
            return ReadEnd::Cancelled;
        if (file->empty()) {
            skippingAlpha_ = true;
            prompts_.ledSkipped(slot, path);
            return ReadEnd::Complete;
        }
        const int number = state_.leds.count();
        const LoadOutcome outcome = state_.leds.LoadLedImageFile(*file, lmAdd, load_);
        if (outcome.refused()) {
            // The alpha line that follows belongs to this picture, not to the LED before.
            skippingAlpha_ = true;
            prompts_.refused(outcome, *file, {RefusedPicture::Kind::Led, number});
            prompts_.ledSkipped(slot, *file);
        }
        return ReadEnd::Complete;
    }

    ReadEnd addAlpha(const std::string& written)
    {
        if (written == "(null)" || skippingAlpha_)
            return ReadEnd::Complete;
        const std::optional<std::string> file = existing(resolve(written));
        if (!file)
            return ReadEnd::Cancelled;
        if (file->empty())
            return ReadEnd::Complete;
        const LoadOutcome outcome = state_.leds.LoadLedImageFile(*file, lmAddAlpha, load_);
        if (outcome.refused())
            prompts_.refused(outcome, *file,
                             {RefusedPicture::Kind::Alpha, state_.leds.count() - 1});
        return ReadEnd::Complete;
    }

    ReadEnd loadLogo(const std::string& path)
    {
        const std::optional<std::string> file = existing(path);
        if (!file)
            return ReadEnd::Cancelled;
        if (file->empty())
            return ReadEnd::Complete;
        const LoadOutcome outcome = LoadLogoFile(state_.logo, *file, load_);
        if (outcome.refused() || !state_.logo.loaded) {
            prompts_.refused(outcome, *file, {RefusedPicture::Kind::Logo, -1});
            return ReadEnd::LogoRefused;
        }
        return ReadEnd::Complete;
    }

    void chooseFont(const std::string& name)
    {
        if (listed(state_.fontNames, name)) {
            state_.settings.fontName = name;
            return;
        }
        const std::optional<std::string> chosen = prompts_.missingFont(name);
        if (chosen && listed(state_.fontNames, *chosen))
            state_.settings.fontName = *chosen;
    }

    ProjectState& state_;
    ProjectPrompts& prompts_;
    const PictureLoader& load_;
    std::string path_;
    fs::path folder_;
    bool checkOnly_ = false;
    bool fullReported_ = false;
    bool skippingAlpha_ = false;
    int ledLines_ = 0; // "ImageF[]" lines the set had room for
};

// The folder a project file at `projectPath` lies in; empty for no file.
std::string projectFolder(const std::string& projectPath)
{
    if (projectPath.empty())
        return {};
    return fs::path(absolutePath(projectPath)).parent_path().string();
}

// A picture's path as the project file in `folder` writes it: as the file read there gave
// it, relative when the picture lies in the folder or below it, else in full.
std::string pathForFile(const std::string& path, const std::string& folder,
                        const PicturePathForms* forms)
{
    const std::string full = absolutePath(path);
    if (folder.empty() || full.empty())
        return full;
    if (forms && forms->folder == folder) {
        const auto given = forms->written.find(full);
        if (given != forms->written.end())
            return given->second;
    }
    const fs::path relative = fs::path(full).lexically_relative(folder);
    if (relative.empty() || *relative.begin() == ".." || relative == ".")
        return full;
    return relative.generic_string();
}

std::string ledPrefix(int number)
{
    std::string digits = std::to_string(number);
    return std::string(3 - std::min<size_t>(3, digits.size()), '0') + digits;
}

} // namespace

ReadEnd ReadProjectFile(const std::string& path, ProjectState& state, ProjectPrompts& prompts,
                        const PictureLoader& load)
{
    const std::vector<std::string> lines = ReadTextFileLines(path);
    refuseNonProject(path, lines);
    // Projects saved before the choice existed had transparent background cells.
    state.settings.backgroundOpacity = BackgroundOpacity::Transparent;
    ProjectReader reader(path, state, prompts, load);
    return reader.read(lines);
}

void CheckProjectFile(const std::string& path)
{
    class NoQuestions : public ProjectPrompts
    {
        std::optional<std::string> missingFile(const std::string&) override { return ""; }
        std::optional<std::string> missingFont(const std::string&) override { return std::nullopt; }
        void refused(const LoadOutcome&, const std::string&, const RefusedPicture&) override {}
    } none;
    ProjectSettings settings;
    LedImageSet leds;
    Logo logo;
    const std::vector<std::string> fonts;
    ProjectState scratch{settings, leds, logo, fonts};
    const PictureLoader noPictures;
    const std::vector<std::string> lines = ReadTextFileLines(path);
    refuseNonProject(path, lines);
    ProjectReader reader(path, scratch, none, noPictures);
    reader.setCheckOnly();
    reader.read(lines);
}

void NewProjectSettings(ProjectSettings& settings, const std::string& defaultText,
                        const std::string& windowFont)
{
    settings.text = defaultText;
    settings.fontSize.setRange(6, 32);
    settings.fontSize.setPosition(20);
    settings.brightnes.setRange(0, 255);
    settings.brightnes.setPosition(128);
    settings.scale.setRange(2, 16);
    settings.scale.setPosition(5);
    settings.density.setPosition(10);
    if (!windowFont.empty())
        settings.fontName = windowFont;
    settings.previewButton = kFlat;
    settings.activePage = 0;
    settings.logoInvert = false;
}

void NewProject(ProjectState& state, const std::string& defaultText, const std::string& windowFont)
{
    state.leds.clear();
    // The window's own font is selected only when the font list holds it.
    NewProjectSettings(state.settings, defaultText,
                       listed(state.fontNames, windowFont) ? windowFont : std::string());
    state.logo.loaded = false;
}

std::vector<std::string> ProjectFileLines(const ProjectState& state, const std::string& projectPath)
{
    const auto picturePath = [&state,
                              folder = projectFolder(projectPath)](const std::string& path) {
        return oneLine(pathForFile(path, folder, state.pathForms));
    };
    const ProjectSettings& s = state.settings;
    const auto flag = [](bool b) { return std::string(b ? "1" : "0"); };
    std::vector<std::string> lines = {
        "Scale=" + std::to_string(s.scale.position()),
        "FontSize=" + std::to_string(s.fontSize.position()),
        "Brightnes=" + std::to_string(s.brightnes.position()),
        "Density=" + std::to_string(s.density.position()),
        "Shufle=" + std::to_string(s.shufle.position()),
        "Kerning=" + std::to_string(s.kerning.position()),
        "Text=" + oneLine(s.text),
        "RenderUseMaskEnabled=" + flag(s.useMaskEnabled),
        "RenderUseMaskChecked=" + flag(s.useMaskChecked),
        "RenderUseAddEnabled=" + flag(s.useAddEnabled),
        "RenderUseAddChecked=" + flag(s.useAddChecked),
        "RenderUseBackground=" + flag(s.useBackground),
        "RenderRotateBitmaps=" + flag(s.rotateBitmaps),
        "LogoSize=" + std::to_string(s.logoSize.position()),
        "LogoInvert=" + flag(s.logoInvert),
        // The seed the random source uses, as a plain decimal number.
        "Seed=" + std::to_string(SeedFromText(s.seedText)),
        "RenderType=" + std::to_string(s.renderType),
        "ActivePage=" + std::to_string(s.activePage),
        "PreviewButton=" + std::to_string(s.previewButton),
        "PrintDpi=" + std::to_string(s.printDpi),
    };
    if (state.logo.loaded)
        lines.push_back("LogoFile=" + picturePath(state.logo.fileName));
    lines.push_back("FontName=" + oneLine(s.fontName));
    // Added after the keys of earlier versions, whose readers skip what they do not know.
    lines.push_back(std::string("RenderCompression=") + CompressionName(s.compression));
    lines.push_back(std::string("RenderBackgroundOpacity=") +
                    BackgroundOpacityName(s.backgroundOpacity));
    for (int n = 0; n < state.leds.count(); ++n) {
        const LedImage& led = state.leds[n];
        const std::string prefix = ledPrefix(n);
        lines.push_back("ImageF[]=" + prefix + picturePath(led.fileName));
        lines.push_back("ImageA[]=" + prefix +
                        (led.alphaInUse ? picturePath(led.alphaFileName) : "(null)"));
    }
    return lines;
}

void WriteProjectFile(const std::string& path, const ProjectState& state, AtomicFileOptions options)
{
    WriteTextFileAtomically(path, ProjectFileLines(state, path), options);
}

} // namespace lumexa
