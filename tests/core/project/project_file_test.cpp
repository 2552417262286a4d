// Reading project files line by line into the settings, the LED set and the logo, the
// questions asked on the way, and writing them back.
#include "core/project/project_file.h"

#include "core/base/error.h"
#include "support/scratch_folder.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <deque>
#include <filesystem>
#include <fstream>

namespace lumexa
{
namespace
{

namespace fs = std::filesystem;
using ::testing::ElementsAre;
using ::testing::HasSubstr;

// "<anything>_<w>x<h>.<ext>" decodes to a picture of that size whose grey level is the
// name's length; "<anything>_broken.<ext>" cannot be decoded.
DecodedPicture fakeDecode(const std::string& file)
{
    const std::string stem = fs::path(file).stem().string();
    const std::string tail = stem.substr(stem.rfind('_') + 1);
    int w = 0, h = 0;
    if (tail == "broken" || std::sscanf(tail.c_str(), "%dx%d", &w, &h) != 2)
        throw Error("Cannot read picture " + file + ": Improper image header");
    DecodedPicture d;
    d.width = w;
    d.height = h;
    d.rgba.assign(static_cast<size_t>(w) * h * 4, static_cast<uint8_t>(file.size()));
    for (size_t i = 3; i < d.rgba.size(); i += 4)
        d.rgba[i] = 255;
    return d;
}

struct ScriptedPrompts : ProjectPrompts {
    std::deque<std::optional<std::string>> fileAnswers;
    std::deque<std::optional<std::string>> fontAnswers;
    std::vector<std::string> asked;
    std::vector<std::string> refusals;
    std::vector<RefusedPicture> pictures; // what each refusal was about
    std::vector<std::string> loading;

    std::optional<std::string> missingFile(const std::string& path) override
    {
        asked.push_back("file " + path);
        auto a = fileAnswers.empty() ? std::nullopt : fileAnswers.front();
        if (!fileAnswers.empty())
            fileAnswers.pop_front();
        return a;
    }
    std::optional<std::string> missingFont(const std::string& name) override
    {
        asked.push_back("font " + name);
        auto a = fontAnswers.empty() ? std::nullopt : fontAnswers.front();
        if (!fontAnswers.empty())
            fontAnswers.pop_front();
        return a;
    }
    void refused(const LoadOutcome& o, const std::string& file,
                 const RefusedPicture& picture) override
    {
        refusals.push_back(std::to_string(o.languageString) + " " +
                           fs::path(file).filename().string());
        pictures.push_back(picture);
    }
    void loadingLine(const std::string& value) override { loading.push_back(value); }
    void ledSkipped(int slot, const std::string&) override { skipped.push_back(slot); }
    std::vector<int> skipped;
};

class ProjectFileTest : public ::testing::Test
{
  protected:
    void SetUp() override
    {
        fs::create_directories(dir_ / "pics");
        for (const char* f : {"led_8x8.bmp", "dim_8x8.bmp", "alpha_8x8.bmp", "wide_9x8.bmp",
                              "logo_100x50.png", "big_513x10.png", "bad_broken.png"})
            std::ofstream(dir_ / "pics" / f) << "x";
        NewProject(state_, "1234567890", "DejaVu Sans");
    }

    std::string pic(const std::string& name) const { return (dir_ / "pics" / name).string(); }

    std::string project(const std::vector<std::string>& lines, const std::string& name = "p.led")
    {
        std::ofstream out(dir_ / name, std::ios::binary);
        for (const std::string& l : lines)
            out << l << "\r\n";
        return (dir_ / name).string();
    }

    ReadEnd read(const std::vector<std::string>& lines)
    {
        return ReadProjectFile(project(lines), state_, prompts_, fakeDecode);
    }

    std::string readError(const std::vector<std::string>& lines)
    {
        try {
            read(lines);
        } catch (const Error& e) {
            return e.what();
        }
        return "no error";
    }

    testing::ScratchFolder scratch;
    const fs::path dir_ = scratch.path();
    ProjectSettings settings_;
    LedImageSet leds_;
    Logo logo_;
    std::vector<std::string> fonts_ = {"DejaVu Sans", "DejaVu Serif", "Liberation Mono"};
    ProjectState state_{settings_, leds_, logo_, fonts_};
    ScriptedPrompts prompts_;
};

TEST_F(ProjectFileTest, MissingKeysKeepWhatNewProjectLeft)
{
    settings_.shufle.setPosition(50);
    settings_.kerning.setPosition(3);
    settings_.logoSize.setPosition(4);
    settings_.seedText = "777";
    settings_.rotateBitmaps = true;
    settings_.renderType = kRandomPoints;
    settings_.scale.setPosition(9);
    NewProject(state_, "1234567890", "DejaVu Sans");
    ProjectSettings expected = settings_;
    expected.text = "hello";
    EXPECT_EQ(read({"Text=hello"}), ReadEnd::Complete);
    EXPECT_EQ(settings_, expected);
    EXPECT_EQ(settings_.scale.position(), 5);
    EXPECT_EQ(settings_.shufle.position(), 50);
    EXPECT_EQ(settings_.seedText, "777");
}

TEST_F(ProjectFileTest, BackgroundOpacityIsReadAndOlderProjectsAreTransparent)
{
    read({"RenderBackgroundOpacity=opaque"});
    EXPECT_EQ(settings_.backgroundOpacity, BackgroundOpacity::Opaque);
    // An unknown name (a later version's) changes nothing.
    read({"RenderBackgroundOpacity=opaque", "RenderBackgroundOpacity=frosted"});
    EXPECT_EQ(settings_.backgroundOpacity, BackgroundOpacity::Opaque);
    // A project saved before the choice existed had a transparent background, whatever the
    // project open before it chose.
    read({"Text=old", "RenderUseBackground=1"});
    EXPECT_EQ(settings_.backgroundOpacity, BackgroundOpacity::Transparent);
    read({"RenderBackgroundOpacity=transparent"});
    EXPECT_EQ(settings_.backgroundOpacity, BackgroundOpacity::Transparent);
}

TEST_F(ProjectFileTest, LinesApplyByTheirRules)
{
    read({"Text=a=b",
          "Scale=40",
          "FontSize=1",
          "Brightnes=300",
          "Density=-5",
          "Kerning=+4",
          "scale=9",
          "no equals sign",
          "",
          "=5",
          "RenderUseBackground=2",
          "LogoInvert=0",
          "PreviewButton=9",
          "Seed=00012345",
          "RenderType=1",
          "ActivePage=1",
          "RenderUseMaskChecked=1",
          "RenderUseAddChecked=1",
          "RenderUseMaskEnabled=0",
          "RenderCompression=small"});
    EXPECT_EQ(settings_.text, "a=b");
    EXPECT_EQ(settings_.scale.position(), 16);
    EXPECT_EQ(settings_.fontSize.position(), 6);
    EXPECT_EQ(settings_.brightnes.position(), 255);
    EXPECT_EQ(settings_.density.position(), 1);
    EXPECT_EQ(settings_.kerning.position(), 4);
    EXPECT_TRUE(settings_.useBackground);
    EXPECT_FALSE(settings_.logoInvert);
    EXPECT_EQ(settings_.previewButton, kFlat);
    EXPECT_EQ(settings_.seedText, "12345");
    EXPECT_EQ(settings_.renderType, kRandomBitmaps);
    EXPECT_EQ(settings_.activePage, 1);
    EXPECT_FALSE(settings_.useMaskChecked); // the two mask boxes exclude each other
    EXPECT_TRUE(settings_.useAddChecked);
    EXPECT_FALSE(settings_.useMaskEnabled);
    EXPECT_EQ(settings_.compression, Compression::Small);
    EXPECT_EQ(settings_.printDpi, kDefaultPrintDpi); // kept by projects that predate it
    read({"PrintDpi=600"});
    EXPECT_EQ(settings_.printDpi, 600);

    read({"Text=", "PreviewButton=4", "Text=later", "Scale=1", "RenderCompression=smallest"});
    EXPECT_EQ(settings_.text, "later");
    EXPECT_EQ(settings_.previewButton, kPoints);
    EXPECT_EQ(settings_.compression, Compression::Small); // an unknown name changes nothing
    EXPECT_EQ(settings_.scale.position(), 2);
}

TEST_F(ProjectFileTest, BadValuesStopReadingNamingTheValue)
{
    struct Case {
        const char* line;
        const char* message;
    } cases[] = {
        {"Scale=abc", "'abc' is not a valid integer value"},
        {"Scale=", "'' is not a valid integer value"},
        {"Scale= 5", "' 5' is not a valid integer value"},
        {"LogoInvert=yes", "'yes' is not a valid integer value"},
        {"PreviewButton=1.5", "'1.5' is not a valid integer value"},
        {"RenderType=3", "'3'"},
        {"ActivePage=-1", "'-1'"},
        {"Seed=100000000", "'100000000'"},
        {"Seed=-1", "'-1'"},
        {"PrintDpi=0", "'0' is not a valid print resolution (1 to 100000)"},
        {"PrintDpi=72dpi", "'72dpi' is not a valid integer value"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.line);
        NewProject(state_, "1234567890", "DejaVu Sans");
        const std::string key = std::string(c.line).substr(0, std::string(c.line).find('='));
        EXPECT_THAT(readError({"Text=before", "Density=20", c.line, "Text=after"}),
                    HasSubstr("p.led, line 3, " + key + ": " + c.message));
        EXPECT_EQ(settings_.text, "before");
        EXPECT_EQ(settings_.density.position(), 20);
    }
    read({"Seed=99999999", "Seed=0"});
    EXPECT_EQ(settings_.seedText, "0");
}

// The reader's errors are about the project, so that a caller that puts the project in
// front of an error (lumexa-render does) does not name it twice; a hostile value is shown
// short, with its control characters escaped.
TEST_F(ProjectFileTest, ErrorsAreAboutTheProjectAndShowValuesSafely)
{
    const std::string huge = "\x1B[2J" + std::string(1'000'000, '7') + "x";
    struct Case {
        std::string line;
        std::string shown; // the start of the value as the message shows it
    } cases[] = {
        {"Kerning=abc", "'abc'"},
        {"Seed=" + huge, "'\\e[2J777"},
        {"RenderType=\a9", "'\\a9'"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.shown);
        try {
            read({"Text=x", c.line});
            ADD_FAILURE() << "no error";
        } catch (const Error& e) {
            const std::string path = (dir_ / "p.led").string();
            EXPECT_EQ(e.file(), path);
            EXPECT_EQ(std::string(e.about(path).what()), e.what());
            EXPECT_THAT(e.what(), HasSubstr(path + ", line 2, "));
            EXPECT_THAT(e.what(), HasSubstr(c.shown));
            EXPECT_LT(std::string(e.what()).size(), 400u);
            EXPECT_EQ(std::string(e.what()).find_first_of("\x1B\a"), std::string::npos);
        }
    }
}

TEST_F(ProjectFileTest, UnopenableFileNamesThePath)
{
    const std::string missing = (dir_ / "none.led").string();
    try {
        ReadProjectFile(missing, state_, prompts_, fakeDecode);
        FAIL() << "no error";
    } catch (const Error& e) {
        EXPECT_EQ(std::string(e.what()), "Cannot open file " + missing);
    }
}

TEST_F(ProjectFileTest, LedLinesSkipThePrefixAndUseRelativePathsFromTheProjectFolder)
{
    // The project is read from another working folder: relative paths still hold.
    const fs::path cwd = fs::current_path();
    fs::current_path(fs::temp_directory_path());
    const ReadEnd end = read({"ImageF[]=001pics/led_8x8.bmp", "ImageA[]=001pics/alpha_8x8.bmp",
                              "ImageF[]=xyz" + pic("dim_8x8.bmp"), "ImageA[]=xxx(null)"});
    fs::current_path(cwd);
    EXPECT_EQ(end, ReadEnd::Complete);
    ASSERT_EQ(leds_.count(), 2);
    EXPECT_EQ(leds_[0].fileName, pic("led_8x8.bmp"));
    EXPECT_EQ(leds_[0].alphaFileName, pic("alpha_8x8.bmp"));
    EXPECT_TRUE(leds_[0].alphaInUse);
    EXPECT_FALSE(leds_[1].alphaInUse);
    EXPECT_TRUE(prompts_.asked.empty());
    EXPECT_THAT(prompts_.loading,
                ElementsAre("pics/led_8x8.bmp", "pics/alpha_8x8.bmp", pic("dim_8x8.bmp")));
}

TEST_F(ProjectFileTest, NullWithoutPrefixIsAPathThatIsAskedFor)
{
    read({"ImageF[]=001" + pic("led_8x8.bmp"), "ImageA[]=(null)"});
    EXPECT_THAT(prompts_.asked, ElementsAre("file " + (dir_ / "ll)").string()));
}

TEST_F(ProjectFileTest, RefusedLedIsPassedWithItsAlphaLine)
{
    read({"ImageF[]=001" + pic("led_8x8.bmp"), "ImageA[]=001(null)",
          "ImageF[]=002" + pic("wide_9x8.bmp"), "ImageA[]=002" + pic("alpha_8x8.bmp"),
          "ImageF[]=003" + pic("bad_broken.png"), "ImageA[]=003" + pic("alpha_8x8.bmp"),
          "ImageF[]=004" + pic("dim_8x8.bmp"), "ImageA[]=004" + pic("alpha_8x8.bmp"),
          "Text=read on"});
    // The refused pictures' masks go nowhere; the next accepted LED takes its own.
    ASSERT_EQ(leds_.count(), 2);
    EXPECT_FALSE(leds_[0].alphaInUse);
    EXPECT_TRUE(leds_[1].alphaInUse);
    EXPECT_THAT(prompts_.refusals, ElementsAre("32 wide_9x8.bmp", "-1 bad_broken.png"));
    EXPECT_EQ(settings_.text, "read on");
}

TEST_F(ProjectFileTest, SkippedMissingPicturesLeaveTheRestToLoad)
{
    // An empty answer skips the picture; a skipped LED's alpha line goes with it.
    prompts_.fileAnswers = {std::string(), std::string(), std::string()};
    const ReadEnd end =
        read({"ImageF[]=001" + pic("gone_8x8.bmp"), "ImageA[]=001" + pic("alpha_8x8.bmp"),
              "ImageF[]=002" + pic("led_8x8.bmp"), "ImageA[]=002" + pic("gone_8x8.bmp"),
              "LogoFile=" + pic("gone_100x50.png"), "Text=read on"});
    EXPECT_EQ(end, ReadEnd::Complete);
    EXPECT_EQ(prompts_.asked.size(), 3u);
    ASSERT_EQ(leds_.count(), 1);
    EXPECT_EQ(leds_[0].fileName, pic("led_8x8.bmp"));
    EXPECT_FALSE(leds_[0].alphaInUse);
    EXPECT_FALSE(logo_.loaded);
    EXPECT_EQ(settings_.text, "read on");
}

TEST_F(ProjectFileTest, CheckRefusesWhatCannotLoadAndTouchesNothing)
{
    struct Case {
        std::vector<std::string> lines;
        const char* message; // empty: the file passes
        int languageString;
    } cases[] = {
        {{"Text=a", "ImageF[]=001/nowhere/gone.bmp", "FontName=Nope"}, "", -1},
        {{"hello", "", "colour=red"}, "is not a project file", kStringNotAProject},
        {{}, "is not a project file", kStringNotAProject},
        {{"Text=a", "Scale=5", "Kerning=x"}, "p.led, line 3, Kerning: 'x' is not a valid", -1},
        {{"Text=a", "ActivePage=4"}, "p.led, line 2, ActivePage: '4'", -1},
    };
    for (const Case& c : cases) {
        const std::string path = project(c.lines);
        SCOPED_TRACE(path);
        try {
            CheckProjectFile(path);
            EXPECT_STREQ(c.message, "");
        } catch (const Error& e) {
            EXPECT_THAT(e.what(), HasSubstr(c.message));
            EXPECT_EQ(e.languageString(), c.languageString);
        }
    }
    EXPECT_TRUE(prompts_.asked.empty());
    EXPECT_THROW(CheckProjectFile((dir_ / "none.led").string()), Error);
}

TEST_F(ProjectFileTest, MissingFileQuestion)
{
    // A replacement is used in place of the missing file; Cancel stops reading.
    prompts_.fileAnswers = {pic("dim_8x8.bmp"), std::nullopt};
    const ReadEnd end = read({"Shufle=40", "ImageF[]=001" + pic("led_8x8.bmp"),
                              "ImageF[]=002" + pic("gone_8x8.bmp"), "Kerning=7",
                              "ImageF[]=003/nowhere/gone.bmp", "Text=never"});
    EXPECT_EQ(end, ReadEnd::Cancelled);
    EXPECT_THAT(prompts_.asked,
                ElementsAre("file " + pic("gone_8x8.bmp"), "file /nowhere/gone.bmp"));
    ASSERT_EQ(leds_.count(), 2);
    EXPECT_EQ(leds_[1].fileName, pic("dim_8x8.bmp"));
    EXPECT_EQ(settings_.shufle.position(), 40);
    EXPECT_EQ(settings_.kerning.position(), 7);
    EXPECT_EQ(settings_.text, "1234567890");
}

TEST_F(ProjectFileTest, FontNameAgainstTheFontList)
{
    read({"FontName=Liberation Mono"});
    EXPECT_EQ(settings_.fontName, "Liberation Mono");
    EXPECT_TRUE(prompts_.asked.empty());

    prompts_.fontAnswers = {std::nullopt, std::string("DejaVu Serif")};
    read({"FontName=Comic Nowhere", "Text=still read", "FontName=Arial"});
    EXPECT_THAT(prompts_.asked, ElementsAre("font Comic Nowhere", "font Arial"));
    EXPECT_EQ(settings_.fontName, "DejaVu Serif");
    EXPECT_EQ(settings_.text, "still read");
}

TEST_F(ProjectFileTest, LogoLoadsAndTooLargeLogoStopsReading)
{
    EXPECT_EQ(read({"LogoFile=pics/logo_100x50.png"}), ReadEnd::Complete);
    EXPECT_TRUE(logo_.loaded);
    EXPECT_EQ(logo_.fileName, pic("logo_100x50.png"));

    NewProject(state_, "1234567890", "DejaVu Sans");
    EXPECT_EQ(read({"LogoFile=" + pic("big_513x10.png"), "Text=never"}), ReadEnd::LogoRefused);
    EXPECT_FALSE(logo_.loaded);
    EXPECT_EQ(logo_.fileName, pic("logo_100x50.png"));
    EXPECT_EQ(settings_.text, "1234567890");
    EXPECT_THAT(prompts_.refusals, ElementsAre("44 big_513x10.png"));

    EXPECT_EQ(read({"LogoFile=" + pic("bad_broken.png"), "Text=never"}), ReadEnd::LogoRefused);
    EXPECT_EQ(settings_.text, "1234567890");
}

TEST_F(ProjectFileTest, MoreThan128LedsAddTheFirst128AndReportOnce)
{
    std::vector<std::string> lines;
    for (int i = 0; i < 130; ++i) {
        lines.push_back("ImageF[]=000" + pic("led_8x8.bmp"));
        lines.push_back("ImageA[]=000" + (i < 128 ? std::string("(null)") : pic("alpha_8x8.bmp")));
    }
    lines.push_back("Text=after");
    EXPECT_EQ(read(lines), ReadEnd::Complete);
    EXPECT_EQ(leds_.count(), 128);
    EXPECT_THAT(prompts_.refusals, ElementsAre("29 led_8x8.bmp"));
    EXPECT_FALSE(leds_[127].alphaInUse); // the alpha lines of passed LEDs are passed too
    EXPECT_EQ(settings_.text, "after");
}

TEST_F(ProjectFileTest, Windows1252ProjectIsDecoded)
{
    std::ofstream(dir_ / "cp.led", std::ios::binary) << "Text=Gr\xFC\xDF Gott\r\n";
    ReadProjectFile((dir_ / "cp.led").string(), state_, prompts_, fakeDecode);
    EXPECT_EQ(settings_.text, "Gr\xC3\xBC\xC3\x9F Gott");
}

TEST_F(ProjectFileTest, WrittenProjectReadsBackTheSame)
{
    read({"ImageF[]=001" + pic("led_8x8.bmp"), "ImageA[]=001(null)",
          "ImageF[]=002" + pic("dim_8x8.bmp"), "ImageA[]=002" + pic("alpha_8x8.bmp"),
          "ImageF[]=003" + pic("led_8x8.bmp"), "ImageA[]=003" + pic("dim_8x8.bmp"),
          "LogoFile=" + pic("logo_100x50.png")});
    leds_.clearAlpha(2); // a cleared alpha is written as none
    settings_.text = "Za\xC5\xBC\xC3\xB3\xC5\x82\xC4\x87 [&+01]x[&-01]";
    settings_.fontName = "Liberation Mono";
    settings_.scale.setPosition(7);
    settings_.fontSize.setPosition(31);
    settings_.brightnes.setRange(40, 200);
    settings_.brightnes.setPosition(150);
    settings_.density.setPosition(3);
    settings_.shufle.setPosition(120);
    settings_.kerning.setPosition(2);
    settings_.logoSize.setPosition(6);
    settings_.logoInvert = true;
    settings_.seedText = "01234567";
    settings_.renderType = kRandomPoints;
    settings_.activePage = 1;
    settings_.previewButton = kBitmap;
    settings_.useMaskEnabled = false;
    settings_.setUseAddChecked(true);
    settings_.useAddEnabled = true;
    settings_.useBackground = false;
    settings_.printDpi = 720;
    settings_.rotateBitmaps = true;
    settings_.compression = Compression::Small;
    settings_.backgroundOpacity = BackgroundOpacity::Opaque;

    const std::string saved = (dir_ / "saved.led").string();
    WriteProjectFile(saved, state_);

    ProjectSettings settings2;
    settings2.shufle.setPosition(1);
    LedImageSet leds2;
    Logo logo2;
    ProjectState state2{settings2, leds2, logo2, fonts_};
    NewProject(state2, "1234567890", "DejaVu Sans");
    EXPECT_EQ(ReadProjectFile(saved, state2, prompts_, fakeDecode), ReadEnd::Complete);
    // The threshold's range is the recompute's business; its position comes back.
    EXPECT_EQ(settings2.brightnes.position(), 150);
    settings2.brightnes = settings_.brightnes;
    settings_.seedText = "1234567"; // written as the number it stands for
    EXPECT_EQ(settings2, settings_);
    ASSERT_EQ(leds2.count(), 3);
    for (int n = 0; n < 3; ++n) {
        SCOPED_TRACE(n);
        EXPECT_EQ(leds2[n].fileName, leds_[n].fileName);
        EXPECT_EQ(leds2[n].alphaInUse, leds_[n].alphaInUse);
        EXPECT_EQ(leds2[n].alphaFileName, leds_[n].alphaFileName);
        EXPECT_EQ(leds2[n].picture, leds_[n].picture);
        if (leds_[n].alphaInUse) {
            EXPECT_EQ(leds2[n].alphaPicture, leds_[n].alphaPicture);
        }
    }
    EXPECT_TRUE(logo2.loaded);
    EXPECT_EQ(logo2.fileName, logo_.fileName);
    EXPECT_EQ(logo2.picture, logo_.picture);

    std::ifstream in(saved, std::ios::binary);
    const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    EXPECT_THAT(bytes, HasSubstr("Seed=1234567\r\nRenderType=0\r\n"));
    // The newer key follows every key older readers know, before the LED lines.
    EXPECT_LT(bytes.find("FontName="),
              bytes.find("RenderCompression=small\r\nRenderBackgroundOpacity=opaque\r\n"
                         "ImageF[]="));
    EXPECT_THAT(bytes, HasSubstr("ImageA[]=002(null)\r\n"));
    EXPECT_THAT(bytes, ::testing::EndsWith("\r\n"));
    EXPECT_EQ(bytes.find("\n\n"), std::string::npos);
}

TEST_F(ProjectFileTest, LogoLineOnlyWhileALogoIsLoaded)
{
    logo_.fileName = pic("logo_100x50.png");
    logo_.loaded = false;
    const std::vector<std::string> lines = ProjectFileLines(state_);
    for (const std::string& l : lines)
        EXPECT_NE(l.rfind("LogoFile=", 0), 0u) << l;
    EXPECT_EQ(lines.size(), 23u); // every setting key but the logo
}

TEST_F(ProjectFileTest, LineBreaksInValuesCannotStartNewLines)
{
    settings_.text = "one\r\nLogoFile=/etc/passwd";
    const std::vector<std::string> lines = ProjectFileLines(state_);
    EXPECT_THAT(lines, ::testing::Contains("Text=one  LogoFile=/etc/passwd"));
}

TEST_F(ProjectFileTest, FailedSaveLeavesTheEarlierProject)
{
    // A folder in the way of the rename: the save fails and what was there stays.
    const fs::path target = dir_ / "taken.led";
    fs::create_directories(target / "inside");
    try {
        WriteProjectFile(target.string(), state_);
        FAIL() << "no error";
    } catch (const Error& e) {
        EXPECT_THAT(e.what(), HasSubstr(target.string()));
    }
    EXPECT_TRUE(fs::is_directory(target / "inside"));
    const std::string nowhere = (dir_ / "missing-folder" / "x.led").string();
    EXPECT_THROW(WriteProjectFile(nowhere, state_), Error);
    // No temporary file is left behind.
    for (const auto& entry : fs::directory_iterator(dir_))
        EXPECT_NE(entry.path().filename().string().front(), '.') << entry.path();
}

TEST_F(ProjectFileTest, NewProjectResetsWhatItOwns)
{
    read({"ImageF[]=001" + pic("led_8x8.bmp"), "LogoFile=" + pic("logo_100x50.png"),
          "FontName=DejaVu Serif", "Scale=9", "PreviewButton=3", "ActivePage=1", "LogoInvert=1"});
    settings_.brightnes.setRange(10, 20);
    NewProject(state_, "default", "Not Listed");
    EXPECT_EQ(leds_.count(), 0);
    EXPECT_FALSE(logo_.loaded);
    EXPECT_EQ(logo_.fileName, pic("logo_100x50.png"));
    EXPECT_EQ(settings_.text, "default");
    EXPECT_EQ(settings_.fontName, "DejaVu Serif"); // the window's font is not listed
    EXPECT_EQ(settings_.scale.position(), 5);
    EXPECT_EQ(settings_.brightnes, ScrollSetting(0, 255, 128));
    EXPECT_EQ(settings_.previewButton, kFlat);
    EXPECT_EQ(settings_.activePage, 0);
    EXPECT_FALSE(settings_.logoInvert);
}

// The picture lines of `lines` ("ImageF[]", "ImageA[]", "LogoFile"), without the three
// characters before an LED path.
std::vector<std::string> picturePaths(const std::vector<std::string>& lines)
{
    std::vector<std::string> paths;
    for (const std::string& l : lines) {
        if (l.rfind("Image", 0) == 0)
            paths.push_back(l.substr(l.find('=') + 4));
        else if (l.rfind("LogoFile=", 0) == 0)
            paths.push_back(l.substr(9));
    }
    return paths;
}

TEST_F(ProjectFileTest, SaveKeepsRelativePathsAndMakesThemForPicturesBelowTheProject)
{
    fs::create_directories(dir_ / "elsewhere");
    std::ofstream(dir_ / "elsewhere" / "far_8x8.bmp") << "x";
    PicturePathForms forms;
    state_.pathForms = &forms;
    // As an example ships: relative paths, one of them up and over into another folder.
    fs::create_directories(dir_ / "project");
    ASSERT_EQ(ReadProjectFile(
                  project({"ImageF[]=000../pics/led_8x8.bmp", "ImageA[]=000../pics/alpha_8x8.bmp",
                           "ImageF[]=001" + (dir_ / "elsewhere" / "far_8x8.bmp").string(),
                           "ImageA[]=001(null)", "LogoFile=../pics/logo_100x50.png"},
                          "project/p.led"),
                  state_, prompts_, fakeDecode),
              ReadEnd::Complete);
    ASSERT_EQ(leds_.count(), 2);
    EXPECT_EQ(leds_[0].fileName, pic("led_8x8.bmp")); // resolved for loading

    // Saved where it was read: the paths as given.
    const std::string again = (dir_ / "project" / "again.led").string();
    EXPECT_THAT(picturePaths(ProjectFileLines(state_, again)),
                ElementsAre("../pics/logo_100x50.png", "../pics/led_8x8.bmp",
                            "../pics/alpha_8x8.bmp", (dir_ / "elsewhere" / "far_8x8.bmp").string(),
                            "(null)"));
    // Saved into the folder above: what lies below it is relative to the new file.
    EXPECT_THAT(picturePaths(ProjectFileLines(state_, (dir_ / "up.led").string())),
                ElementsAre("pics/logo_100x50.png", "pics/led_8x8.bmp", "pics/alpha_8x8.bmp",
                            "elsewhere/far_8x8.bmp", "(null)"));
    // Saved into a folder beside the pictures: full paths.
    EXPECT_THAT(picturePaths(ProjectFileLines(state_, (dir_ / "elsewhere" / "x.led").string())),
                ElementsAre(pic("logo_100x50.png"), pic("led_8x8.bmp"), pic("alpha_8x8.bmp"),
                            "far_8x8.bmp", "(null)"));
    // Without a file (what the window compares to see changes): full paths.
    EXPECT_THAT(picturePaths(ProjectFileLines(state_)),
                ElementsAre(pic("logo_100x50.png"), pic("led_8x8.bmp"), pic("alpha_8x8.bmp"),
                            (dir_ / "elsewhere" / "far_8x8.bmp").string(), "(null)"));

    // Written and read back from the other folder: the same pictures.
    const std::string moved = (dir_ / "up.led").string();
    WriteProjectFile(moved, state_);
    ProjectSettings settings2;
    LedImageSet leds2;
    Logo logo2;
    ProjectState state2{settings2, leds2, logo2, fonts_};
    ASSERT_EQ(ReadProjectFile(moved, state2, prompts_, fakeDecode), ReadEnd::Complete);
    ASSERT_EQ(leds2.count(), 2);
    EXPECT_EQ(leds2[0].alphaFileName, pic("alpha_8x8.bmp"));
    EXPECT_EQ(leds2[1].fileName, (dir_ / "elsewhere" / "far_8x8.bmp").string());
    EXPECT_EQ(logo2.fileName, pic("logo_100x50.png"));
}

TEST_F(ProjectFileTest, SkippedAndRefusedLedsAreToldByTheirPlaceInTheFile)
{
    prompts_.fileAnswers = {std::string()}; // skip the missing one
    read({"ImageF[]=000" + pic("led_8x8.bmp"), "ImageA[]=000(null)",
          "ImageF[]=001" + pic("gone_8x8.bmp"), "ImageA[]=001(null)",
          "ImageF[]=002" + pic("wide_9x8.bmp"), "ImageA[]=002(null)",
          "ImageF[]=003" + pic("dim_8x8.bmp"), "ImageA[]=003(null)"});
    EXPECT_EQ(leds_.count(), 2);
    EXPECT_THAT(prompts_.skipped, ElementsAre(1, 2));
}

} // namespace
} // namespace lumexa
