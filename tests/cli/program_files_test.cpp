// lumexa-render against outputs that would destroy what the program itself reads, and
// against destinations the user may not write. A copy of the program with a data folder of
// its own beside it (language files, a manual, examples) and a settings folder of its own
// stands in for the installed program; each refusal names the output and why, and leaves
// every file as it was.
#include "support/command_runner.h"
#include "support/file_bytes.h"
#include "support/folder_snapshot.h"
#include "support/project_folder.h"
#include "support/render_program.h"
#include "support/unprivileged.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace fs = std::filesystem;
using lumexa::testing::FolderSnapshot;
using lumexa::testing::kRender;
using lumexa::testing::Quote;
using lumexa::testing::ReadAll;
using lumexa::testing::RunShell;
using lumexa::testing::WriteAll;

namespace
{

class ProgramFiles : public lumexa::testing::ProjectFolder
{
  protected:
    void SetUp() override
    {
        ProjectFolder::SetUp();
        writeProject("p.led", "Hi", {"unlit.png", "red.png"});
        fs::create_directories(dir / "bin" / "examples" / "leds");
        fs::copy_file(kRender, dir / "bin" / "lumexa-render");
        for (const char* name : {"English.lng", "Polski.lng"})
            fs::copy_file(fs::path(LUMEXA_BIN) / name, dir / "bin" / name);
        WriteAll(dir / "bin" / "lumexa_TesselEN.pdf", "%PDF-1.6 the manual");
        WriteAll(dir / "bin" / "examples" / "text.led", "Text=example");
        fs::copy_file(dir / "red.png", dir / "bin" / "examples" / "leds" / "red.png");
        fs::create_directories(dir / "config" / "Lumexa");
        WriteAll(dir / "config" / "Lumexa" / "lumexa.conf", "[language]\nfile=\n");
    }

    // The program copy, with the settings kept under dir/config.
    std::string program() const
    {
        return "env XDG_CONFIG_HOME=" + Quote((dir / "config").string()) + " " +
               Quote((dir / "bin" / "lumexa-render").string());
    }
};

TEST_F(ProgramFiles, OutputsNeverReplaceTheProgramsOwnFiles)
{
    fs::create_hard_link(dir / "bin" / "English.lng", dir / "english-copy.lng");
    fs::create_symlink("bin/Polski.lng", dir / "polish-link.lng");
    struct Case {
        const char* what;
        std::string output;
        std::string reason;
    };
    const Case cases[] = {
        {"the English language file", "bin/English.lng", "one of the program's language files"},
        {"a link to a language file", "polish-link.lng", "one of the program's language files"},
        {"a hard link to a language file", "english-copy.lng",
         "one of the program's language files"},
        {"the manual", "bin/lumexa_TesselEN.pdf", "one of the program's manuals"},
        {"an example project", "bin/examples/text.led", "one of the program's examples"},
        {"an example's picture", "bin/examples/leds/red.png", "one of the program's examples"},
        {"the settings file", "config/Lumexa/lumexa.conf", "the program's settings file"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const std::string output = (dir / c.output).string();
        const auto before = snapshot();
        const auto run = RunShell("timeout 60 " + program() + " -q --format tga " +
                                  Quote((dir / "p.led").string()) + " " + Quote(output) + " 2>&1");
        EXPECT_EQ(run.status, 1) << run.output;
        EXPECT_EQ(run.output,
                  "lumexa-render: Cannot write file " + output + ": it is " + c.reason + "\n");
        EXPECT_EQ(snapshot(), before);
    }
    // A new file beside them is no file of the program's.
    const auto run = RunShell(program() + " -q " + Quote((dir / "p.led").string()) + " " +
                              Quote((dir / "bin" / "new.tga").string()) + " 2>&1");
    EXPECT_EQ(run.status, 0) << run.output;
}

// As cp: a file the user may not write is refused, also where the folder would let the
// program replace it; root may write any file, so the render runs as an ordinary user.
TEST_F(ProgramFiles, ReadOnlyDestinationIsRefusedAsCpRefusesIt)
{
    fs::permissions(dir, fs::perms::all);
    for (const char* name : {"p.led", "unlit.png", "red.png"})
        fs::permissions(dir / name, fs::perms(0644));
    const fs::path output = dir / "kept.tga";
    WriteAll(output, "an earlier result to keep");
    fs::permissions(output, fs::perms(0444));
    const auto before = FolderSnapshot(dir);
    const auto run = RunShell("cd / && " + lumexa::testing::UnprivilegedPrefix() + "timeout 60 " +
                              Quote(kRender) + " -q " + Quote((dir / "p.led").string()) + " " +
                              Quote(output.string()) + " 2>&1");
    EXPECT_EQ(run.status, 1) << run.output;
    EXPECT_NE(run.output.find("lumexa-render: Cannot write file " + output.string() +
                              ": Permission denied (the file is read-only)"),
              std::string::npos)
        << run.output;
    EXPECT_EQ(FolderSnapshot(dir), before);
    EXPECT_EQ(ReadAll(output), "an earlier result to keep");
}

} // namespace
