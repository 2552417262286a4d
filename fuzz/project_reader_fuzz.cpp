// Any bytes as a project file, with a scripted answer to every question: reading ends
// cleanly, the settings stay within their ranges, the LED set within its limit, and a
// project read in full is written and read back to the same lines.
#include "core/base/error.h"
#include "core/project/project_file.h"

#include <cstdint>
#include <cstdio>
#include <fstream>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

namespace
{

using namespace lumexa;

const std::string& scratchFile(const char* suffix)
{
    static const std::string dir = "/tmp/lumexa-fuzz-" + std::to_string(::getpid());
    static bool made = (::mkdir(dir.c_str(), 0700), true);
    (void)made;
    static std::string paths[2] = {dir + "/project.led", dir + "/again.led"};
    return paths[suffix[0] == 'a'];
}

// Answers alternate, so both the Cancel and the replacement paths are taken; the
// replacement is the project file itself, which exists.
class ScriptedPrompts : public ProjectPrompts
{
  public:
    explicit ScriptedPrompts(uint8_t seed) : answers_(seed) {}
    std::optional<std::string> missingFile(const std::string&) override
    {
        if (++calls_ > 64 || !((answers_ >> (calls_ % 8)) & 1))
            return std::nullopt;
        return scratchFile("p");
    }
    std::optional<std::string> missingFont(const std::string&) override
    {
        return (answers_ & 1) ? std::optional<std::string>("DejaVu Sans") : std::nullopt;
    }
    void refused(const LoadOutcome&, const std::string&, const RefusedPicture&) override {}

  private:
    uint8_t answers_;
    int calls_ = 0;
};

// Every other picture decodes to 4 x 4, the rest are unreadable or too large.
DecodedPicture fakeLoad(const std::string& path)
{
    static unsigned counter = 0;
    switch (++counter % 3) {
    case 0:
        throw Error("Cannot read picture " + path);
    case 1: {
        DecodedPicture p{4, 4, std::vector<uint8_t>(64, 200)};
        return p;
    }
    default: {
        DecodedPicture p{600, 2, std::vector<uint8_t>(600 * 2 * 4, 50)};
        return p;
    }
    }
}

bool inRange(const ScrollSetting& s)
{
    return s.min() <= s.position() && s.position() <= s.max();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string& path = scratchFile("p");
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
    const std::vector<std::string> fonts = {"DejaVu Sans", "DejaVu Serif"};
    // As in a started program, a listed font is selected before the project is read.
    ProjectSettings settings;
    settings.fontName = fonts[0];
    LedImageSet leds;
    Logo logo;
    ProjectState state{settings, leds, logo, fonts};
    ScriptedPrompts prompts(size ? data[0] : 0);
    ReadEnd end = ReadEnd::Cancelled;
    try {
        end = ReadProjectFile(path, state, prompts, fakeLoad);
    } catch (const Error&) {
    }
    for (const ScrollSetting* s :
         {&settings.scale, &settings.fontSize, &settings.brightnes, &settings.density,
          &settings.shufle, &settings.kerning, &settings.logoSize})
        if (!inRange(*s))
            __builtin_trap();
    if (leds.count() > kMaxLedImages || settings.renderType < 0 || settings.renderType > 2 ||
        settings.previewButton < 1 || settings.previewButton > 7)
        __builtin_trap();

    if (end == ReadEnd::Complete && leds.count() == 0) {
        // Without pictures a round trip needs no loader: the written lines read back alike.
        const std::vector<std::string> lines = ProjectFileLines(state);
        WriteProjectFile(scratchFile("a"), state);
        ProjectSettings again;
        again.fontName = fonts[0];
        LedImageSet noLeds;
        Logo noLogo;
        ProjectState second{again, noLeds, noLogo, fonts};
        ReadProjectFile(scratchFile("a"), second, prompts, fakeLoad);
        if (ProjectFileLines(second) != lines && !logo.loaded)
            __builtin_trap();
    }
    return 0;
}
