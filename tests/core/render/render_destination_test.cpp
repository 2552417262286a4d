// The check of a render's destination on its own: a result never goes over the project,
// a picture the render reads or one of the program's own files, by any name, nor into
// anything that is not a regular file or a folder that takes no files; a fine destination
// passes; and the check itself leaves the folder as it was.
#include "core/render/render_destination.h"

#include "core/base/error.h"
#include "support/file_bytes.h"
#include "support/folder_snapshot.h"
#include "support/scratch_folder.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>
#include <vector>

namespace fs = std::filesystem;
using lumexa::testing::FolderSnapshot;
using lumexa::testing::ReadAll;
using lumexa::testing::WriteAll;

namespace lumexa
{
namespace
{

// Every name is a small opaque picture; the files themselves are never read.
DecodedPicture AnyPicture(const std::string&)
{
    DecodedPicture d;
    d.width = d.height = 4;
    d.rgba.assign(4 * 4 * 4, 255);
    return d;
}

class RenderDestination : public ::testing::Test
{
  protected:
    void SetUp() override
    {
        for (const char* name : {"p.led", "unlit.png", "lit.png", "lit-alpha.png", "old-alpha.png",
                                 "logo.png", "earlier.tga"})
            WriteAll(dir / name, name);
        for (const char* name : {"unlit.png", "lit.png"})
            ASSERT_FALSE(leds.LoadLedImageFile(file(name), lmAdd, AnyPicture).refused());
        // LED image 0's alpha picture was cleared: the render no longer reads it.
        leds.select(0);
        ASSERT_FALSE(
            leds.LoadLedImageFile(file("old-alpha.png"), lmAddAlpha, AnyPicture).refused());
        leds.clearAlpha(0);
        leds.select(1);
        ASSERT_FALSE(
            leds.LoadLedImageFile(file("lit-alpha.png"), lmAddAlpha, AnyPicture).refused());
        ASSERT_FALSE(LoadLogoFile(logo, file("logo.png"), AnyPicture).refused());

        // The program's own files: a data folder with its language files, a manual and the
        // examples, a language file chosen from elsewhere and the settings file.
        for (const char* name : {"data/English.lng", "data/Polski.lng", "data/lumexa_TesselEN.pdf",
                                 "data/notes.txt", "data/examples/text.led",
                                 "data/examples/leds/red.png", "mine.lng", "config/lumexa.conf"}) {
            fs::create_directories((dir / name).parent_path());
            WriteAll(dir / name, name);
        }
        program.dataFolder = file("data");
        program.languageFile = file("mine.lng");
        program.settingsFile = file("config/lumexa.conf");
    }

    std::string file(const std::string& name) const { return (dir / name).string(); }

    lumexa::testing::ScratchFolder scratch;
    const fs::path dir = scratch.path();
    LedImageSet leds;
    Logo logo;
    ProgramFiles program;
};

TEST_F(RenderDestination, RefusedOrPassedByWhatTheDestinationIs)
{
    fs::create_symlink("p.led", dir / "link-to-project.led");
    fs::create_hard_link(dir / "p.led", dir / "hard-link.led");
    fs::create_symlink("lit.png", dir / "link-to-led.png");
    fs::create_directory(dir / "folder");
    fs::create_symlink("data/English.lng", dir / "link-to-language.lng");
    fs::create_hard_link(dir / "data/lumexa_TesselEN.pdf", dir / "manual-copy.pdf");
    ASSERT_EQ(::mkfifo(file("fifo.tga").c_str(), 0644), 0);
    // A device node of our own, never one of /dev; only root may make one.
    const bool device = ::mknod(file("null.tga").c_str(), S_IFCHR | 0666, ::makedev(1, 3)) == 0;

    struct Case {
        const char* what;
        std::string output;
        std::string reason; // empty: passes
    };
    std::vector<Case> cases = {
        {"the project", file("p.led"), "it is the project being rendered"},
        {"a link to the project", file("link-to-project.led"), "it is the project being rendered"},
        {"a hard link to the project", file("hard-link.led"), "it is the project being rendered"},
        {"the project by another path", dir.string() + "/folder/../p.led",
         "it is the project being rendered"},
        {"LED picture 0", file("unlit.png"), "it is the picture of LED image 0"},
        {"a link to LED picture 1", file("link-to-led.png"), "it is the picture of LED image 1"},
        {"an alpha picture", file("lit-alpha.png"), "it is the alpha picture of LED image 1"},
        {"the logo picture", file("logo.png"), "it is the logo picture"},
        {"a language file of the program", file("data/Polski.lng"),
         "it is one of the program's language files"},
        {"a link to the program's English.lng", file("link-to-language.lng"),
         "it is one of the program's language files"},
        {"the language file in force", file("mine.lng"),
         "it is one of the program's language files"},
        {"a hard link to a manual", file("manual-copy.pdf"), "it is one of the program's manuals"},
        {"an example project", file("data/examples/text.led"),
         "it is one of the program's examples"},
        {"an example's picture", file("data/examples/leds/red.png"),
         "it is one of the program's examples"},
        {"the settings file", file("config/lumexa.conf"), "it is the program's settings file"},
        {"a new file in the data folder", file("data/out.tga"), ""},
        {"a file of the data folder the program does not read", file("data/notes.txt"), ""},
        {"a folder", file("folder"), "Is a directory"},
        {"a FIFO", file("fifo.tga"), "it is not a regular file"},
        {"a missing folder", file("none/out.tga"), "No such file or directory"},
        {"a folder that takes no files", "/proc/lumexa-out.tga", "?"},
        {"a new file", file("out.tga"), ""},
        {"an earlier result", file("earlier.tga"), ""},
        {"an alpha picture no longer in use", file("old-alpha.png"), ""},
    };
    if (device)
        cases.push_back({"a device", file("null.tga"), "it is not a regular file"});
    if (::geteuid() != 0) {
        fs::create_directory(dir / "read-only");
        fs::permissions(dir / "read-only", fs::perms(0555));
        cases.push_back({"a read-only folder", file("read-only/out.tga"), "Permission denied"});
    }

    const auto before = FolderSnapshot(dir);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        try {
            CheckRenderDestination(c.output, file("p.led"), leds, logo, program);
            EXPECT_EQ(c.reason, "") << "passed";
        } catch (const Error& e) {
            EXPECT_EQ(e.file(), c.output);
            if (c.reason == "?") {
                EXPECT_NE(e.reason(), "");
            } else {
                EXPECT_EQ(e.reason(), c.reason);
            }
        }
        EXPECT_EQ(FolderSnapshot(dir), before);
    }
}

TEST_F(RenderDestination, AProjectNotYetSavedIsNoFileToGuard)
{
    // The windows render the project they hold in memory and pass no project path.
    EXPECT_NO_THROW(CheckRenderDestination(file("p.led"), std::string(), leds, logo, program));
    logo.loaded = false; // the Text page: the logo is not read
    EXPECT_NO_THROW(CheckRenderDestination(file("logo.png"), std::string(), leds, logo, program));
    EXPECT_EQ(ReadAll(dir / "logo.png"), "logo.png");
}

} // namespace
} // namespace lumexa
