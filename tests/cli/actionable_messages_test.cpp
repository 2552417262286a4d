// lumexa-render's messages as a person reads them: a picture that cannot be read stops the
// render naming it (or is left out, when asked, with what the result lacks), a folder is
// said to be a folder, the project is named once, values from files are shown short and
// without the control characters a terminal would obey, language-file problems name the
// file and line, and log lines without a language file still say what they are.
#include "support/command_runner.h"
#include "support/file_bytes.h"
#include "support/project_folder.h"
#include "support/render_program.h"

#include <Magick++.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <sys/stat.h>

namespace fs = std::filesystem;
using lumexa::testing::CommandResult;
using lumexa::testing::kRender;
using lumexa::testing::Quote;
using lumexa::testing::ReadAll;
using lumexa::testing::RunShell;
using lumexa::testing::WriteAll;

namespace
{

class ActionableMessages : public lumexa::testing::ProjectFolder
{
  protected:
    CommandResult render(const std::string& project, const std::string& options = "-q",
                         const std::string& program = kRender)
    {
        return RunShell("timeout 60 " + Quote(program) + " " + options + " " + Quote(project) +
                        " " + Quote((dir / "out.tga").string()) + " 2>&1");
    }

    // A copy of the program with `English.lng` (when not empty) in its folder.
    std::string programWith(const std::string& english)
    {
        fs::create_directories(dir / "bin");
        fs::copy_file(kRender, dir / "bin" / "lumexa-render");
        if (!english.empty())
            WriteAll(dir / "bin" / "English.lng", english);
        return (dir / "bin" / "lumexa-render").string();
    }
};

// An LED or alpha picture that cannot be read gave a result without it and exit 0, where
// a missing one stops the render: a headless render cannot ask, so it does not guess.
TEST_F(ActionableMessages, UnreadablePictureStopsTheRenderUnlessToldToGoOn)
{
    Magick::Image good(Magick::Geometry(8, 8), Magick::Color("orange"));
    Magick::Blob blob;
    good.magick("png");
    good.write(&blob);
    WriteAll(dir / "cut.png",
             std::string(static_cast<const char*>(blob.data()), blob.length() / 2));
    ASSERT_EQ(::mkfifo((dir / "fifo.png").c_str(), 0644), 0);
    fs::create_directory(dir / "folder.png");
    const std::string three = "ImageF[]=000unlit.png\r\nImageA[]=000(null)\r\n"
                              "ImageF[]=001red.png\r\nImageA[]=001(null)\r\n";
    struct Case {
        const char* what;
        std::string lines;   // the LED lines after the two good LED images
        std::string picture; // the picture named
        std::string lacks;   // what the warning says the result lacks
    };
    const Case cases[] = {
        {"corrupt LED picture", "ImageF[]=002cut.png\r\nImageA[]=002(null)\r\n",
         (dir / "cut.png").string(), "no LED image for this picture"},
        {"LED picture that is a FIFO", "ImageF[]=002fifo.png\r\nImageA[]=002(null)\r\n",
         (dir / "fifo.png").string(), "no LED image for this picture"},
        {"LED picture that is a device", "ImageF[]=002/dev/zero\r\nImageA[]=002(null)\r\n",
         "/dev/zero", "no LED image for this picture"},
        {"LED picture that is a folder", "ImageF[]=002folder.png\r\nImageA[]=002(null)\r\n",
         (dir / "folder.png").string() + ": it is a folder", "no LED image for this picture"},
        {"corrupt alpha picture", "ImageF[]=002red.png\r\nImageA[]=002cut.png\r\n",
         (dir / "cut.png").string(), "LED image 2 has no alpha picture"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        WriteAll(dir / "p.led",
                 "Text=Hi\r\nFontName=DejaVu Sans\r\nFontSize=12\r\n" + three + c.lines);
        const auto before = snapshot();
        const CommandResult stopped = render((dir / "p.led").string());
        EXPECT_EQ(stopped.status, 1) << stopped.output;
        EXPECT_NE(stopped.output.find(c.picture), std::string::npos) << stopped.output;
        EXPECT_NE(stopped.output.find("--skip-unreadable-pictures renders without it"),
                  std::string::npos)
            << stopped.output;
        EXPECT_EQ(snapshot(), before);

        const CommandResult skipped =
            render((dir / "p.led").string(), "-q --skip-unreadable-pictures");
        EXPECT_EQ(skipped.status, 0) << skipped.output;
        EXPECT_EQ(skipped.output.rfind("lumexa-render: warning: ", 0), 0u) << skipped.output;
        EXPECT_NE(skipped.output.find(c.picture), std::string::npos) << skipped.output;
        EXPECT_NE(skipped.output.find(c.lacks), std::string::npos) << skipped.output;
        EXPECT_NE(ReadAll(dir / "out.tga"), "earlier result");
        WriteAll(dir / "out.tga", "earlier result");
    }
}

TEST_F(ActionableMessages, NamesAreSaidOnceAndShownSafely)
{
    fs::create_directory(dir / "logo.png");
    const std::string hostileFont = "\x1B]0;owned\a" + std::string(30'000'000, 'F');
    struct Case {
        const char* what;
        std::vector<std::string> extra;
        std::string says;
    };
    const Case cases[] = {
        {"a folder as logo",
         {"ActivePage=1", "LogoFile=logo.png"},
         (dir / "logo.png").string() + ": it is a folder"},
        {"a bad number",
         {"Kerning=abc"},
         "lumexa-render: " + (dir / "p.led").string() + ", line 4, Kerning: 'abc'"},
        {"a 30 MB font name with control characters",
         {"FontName=" + hostileFont},
         "The font '\\e]0;owned\\aFFFF"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const CommandResult run =
            render(writeProject("p.led", "Hi", {"unlit.png", "red.png"}, 12, c.extra));
        EXPECT_EQ(run.status, 1) << run.output.substr(0, 300);
        EXPECT_NE(run.output.find(c.says), std::string::npos) << run.output.substr(0, 300);
        EXPECT_EQ(run.output.find((dir / "p.led").string() + ": " + (dir / "p.led").string()),
                  std::string::npos)
            << "the project named twice: " << run.output;
        EXPECT_LT(run.output.size(), 1000u);
        EXPECT_EQ(run.output.find_first_of("\x1B\a"), std::string::npos);
    }
}

TEST_F(ActionableMessages, LanguageFileProblemsAndLogLinesWithoutOne)
{
    const std::string project = writeProject("p.led", "Hi", {"unlit.png", "red.png"});
    struct Case {
        const char* what;
        std::string english; // empty: no language file at all
        std::string says;
        std::string notSaid;
    };
    const Case cases[] = {
        {"a bad line", "English\n1=[Render started.]\nx2=[bad]\n",
         "lumexa-render: warning: " + (dir / "bin" / "English.lng").string() +
             ", line 3: 'x2' is not a valid integer value",
         "\n: "},
        {"control characters in a log line", "English\n1=[\x1B[2JRender started.\a]\n",
         "\\e[2JRender started.\\a\n", "\x1B"},
        {"no language file", "", "\nResult file size: ", "\n: "},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        fs::remove_all(dir / "bin");
        const CommandResult run = render(project, "", programWith(c.english));
        EXPECT_EQ(run.status, 0) << run.output;
        EXPECT_NE(run.output.find(c.says), std::string::npos) << run.output;
        EXPECT_EQ(("\n" + run.output).find(c.notSaid), std::string::npos) << run.output;
    }
}

// 1024 threads with a gigabyte of address space: the threads cannot all start. The run
// says what ran out and what to do, where it said "Resource temporarily unavailable".
TEST_F(ActionableMessages, ThreadsThatCannotStartAreToldWithWhatToDo)
{
#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
    GTEST_SKIP() << "the sanitizers need more address space than the limit leaves";
#endif
    const std::string project = writeProject("p.led", "Hi", {"unlit.png", "red.png"});
    const auto before = snapshot();
    // KILL: a regression hung joining the threads that had started, deaf to SIGTERM.
    const CommandResult run =
        RunShell("ulimit -v 1000000; timeout -s KILL 60 " + Quote(kRender) + " -q -j 1024 " +
                 Quote(project) + " " + Quote((dir / "out.png").string()) + " 2>&1");
    EXPECT_EQ(run.status, 1) << run.output;
    EXPECT_NE(run.output.find("Cannot start another thread: "), std::string::npos) << run.output;
    EXPECT_NE(run.output.find("fewer threads"), std::string::npos) << run.output;
    EXPECT_EQ(snapshot(), before);
}

} // namespace
