// lumexa-render against hostile input: broken, empty and enormous pictures, garbage and
// oversized projects, numbers that are no numbers, cut tags, and destinations that cannot
// be written. Every case ends cleanly (exit 0 or 1, never a crash) with a message naming
// the file or value, and leaves every file that existed before exactly as it was.
#include "support/command_runner.h"
#include "support/file_bytes.h"
#include "support/project_folder.h"
#include "support/render_program.h"

#include <Magick++.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <random>

namespace fs = std::filesystem;
using lumexa::testing::kRender;
using lumexa::testing::Quote;
using lumexa::testing::RunShell;
using lumexa::testing::WriteAll;

namespace
{

class HostileInputs : public lumexa::testing::ProjectFolder
{
  protected:
    // A text project p.led with two LED pictures and `extra` lines; `lit` names the second.
    std::string project(const std::vector<std::string>& extra, const std::string& lit = "red.png")
    {
        return writeProject("p.led", "Hi", {"unlit.png", lit}, 12, extra);
    }

    // Runs lumexa-render; on failure every file must be as before and nothing added.
    void expect(const std::string& what, const std::string& projectPath, int status,
                const std::string& named, const std::string& output = "")
    {
        const std::string out = output.empty() ? (dir / "out.tga").string() : output;
        const auto before = snapshot();
        const auto run =
            RunShell(Quote(kRender) + " -q -j 2 " + Quote(projectPath) + " " + Quote(out));
        EXPECT_EQ(run.status, status) << what << "\n" << run.output;
        EXPECT_NE(run.output.find(named), std::string::npos)
            << what << ": the message should name " << named << "\n"
            << run.output;
        if (status != 0)
            EXPECT_EQ(snapshot(), before) << what << ": files changed";
        else
            WriteAll(dir / "out.tga", "earlier result");
    }
};

TEST_F(HostileInputs, BrokenPicturesAreNamedAndChangeNothing)
{
    // Each format, cut in half; plus files that are no pictures at all.
    Magick::Image good(Magick::Geometry(16, 16), Magick::Color("orange"));
    std::map<std::string, std::string> pictures;
    for (const char* ext : {"png", "gif", "jpg", "bmp", "tga", "pcx", "tif"}) {
        Magick::Blob blob;
        good.magick(ext);
        good.write(&blob);
        const std::string bytes(static_cast<const char*>(blob.data()), blob.length());
        pictures[std::string("cut.") + ext] = bytes.substr(0, bytes.size() / 2);
    }
    pictures["empty.png"] = "";
    pictures["text.bmp"] = "this is not a picture\n";
    // A bitmap header that claims 100000 x 100000 pixels, followed by a few bytes.
    std::string huge = "BM" + std::string(12, '\0');
    const unsigned char info[40] = {40,   0,    0,    0, 0xA0, 0x86, 0x01, 0,
                                    0xA0, 0x86, 0x01, 0, 1,    0,    24,   0};
    huge.append(reinterpret_cast<const char*>(info), 40);
    huge[10] = 54;
    huge += std::string(64, '\x7f');
    pictures["huge.bmp"] = huge;
    for (const auto& [name, bytes] : pictures)
        WriteAll(dir / name, bytes);
    fs::create_directory(dir / "folder.png");
    pictures["folder.png"] = "";

    for (const auto& [name, bytes] : pictures)
        expect(name, project({}, name), 1, (dir / name).string());
}

TEST_F(HostileInputs, GarbageAndOversizedProjects)
{
    std::mt19937 rng(11);
    std::string garbage(64 * 1024, '\0');
    for (char& c : garbage)
        c = static_cast<char>(rng());
    WriteAll(dir / "garbage.led", garbage);
    expect("binary garbage", (dir / "garbage.led").string(), 1, "garbage.led");

    expect("10 MB text line", project({"Text=" + std::string(10'000'000, 'W')}), 1, "is too large");
    expect("10 MB unknown line", project({"Note=" + std::string(10'000'000, 'x')}), 0, "");

    std::vector<std::string> many;
    for (int i = 0; i < 5000; ++i)
        many.insert(many.end(), {"ImageF[]=000red.png", "ImageA[]=000(null)"});
    expect("10,000 LED lines", project(many), 0, "at most 128");

    fs::create_directory(dir / "folder.led");
    expect("a folder as project", (dir / "folder.led").string(), 1, "folder.led");
    expect("a missing project", (dir / "none.led").string(), 1, "none.led");
}

TEST_F(HostileInputs, NumbersThatAreNoNumbers)
{
    const char* const scrollKeys[] = {"Scale",  "FontSize", "Brightnes", "Density",
                                      "Shufle", "Kerning",  "LogoSize"};
    const char* const otherKeys[] = {"RenderType", "ActivePage",           "PreviewButton",
                                     "Seed",       "RenderUseMaskEnabled", "RenderUseBackground",
                                     "LogoInvert"};
    std::vector<std::string> keys(std::begin(scrollKeys), std::end(scrollKeys));
    keys.insert(keys.end(), std::begin(otherKeys), std::end(otherKeys));
    for (const std::string& key : keys) {
        for (const std::string value : {"abc", "", "99999999999999999999"})
            expect(key + "=" + value, project({key + "=" + value}), 1, "'" + value + "'");
    }
    // -5 is a number: scroll bars clamp it, the style ignores it, truth values take it as
    // true; the render type, the page and the seed refuse it.
    for (const std::string key : scrollKeys)
        expect(key + "=-5", project({key + "=-5"}), 0, "");
    for (const char* key : {"PreviewButton", "RenderUseBackground", "LogoInvert"})
        expect(std::string(key) + "=-5", project({std::string(key) + "=-5"}), 0, "");
    for (const char* key : {"RenderType", "ActivePage", "Seed"})
        expect(std::string(key) + "=-5", project({std::string(key) + "=-5"}), 1, "-5");
}

TEST_F(HostileInputs, CutTagsAndEmptyTexts)
{
    expect("tag cut in its number", project({"Text=ab[&+x"}), 1, "'x'");
    expect("tag with a letter", project({"Text=[&+5]ab"}), 1, "'5]'");
    expect("only tags", project({"Text=[&+01][&-01]"}), 1, "");
    expect("only spaces", project({"Text=   "}), 1, "");
}

TEST_F(HostileInputs, DestinationsThatCannotBeWritten)
{
    const std::string p = project({});
    expect("missing folder", p, 1, (dir / "no" / "out.tga").string(),
           (dir / "no" / "out.tga").string());
    expect("read-only place", p, 1, "/proc/lumexa-out.tga", "/proc/lumexa-out.tga");
    fs::create_directory(dir / "taken.tga");
    expect("a folder as destination", p, 1, (dir / "taken.tga").string(),
           (dir / "taken.tga").string());
}

} // namespace
