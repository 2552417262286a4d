// Load project as a freshly started program does it, with no one to ask: where the
// program would ask (a missing picture or font) or stop with an error, loading fails with
// a message naming the file or value; where it would show a message and read on, a
// warning is passed on and loading reads on.
#pragma once

#include "core/pictures/glyph.h"
#include "core/pictures/led_image_set.h"
#include "core/pictures/logo.h"
#include "core/project/language_table.h"
#include "core/project/settings.h"

#include <functional>
#include <stop_token>
#include <string>
#include <vector>

namespace lumexa::cli
{

struct HeadlessProject {
    ProjectSettings settings;
    LedImageSet leds;
    Logo logo;
};

using WarningSink = std::function<void(const std::string& message)>;

// What the command line lets a load do where the window would ask or go on.
struct HeadlessLoadOptions {
    // The installed family that stands in for a font that is not installed (--font).
    std::string standIn;
    // An LED or alpha picture that cannot be read (a broken file, a FIFO, a device) is left
    // out with a warning that names what the result lacks (--skip-unreadable-pictures),
    // instead of stopping the load.
    bool skipUnreadablePictures = false;
};

// The option that lets a render go on without the pictures it cannot read.
inline constexpr char kSkipUnreadableOption[] = "--skip-unreadable-pictures";

// New project, every line of the file, then the final recompute (which throws Stopped once
// `stop` is requested: a long text takes a while to draw). Throws an Error whose
// text names the project, file or value. A font that is not installed only matters on the
// Text page: there `options.standIn` takes its place with a warning, and without one the
// load fails naming the font; on the Logo page a warning names it. An LED or alpha picture
// that cannot be read stops the load naming it, as a missing one does, unless `options`
// say to go on without it.
void LoadProjectHeadless(const std::string& path, const LanguageTable& language,
                         const std::vector<std::string>& fontNames, const std::string& windowFont,
                         GlyphRasterizer& rasterizer, HeadlessProject& project,
                         const WarningSink& warn, const HeadlessLoadOptions& options = {},
                         const std::stop_token& stop = {});

// Throws an Error unless the Render command could run on the project: a text on the
// Text page or a logo on the Logo page, and two or more LED images.
void CheckRenderable(const std::string& path, const HeadlessProject& project);

} // namespace lumexa::cli
