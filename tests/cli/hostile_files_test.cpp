// lumexa-render against files that are not what they seem and against signals: an output
// that is the project or one of its pictures, FIFOs and device nodes on either side, files
// that are no projects, a 2 GB language file, and a render killed, hung up on or cut off
// from its reader. Each ends with a clear message naming the file, and every file that
// existed before is left exactly as it was.
#include "support/command_runner.h"
#include "support/file_bytes.h"
#include "support/project_folder.h"
#include "support/render_program.h"

#include <Magick++.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <random>
#include <sys/stat.h>
#include <sys/sysmacros.h>

namespace fs = std::filesystem;
using lumexa::testing::kRender;
using lumexa::testing::Quote;
using lumexa::testing::ReadAll;
using lumexa::testing::RunShell;
using lumexa::testing::WriteAll;

namespace
{

class HostileFiles : public lumexa::testing::ProjectFolder
{
  protected:
    void SetUp() override
    {
        ProjectFolder::SetUp();
        writeProject("p.led", "Hi", {"unlit.png", "red.png"});
    }
};

TEST_F(HostileFiles, RefusedBeforeAnythingIsWritten)
{
    const std::string p = (dir / "p.led").string();
    fs::create_symlink("red.png", dir / "link.png");
    fs::create_hard_link(dir / "p.led", dir / "hard.led");
    ASSERT_EQ(::mkfifo((dir / "fifo.tga").c_str(), 0644), 0);
    ASSERT_EQ(::mkfifo((dir / "fifo.led").c_str(), 0644), 0);
    // A device node of our own: a regression must never get to replace the system's.
    const bool device = ::mknod((dir / "null.tga").c_str(), S_IFCHR | 0666, ::makedev(1, 3)) == 0;

    std::mt19937 rng(5);
    std::string noise(4096, '\0');
    for (char& c : noise)
        c = static_cast<char>(rng() % 255 + 1); // no NUL byte: it must fail as no project
    WriteAll(dir / "noise.led", noise);
    WriteAll(dir / "json.led", "{\"Text\": \"Hi\", \"FontSize\": 12}\n");
    WriteAll(dir / "utf16.led", std::string("\xFF\xFET\0e\0x\0t\0=\0H\0i\0", 16));
    writeProject("fifo-led.led", "Hi", {"unlit.png", "fifo.tga"});
    writeProject("zero-led.led", "Hi", {"unlit.png", "/dev/zero"});

    struct Case {
        std::string what;
        std::string project;
        std::string output;
        std::string message;
    };
    std::vector<Case> cases = {
        {"output is the project", p, p, "p.led: it is the project being rendered"},
        {"output is a hard link to the project", p, (dir / "hard.led").string(),
         "hard.led: it is the project being rendered"},
        {"output is an LED picture", p, (dir / "red.png").string(),
         "red.png: it is the picture of LED image 1"},
        {"output is a link to an LED picture", p, (dir / "link.png").string(),
         "link.png: it is the picture of LED image 1"},
        {"output is a FIFO", p, (dir / "fifo.tga").string(), "fifo.tga: it is not a regular file"},
        {"output folder is missing", p, (dir / "none" / "out.tga").string(),
         "none/out.tga: No such file or directory"},
        {"output is a folder", p, dir.string() + "/", ": Is a directory"},
        {"project is a FIFO", (dir / "fifo.led").string(), "",
         "fifo.led: it is not a regular file"},
        {"project is /dev/zero", "/dev/zero", "",
         "Cannot open file /dev/zero: it is not a regular"},
        {"project is noise", (dir / "noise.led").string(), "", "noise.led is not a Lumexa project"},
        {"project is JSON", (dir / "json.led").string(), "", "json.led is not a Lumexa project"},
        {"project is UTF-16", (dir / "utf16.led").string(), "", "utf16.led: it is not a text file"},
        {"LED picture is a FIFO", (dir / "fifo-led.led").string(), "",
         "fifo.tga: it is not a regular file"},
        {"LED picture is /dev/zero", (dir / "zero-led.led").string(), "",
         "/dev/zero: it is not a regular file"},
    };
    if (device)
        cases.push_back({"output is a device node", p, (dir / "null.tga").string(),
                         "null.tga: it is not a regular file"});

    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const std::string output = c.output.empty() ? (dir / "out.tga").string() : c.output;
        const auto before = snapshot();
        // The time limit only keeps a hang from stopping the whole suite.
        const auto run = RunShell("timeout 60 " + Quote(kRender) + " -q " + Quote(c.project) + " " +
                                  Quote(output) + " 2>&1");
        EXPECT_EQ(run.status, 1) << run.output;
        EXPECT_NE(run.output.find(c.message), std::string::npos) << run.output;
        EXPECT_EQ(snapshot(), before);
    }
}

TEST_F(HostileFiles, OversizedLanguageFileIsNamedAndTheRenderGoesOn)
{
    // The program finds its language file beside itself.
    fs::create_directory(dir / "bin");
    fs::copy_file(kRender, dir / "bin" / "lumexa-render");
    {
        std::ofstream(dir / "bin" / "English.lng");
    }
    fs::resize_file(dir / "bin" / "English.lng", 2ull << 30); // sparse: takes no disk
    const auto run = RunShell("timeout 60 " + Quote((dir / "bin" / "lumexa-render").string()) +
                              " -q " + Quote((dir / "p.led").string()) + " " +
                              Quote((dir / "out.tga").string()) + " 2>&1");
    EXPECT_EQ(run.status, 0) << run.output;
    EXPECT_NE(run.output.find("English.lng: it is larger than 1 MB"), std::string::npos)
        << run.output;
    EXPECT_NE(ReadAll(dir / "out.tga"), "earlier result");
}

TEST_F(HostileFiles, SignalsMidRenderLeaveTheEarlierFile)
{
    // 16 x 16 LED pictures under a long text: a TIFF of some seconds on one thread.
    for (const auto& [name, colour] : {std::pair{"dark.png", "black"}, {"lit.png", "red"}}) {
        Magick::Image led(Magick::Geometry(16, 16), Magick::Color(colour));
        led.write((dir / name).string());
    }
    const std::string p =
        writeProject("long.led", std::string(250, 'W'), {"dark.png", "lit.png"}, 32);
    const std::string out = (dir / "out.tif").string();
    WriteAll(out, "earlier result");
    const std::string run = Quote(kRender) + " -j1 " + Quote(p) + " " + Quote(out);
    // Waits until the result's temporary file is open, i.e. rows are being written (or
    // the program has ended, which the status then shows).
    const std::string waitForRows = "until ls -l /proc/$pid/fd 2>/dev/null | grep -q " +
                                    Quote(dir.string() + "/#") +
                                    "; do kill -0 $pid 2>/dev/null || break; sleep 0.02; done; ";

    struct Case {
        const char* what;
        const char* signal;
        int status;
        const char* message;
    };
    const Case cases[] = {
        {"kill -9", "KILL", 128 + 9, ""},
        {"hang-up", "HUP", 1, "interrupted; "},
        {"Ctrl-C", "INT", 1, "interrupted; "},
        {"kill", "TERM", 1, "interrupted; "},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const auto before = snapshot();
        const auto result = RunShell("exec 2>&1; " + run + " -q & pid=$!; " + waitForRows +
                                     "kill -" + c.signal + " $pid; wait $pid; s=$?; exit $s");
        EXPECT_EQ(result.status, c.status) << result.output;
        EXPECT_NE(result.output.find(c.message), std::string::npos) << result.output;
        EXPECT_EQ(snapshot(), before) << "a file was left or changed";
    }

    // A reader of the progress lines that goes away (as `| head` does) must not stop the
    // render: the file is written whole.
    const auto piped = RunShell("bash -c " + Quote(run + " 2>&1 | head -c 1 >/dev/null; exit "
                                                         "${PIPESTATUS[0]}"));
    EXPECT_EQ(piped.status, 0) << piped.output;
    EXPECT_GT(fs::file_size(out), 1000000u);
}

} // namespace
