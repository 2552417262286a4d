// Loading a project without a window.
#include "cli/headless_project.h"

#include "core/base/error.h"
#include "core/base/shown_text.h"
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
    return ShownText(file) + ": " + text;
}

// What a result rendered without an unreadable picture lacks.
std::string WhatTheResultLacks(const RefusedPicture& picture)
{
    if (picture.kind == RefusedPicture::Kind::Alpha)
        return "the result is rendered without it: LED image " + std::to_string(picture.led) +
               " has no alpha picture";
    return "the result is rendered without it: it has no LED image for this picture, and the "
           "LED images after it are numbered one lower";
}

class HeadlessPrompts : public ProjectPrompts
{
  public:
    HeadlessPrompts(const LanguageTable& language, const WarningSink& warn, bool skipUnreadable)
        : language_(language), warn_(warn), skipUnreadable_(skipUnreadable)
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
    // as the error, every other refusal is only a warning. An LED or alpha picture that
    // cannot be read is no rule of the program's but a broken file: a render without it
    // would pass off another result as the project's, so it stops the load unless the
    // user said to go on.
    void refused(const LoadOutcome& outcome, const std::string& file,
                 const RefusedPicture& picture) override
    {
        flush();
        const bool unreadable = !outcome.message.empty();
        if (unreadable && picture.kind != RefusedPicture::Kind::Logo) {
            if (!skipUnreadable_)
                throw Error(outcome.message + " (" + kSkipUnreadableOption + " renders without it)",
                            file, outcome.message);
            pending_ = outcome.message + "; " + WhatTheResultLacks(picture);
            return;
        }
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
    const bool skipUnreadable_;
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
                         const WarningSink& warn, const HeadlessLoadOptions& options,
                         const std::stop_token& stop)
{
    const std::string& standIn = options.standIn;
    if (!standIn.empty() && !Installed(fontNames, standIn))
        throw Error("The font '" + ShownText(standIn) + "' given with --font is not installed");
    ProjectState state{project.settings, project.leds, project.logo, fontNames};
    NewProject(state, language[kStringDefaultText], windowFont);

    HeadlessPrompts prompts(language, warn, options.skipUnreadablePictures);
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
        const std::string name = "The font '" + ShownText(*missing) + "' is not installed";
        const std::string shownPath = ShownText(path);
        if (project.settings.activePage == 1) {
            if (warn)
                warn(shownPath + ": " + name + "; the Logo page does not use it");
        } else if (!standIn.empty()) {
            project.settings.fontName = standIn;
            if (warn)
                warn(shownPath + ": " + name + "; '" + ShownText(standIn) + "' stands in for it");
        } else {
            throw Error(shownPath + ": " + name +
                            " (--font FAMILY renders with an installed family; --list-fonts "
                            "lists them)",
                        path, name);
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
