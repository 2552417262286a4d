// lumexa-render end to end: the examples render, and every failure ends with exit status
// 1 (2 for the command line), a message naming the file or value, and no file written.
#include "support/command_runner.h"
#include "support/file_bytes.h"
#include "support/render_program.h"
#include "support/scratch_folder.h"

#include <gtest/gtest.h>

#include <array>
#include <csignal>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <optional>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace
{

namespace fs = std::filesystem;

using lumexa::testing::CommandResult;
using lumexa::testing::kExamples;
using lumexa::testing::kRender;
using lumexa::testing::Quote;
using lumexa::testing::ReadAll;
using lumexa::testing::RunShell;

// A 24-bit uncompressed Targa picture, top row first, every pixel `bgr` except those of
// the last row, which are `lastRow`.
void WritePicture(const std::string& path, int w, int h, std::array<uint8_t, 3> bgr,
                  std::optional<std::array<uint8_t, 3>> lastRow = std::nullopt)
{
    std::ofstream out(path, std::ios::binary);
    const uint8_t header[18] = {0,
                                0,
                                2,
                                0,
                                0,
                                0,
                                0,
                                0,
                                0,
                                0,
                                0,
                                0,
                                static_cast<uint8_t>(w & 0xFF),
                                static_cast<uint8_t>(w >> 8),
                                static_cast<uint8_t>(h & 0xFF),
                                static_cast<uint8_t>(h >> 8),
                                24,
                                0x20};
    out.write(reinterpret_cast<const char*>(header), 18);
    for (int i = 0; i < w * h; ++i) {
        const auto& c = (lastRow && i >= w * (h - 1)) ? *lastRow : bgr;
        out.write(reinterpret_cast<const char*>(c.data()), 3);
    }
}

class LumexaRenderTest : public ::testing::Test
{
  protected:
    void SetUp() override
    {
        WritePicture(file("unlit.tga"), 4, 4, {40, 40, 40});
        WritePicture(file("lit.tga"), 4, 4, {20, 20, 230});
    }

    std::string file(const std::string& name) const { return (dir_ / name).string(); }

    // A text project with the two LED pictures, plus `extra` lines.
    std::string project(const std::vector<std::string>& extra,
                        const std::string& name = "p.led") const
    {
        std::ofstream out(file(name), std::ios::binary);
        for (const std::string& l : {std::string("Text=Hi"), std::string("FontName=DejaVu Sans"),
                                     std::string("FontSize=12")})
            out << l << "\r\n";
        for (const std::string& l : extra)
            out << l << "\r\n";
        return file(name);
    }
    std::vector<std::string> leds() const
    {
        return {"ImageF[]=000unlit.tga", "ImageA[]=000(null)", "ImageF[]=001lit.tga",
                "ImageA[]=001(null)"};
    }
    size_t entries() const
    {
        return static_cast<size_t>(std::distance(fs::directory_iterator(dir_), {}));
    }
    CommandResult render(const std::string& projectPath, const std::string& output,
                         const std::string& prefix = "") const
    {
        return RunShell(prefix + Quote(kRender) + " -q " + Quote(projectPath) + " " +
                        Quote(output));
    }

    lumexa::testing::ScratchFolder scratch;
    const fs::path dir_ = scratch.path();
};

TEST_F(LumexaRenderTest, ExamplesRender)
{
    for (const char* name : {"text", "logo", "points"}) {
        const std::string out = file(std::string(name) + ".tga");
        const CommandResult run = render(kExamples + "/" + name + ".led", out);
        ASSERT_EQ(run.status, 0) << name << ": " << run.output;
        EXPECT_EQ(run.output, "") << name; // quiet
        const std::string read = ReadAll(out);
        const std::vector<uint8_t> bytes(read.begin(), read.end());
        ASSERT_GE(bytes.size(), 18u) << name;
        const size_t w = bytes[12] | (bytes[13] << 8);
        const size_t h = bytes[14] | (bytes[15] << 8);
        EXPECT_GT(w * h, 0u) << name;
        EXPECT_EQ(bytes.size(), 18 + 4 * w * h) << name;
        EXPECT_EQ(bytes[2], 2) << name;
        EXPECT_EQ(bytes[16], 32) << name;
    }
}

TEST_F(LumexaRenderTest, OutputNameOrFormatOptionChoosesTheFormat)
{
    struct Case {
        const char* name;
        const char* option;
        std::string magic;
    };
    const Case cases[] = {{"out.png", "", "\x89PNG"},
                          {"out.tif", "", "II*"},
                          {"out.TGA", "", std::string("\0\0\x02", 3)},
                          {"forced.out", "--format png", "\x89PNG"},
                          {"named.png", "--format=tiff", "II*"},
                          {"named.tif", "--format tga", std::string("\0\0\x02", 3)}};
    for (const Case& c : cases) {
        const CommandResult run =
            RunShell(Quote(kRender) + " -q " + c.option + " " + Quote(kExamples + "/logo.led") +
                     " " + Quote(file(c.name)));
        ASSERT_EQ(run.status, 0) << c.name << ": " << run.output;
        EXPECT_EQ(ReadAll(file(c.name)).substr(0, c.magic.size()), c.magic) << c.name;
    }
}

TEST_F(LumexaRenderTest, SameProjectSameBytesWithAnyNumberOfThreadsOnAnyScreen)
{
    // The text is drawn through the platform's fonts, whose hinting Qt would otherwise
    // choose by the screen's scale.
    const std::string p = kExamples + "/text.led";
    ASSERT_EQ(RunShell(Quote(kRender) + " -q -j1 " + Quote(p) + " " + Quote(file("a.tga"))).status,
              0);
    ASSERT_EQ(RunShell(Quote(kRender) + " -q -j3 " + Quote(p) + " " + Quote(file("b.tga"))).status,
              0);
    ASSERT_EQ(RunShell("QT_SCALE_FACTOR=2 " + Quote(kRender) + " -q " + Quote(p) + " " +
                       Quote(file("c.tga")))
                  .status,
              0);
    EXPECT_EQ(ReadAll(file("a.tga")), ReadAll(file("b.tga")));
    EXPECT_EQ(ReadAll(file("a.tga")), ReadAll(file("c.tga")));
}

TEST_F(LumexaRenderTest, ProgressAndLogLinesGoToStderr)
{
    const CommandResult run = RunShell("(" + Quote(kRender) + " " + Quote(project(leds())) + " " +
                                       Quote(file("out.tga")) + " 2>/dev/null)");
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.output, "");
    const CommandResult logged =
        RunShell(Quote(kRender) + " " + Quote(project(leds())) + " " + Quote(file("out.tga")));
    EXPECT_EQ(logged.status, 0);
    EXPECT_NE(logged.output.find("100.0%"), std::string::npos) << logged.output;
}

TEST_F(LumexaRenderTest, LogTellsWhatTheFormatDoes)
{
    // A Targa file's size is settled with its header; PNG and TIFF compress, so their
    // picture size is told first and the file's real size at the end.
    struct Case {
        const char* name;
        bool sizeAhead;
    } const cases[] = {{"out.tga", true}, {"out.png", false}, {"out.tiff", false}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string out = file(c.name);
        const CommandResult run =
            RunShell(Quote(kRender) + " " + Quote(project(leds())) + " " + Quote(out) + " 2>&1");
        ASSERT_EQ(run.status, 0) << run.output;
        const bool header = run.output.find("File header written.") != std::string::npos;
        EXPECT_EQ(header, c.sizeAhead) << run.output;
        const std::string real =
            "Result file size: " + std::to_string(fs::file_size(out) / 1000) + "kb";
        if (c.sizeAhead) {
            EXPECT_EQ(run.output.find("Result size in pixels"),
                      run.output.rfind("Result size in pixels")) // the layout's line only
                << run.output;
        } else {
            EXPECT_NE(run.output.find(real), std::string::npos) << run.output;
            EXPECT_LT(run.output.find("Result size in pixels"),
                      run.output.rfind("Result size in pixels")) // the layout's and the writer's
                << run.output;
        }
    }
}

TEST_F(LumexaRenderTest, FailuresNameTheFileOrValue)
{
    struct Case {
        const char* what;
        std::vector<std::string> lines;
        std::string named;
    };
    std::vector<std::string> missing = {"ImageF[]=000unlit.tga", "ImageA[]=000(null)",
                                        "ImageF[]=001nowhere.png"};
    std::vector<std::string> badNumber = leds();
    badNumber.push_back("Kerning=abc");
    std::vector<std::string> badFont = leds();
    badFont.push_back("FontName=No Such Face 123");
    WritePicture(file("huge-logo.tga"), 600, 4, {0, 0, 0});
    std::vector<std::string> bigLogo = leds();
    bigLogo.push_back("ActivePage=1");
    bigLogo.push_back("LogoFile=huge-logo.tga");
    std::vector<std::string> badTag = leds();
    badTag.push_back("Text=a[&+5]b");
    const Case cases[] = {
        {"missing picture", missing, file("nowhere.png")},
        {"bad number", badNumber, "'abc'"},
        {"missing font", badFont, "No Such Face 123"},
        {"bad tag number", badTag, "'5]'"},
        {"one LED image", {"ImageF[]=000unlit.tga"}, "two LED images"},
        {"refused logo", bigLogo, file("huge-logo.tga")},
        {"empty text", {"Text=", "ImageF[]=000unlit.tga", "ImageF[]=001lit.tga"}, "text"},
    };
    for (const Case& c : cases) {
        fs::remove(file("out.tga"));
        const CommandResult run = render(project(c.lines), file("out.tga"));
        EXPECT_EQ(run.status, 1) << c.what << ": " << run.output;
        EXPECT_NE(run.output.find(c.named), std::string::npos) << c.what << ": " << run.output;
        EXPECT_EQ(run.output.find('\n'), run.output.size() - 1) << c.what << ": one line";
        EXPECT_FALSE(fs::exists(file("out.tga"))) << c.what;
    }
}

TEST_F(LumexaRenderTest, MissingFontWarnsWhereItDoesNotMatterAndCanBeStoodIn)
{
    // Later lines win: each project names its font after the base project's own.
    struct Case {
        const char* what;
        std::vector<std::string> page;
        std::string font;
        std::string options;
        std::vector<std::string> warned; // empty: no warning
    };
    const std::vector<std::string> logoPage = {
        "ActivePage=1", "LogoFile=" + std::string(LUMEXA_DATA) + "/examples/badge.png"};
    const Case cases[] = {
        {"Logo page, installed font", logoPage, "DejaVu Sans", "", {}},
        {"Logo page, missing font",
         logoPage,
         "No Such Face 123",
         "",
         {"No Such Face 123", "Logo page"}},
        {"Text page, installed font", {}, "DejaVu Sans", "", {}},
        {"Text page, missing font stood in",
         {},
         "No Such Face 123",
         "--font 'DejaVu Sans' ",
         {"No Such Face 123", "'DejaVu Sans' stands in"}},
    };
    std::map<bool, std::string> firstOfPage;
    for (const Case& c : cases) {
        std::vector<std::string> lines = leds();
        lines.insert(lines.end(), c.page.begin(), c.page.end());
        lines.push_back("FontName=" + c.font);
        const std::string out = file("out.tga");
        fs::remove(out);
        const CommandResult run = RunShell(Quote(kRender) + " -q " + c.options +
                                           Quote(project(lines)) + " " + Quote(out));
        EXPECT_EQ(run.status, 0) << c.what << ": " << run.output;
        for (const std::string& w : c.warned)
            EXPECT_NE(run.output.find(w), std::string::npos) << c.what << ": " << run.output;
        if (c.warned.empty()) {
            EXPECT_EQ(run.output, "") << c.what;
        }
        // The stand-in or the unused font gives the very bytes of the installed one.
        const auto [first, isFirst] = firstOfPage.emplace(!c.page.empty(), ReadAll(out));
        EXPECT_FALSE(first->second.empty()) << c.what;
        if (!isFirst) {
            EXPECT_EQ(ReadAll(out), first->second) << c.what;
        }
    }

    const CommandResult unknown = RunShell(Quote(kRender) + " -q --font 'No Such Face 123' " +
                                           Quote(project(leds())) + " " + Quote(file("out.tga")));
    EXPECT_EQ(unknown.status, 1);
    EXPECT_NE(unknown.output.find("'No Such Face 123' given with --font"), std::string::npos);

    const CommandResult list = RunShell(Quote(kRender) + " --list-fonts");
    EXPECT_EQ(list.status, 0);
    EXPECT_NE(("\n" + list.output).find("\nDejaVu Sans\n"), std::string::npos) << list.output;
}

TEST_F(LumexaRenderTest, RefusedLedPictureIsAWarning)
{
    WritePicture(file("big.tga"), 6, 6, {0, 200, 0});
    std::vector<std::string> lines = leds();
    lines.push_back("ImageF[]=002big.tga");
    const CommandResult run = render(project(lines), file("out.tga"));
    EXPECT_EQ(run.status, 0) << run.output;
    EXPECT_NE(run.output.find("warning"), std::string::npos) << run.output;
    EXPECT_NE(run.output.find(file("big.tga")), std::string::npos) << run.output;
    EXPECT_TRUE(fs::exists(file("out.tga")));
}

TEST_F(LumexaRenderTest, UnwritableDestinationIsNamed)
{
    const std::string out = file("no-such-folder/out.tga");
    const CommandResult run = render(project(leds()), out);
    EXPECT_EQ(run.status, 1);
    EXPECT_NE(run.output.find(out), std::string::npos) << run.output;
}

TEST_F(LumexaRenderTest, ResultOf65536PixelsIsRefusedBeforeAnythingIsWritten)
{
    // LED pictures 512 pixels wide on a logo 128 columns wide: 65536 pixels across.
    WritePicture(file("wide0.tga"), 512, 2, {40, 40, 40});
    WritePicture(file("wide1.tga"), 512, 2, {20, 20, 230});
    WritePicture(file("logo.tga"), 128, 2, {0, 0, 0}, std::array<uint8_t, 3>{255, 255, 255});
    std::ofstream(file("out.tga")) << "earlier";
    const std::string p = project({"ActivePage=1", "LogoFile=logo.tga", "LogoInvert=1",
                                   "ImageF[]=000wide0.tga", "ImageF[]=001wide1.tga"});
    const CommandResult run = render(p, file("out.tga"));
    EXPECT_EQ(run.status, 1);
    EXPECT_NE(run.output.find("65536 x 4"), std::string::npos) << run.output;
    EXPECT_NE(run.output.find(file("out.tga")), std::string::npos) << run.output;
    EXPECT_EQ(ReadAll(file("out.tga")), "earlier");
}

TEST_F(LumexaRenderTest, WriteThatFailsPartWayKeepsTheEarlierFileAndNoTemporaryFile)
{
    for (const char* name : {"out.tga", "out.png", "out.tif"}) {
        std::ofstream(file(name)) << "earlier";
        const size_t before = entries();
        // A file size limit of 16 KiB makes a write fail part-way, as a full disk does;
        // every writer says why.
        const CommandResult run = render(kExamples + "/text.led", file(name), "ulimit -f 16; ");
        EXPECT_EQ(run.status, 1) << run.output;
        EXPECT_NE(run.output.find("Cannot write file " + file(name) + ": File too large"),
                  std::string::npos)
            << run.output;
        EXPECT_EQ(ReadAll(file(name)), "earlier") << name;
        EXPECT_EQ(entries(), before) << name;
    }
}

TEST_F(LumexaRenderTest, CommandLine)
{
    struct Case {
        std::string args;
        int status;
        std::string says;
    };
    const Case cases[] = {
        {"", 2, "needed"},
        {"a.led", 2, "needed"},
        {"a.led b.tga c.tga", 2, "too many"},
        {"--frobnicate a.led b.tga", 2, "--frobnicate"},
        {"-j 0 a.led b.tga", 2, "'0'"},
        {"--threads", 2, "needs a value"},
        {"--format jpeg a.led b.tga", 2, "'jpeg'"},
        {"--help", 0, "Usage: lumexa-render"},
        {"--version", 0, "lumexa-render "},
        {"-q " + Quote(file("none.led")) + " " + Quote(file("o.tga")), 1,
         "Cannot open file " + file("none.led")},
    };
    for (const Case& c : cases) {
        const CommandResult run = RunShell(Quote(kRender) + " " + c.args);
        EXPECT_EQ(run.status, c.status) << c.args << ": " << run.output;
        EXPECT_NE(run.output.find(c.says), std::string::npos) << c.args << ": " << run.output;
    }
}

// Ctrl-C acts as Cancel: the render stops at its next row, and neither a partial file
// nor a temporary file is left; an earlier file of that name stays.
TEST_F(LumexaRenderTest, InterruptLeavesTheEarlierFileAndNoTemporaryFile)
{
    WritePicture(file("big0.tga"), 64, 64, {40, 40, 40});
    WritePicture(file("big1.tga"), 64, 64, {20, 20, 230});
    WritePicture(file("logo.tga"), 120, 40, {0, 0, 0}, std::array<uint8_t, 3>{255, 255, 255});
    const std::string p =
        project({"ActivePage=1", "LogoFile=logo.tga", "LogoInvert=0", "RenderRotateBitmaps=1",
                 "ImageF[]=000big0.tga", "ImageF[]=001big1.tga"});
    std::ofstream(file("out.tga")) << "earlier";
    const size_t before = entries();

    int toParent[2];
    ASSERT_EQ(::pipe(toParent), 0);
    const pid_t pid = ::fork();
    ASSERT_GE(pid, 0);
    if (pid == 0) {
        ::dup2(toParent[1], STDERR_FILENO);
        ::close(toParent[0]);
        ::execl(kRender.c_str(), "lumexa-render", "-j1", p.c_str(), file("out.tga").c_str(),
                static_cast<char*>(nullptr));
        ::_exit(127);
    }
    ::close(toParent[1]);
    // The log line that comes just before the first row is composed.
    std::string seen;
    char c;
    bool signalled = false;
    while (::read(toParent[0], &c, 1) == 1) {
        seen += c;
        if (!signalled && seen.find("Rendering rows") != std::string::npos) {
            ::kill(pid, SIGINT);
            signalled = true;
        }
    }
    ::close(toParent[0]);
    int status = 0;
    ::waitpid(pid, &status, 0);
    ASSERT_TRUE(signalled) << seen;
    ASSERT_TRUE(WIFEXITED(status)) << seen;
    EXPECT_EQ(WEXITSTATUS(status), 1) << seen;
    EXPECT_NE(seen.find("interrupted"), std::string::npos) << seen;
    EXPECT_EQ(ReadAll(file("out.tga")), "earlier");
    EXPECT_EQ(entries(), before);
}

} // namespace
