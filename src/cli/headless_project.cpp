// Loading a project without a window.
#include "cli/headless_project.h"

#include "core/base/error.h"
#include "core/layout/preview_layout.h"
#include "core/project/project_file.h"
#include "core/render/render_preparation.h"
#include "imaging/read/picture_decoder.h"

#include <algorithm>
#include <optional>

namespace lumexa::cli
{

namespace
{

// Language string numbers of the default text and of refusals.
constexpr int kStringDefaultText = 35;

std::string RefusalText(const LoadOutcome& outcome, const std::string& file,
                        const LanguageTable& language)
{
    if (!outcome.message.empty())
        return outcome.message;
    std::string text = language[outcome.languageString];
    if (text.empty()) {
        switch (outcome.languageString) {
        case kStringSetFull:
            text = "the LED set is full (at most 128 LED images)";
            break;
        case kStringSizeDiffers:
            text = "the picture's size differs from LED image 0";
            break;
        case kStringTooLarge:
            text = "the picture is wider or taller than 512 pixels";
            break;
        case kStringLogoTooLarge:
            text = "the logo picture is wider or taller than 512 pixels";
            break;
        default:
            text = "the picture was refused";
        }
    }
    return file + ": " + text;
}

class HeadlessPrompts : public ProjectPrompts
{
  public:
    HeadlessPrompts(const LanguageTable& language, const WarningSink& warn)
        : language_(language), warn_(warn)
    {
    }

    std::optional<std::string> missingFile(const std::string& path) override
    {
        flush();
        throw CannotFind(path);
    }

    // Whether the font matters is known only once the page is read, which may come later.
    std::optional<std::string> missingFont(const std::string& fontName) override
    {
        missingFont_ = fontName;
        return std::nullopt;
    }

    const std::optional<std::string>& missingFontName() const { return missingFont_; }

    // A refusal is held back until the next line: a refused logo stops the load with it
    // as the error, every other refusal is only a warning.
    void refused(const LoadOutcome& outcome, const std::string& file) override
    {
        flush();
        pending_ = RefusalText(outcome, file, language_);
    }

    void flush()
    {
        if (pending_) {
            if (warn_)
                warn_(*pending_);
            pending_.reset();
        }
    }

    std::string takePending()
    {
        std::string text = pending_.value_or("the logo picture was refused");
        pending_.reset();
        return text;
    }

  private:
    const LanguageTable& language_;
    const WarningSink& warn_;
    std::optional<std::string> pending_;
    std::optional<std::string> missingFont_;
};

bool Installed(const std::vector<std::string>& fontNames, const std::string& family)
{
    return std::find(fontNames.begin(), fontNames.end(), family) != fontNames.end();
}

} // namespace

void LoadProjectHeadless(const std::string& path, const LanguageTable& language,
                         const std::vector<std::string>& fontNames, const std::string& windowFont,
                         GlyphRasterizer& rasterizer, HeadlessProject& project,
                         const WarningSink& warn, const std::string& standIn,
                         const std::stop_token& stop)
{
    if (!standIn.empty() && !Installed(fontNames, standIn))
        throw Error("The font '" + standIn + "' given with --font is not installed");
    ProjectState state{project.settings, project.leds, project.logo, fontNames};
    NewProject(state, language[kStringDefaultText], windowFont);

    HeadlessPrompts prompts(language, warn);
    ReadEnd end = ReadEnd::Complete;
    try {
        end = ReadProjectFile(path, state, prompts, DecodePictureFile);
    } catch (const Error& e) {
        prompts.flush();
        // "Cannot open file" names its file already; the project is put in front of a
        // message that names a value.
        throw e.about(path);
    }
    if (end == ReadEnd::LogoRefused)
        throw Error(prompts.takePending());
    prompts.flush();

    if (const auto& missing = prompts.missingFontName()) {
        const std::string name = "The font '" + *missing + "' is not installed";
        if (project.settings.activePage == 1) {
            if (warn)
                warn(path + ": " + name + "; the Logo page does not use it");
        } else if (!standIn.empty()) {
            project.settings.fontName = standIn;
            if (warn)
                warn(path + ": " + name + "; '" + standIn + "' stands in for it");
        } else {
            throw Error(path + ": " + name +
                        " (--font FAMILY renders with an installed family; --list-fonts "
                        "lists them)");
        }
    }

    // The final recompute of Load project: a bad tag number or an empty threshold range
    // stops here as it would show a message in the window.
    const LedInfo info{project.leds.count(), project.leds.count() > 0 ? project.leds[0].width : 0,
                       project.leds.count() > 0 ? project.leds[0].height : 0,
                       project.leds.SelectedLedImage()};
    try {
        CheckPreviewLayout(project.settings, info, rasterizer,
                           project.logo.loaded ? &project.logo.picture : nullptr, stop);
    } catch (const Error& e) {
        throw e.about(path);
    }
}

void CheckRenderable(const std::string& path, const HeadlessProject& project)
{
    const ProjectSettings& s = project.settings;
    if (s.activePage == 1) {
        if (!project.logo.loaded)
            throw Error("the Logo page is shown but no logo picture is loaded").about(path);
    } else if (s.text.empty()) {
        throw Error("the text is empty").about(path);
    }
    try {
        CheckRenderLeds(project.leds);
    } catch (const Error& e) {
        throw e.about(path);
    }
}

} // namespace lumexa::cli
