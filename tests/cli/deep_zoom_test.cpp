// lumexa-render's deep zoom export as a viewer reads it: the descriptor and the folders of
// tiles follow the pyramid's geometry, the full-size tiles are the render's own pixels and
// every smaller level the render reduced 2^n times, for each example; JPEG tiles hold the
// same picture over black; and a cancelled or failed export leaves the earlier one as it was.
#include "core/view/pyramid.h"
#include "support/command_runner.h"
#include "support/picture_pixels.h"
#include "support/project_folder.h"
#include "support/render_program.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <regex>
#include <set>
#include <sstream>

namespace fs = std::filesystem;
using lumexa::Pyramid;
using lumexa::TileKey;
using lumexa::testing::kExamples;
using lumexa::testing::kRender;
using lumexa::testing::Pixels;
using lumexa::testing::Quote;
using lumexa::testing::ReadPixels;
using lumexa::testing::RunShell;

namespace
{

std::string ReadText(const fs::path& file)
{
    std::ifstream in(file, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

Pixels Crop(const Pixels& p, const lumexa::PixelRect& r)
{
    Pixels out{r.width, r.height, {}};
    for (int y = 0; y < r.height; ++y)
        out.rgba.insert(out.rgba.end(), p.at(r.x, r.y + y), p.at(r.x + r.width, r.y + y));
    return out;
}

class DeepZoom : public lumexa::testing::ProjectFolder
{
  protected:
    lumexa::testing::CommandResult render(const std::string& project, const fs::path& out,
                                          const std::string& options = "")
    {
        return RunShell(Quote(kRender) + " -q " + options + " " + Quote(project) + " " +
                        Quote(out.string()) + " 2>&1");
    }
};

TEST_F(DeepZoom, DescriptorAndTilesFollowThePyramid)
{
    const auto run = render(kExamples + "/text.led", dir / "sign.dzi");
    ASSERT_EQ(run.status, 0) << run.output;
    const Pixels full = [&] {
        EXPECT_EQ(render(kExamples + "/text.led", dir / "full.png").status, 0);
        return ReadPixels(dir / "full.png");
    }();
    const Pyramid p = Pyramid::DeepZoom(full.width, full.height);

    const std::string descriptor = ReadText(dir / "sign.dzi");
    std::smatch m;
    ASSERT_TRUE(std::regex_search(
        descriptor, m,
        std::regex("<Image xmlns=\"http://schemas.microsoft.com/deepzoom/2008\"\\s+Format=\"png\"\\s+"
                   "Overlap=\"1\"\\s+TileSize=\"254\">\\s*<Size Width=\"(\\d+)\" Height=\"(\\d+)\"/>")))
        << descriptor;
    EXPECT_EQ(std::stoi(m[1]), full.width);
    EXPECT_EQ(std::stoi(m[2]), full.height);

    // sign_files holds a folder for each level, numbered from the 1 x 1 level, and the
    // viewer's files; each level folder holds exactly its tiles, each of its size.
    std::set<std::string> folders;
    for (const auto& entry : fs::directory_iterator(dir / "sign_files"))
        folders.insert(entry.path().filename().string());
    std::set<std::string> expected = {"viewer"};
    for (int k = 0; k < p.levels(); ++k)
        expected.insert(std::to_string(k));
    EXPECT_EQ(folders, expected);
    for (int k = 0; k < p.levels(); ++k) {
        const fs::path level = dir / "sign_files" / std::to_string(p.deepZoomLevel(k));
        std::set<std::string> tiles, wanted;
        for (const auto& entry : fs::directory_iterator(level))
            tiles.insert(entry.path().filename().string());
        for (int r = 0; r < p.rows(k); ++r)
            for (int c = 0; c < p.columns(k); ++c) {
                const std::string name = std::to_string(c) + "_" + std::to_string(r) + ".png";
                wanted.insert(name);
                const Pixels tile = ReadPixels(level / name);
                EXPECT_EQ(tile.width, p.tile({k, c, r}).width) << level << "/" << name;
                EXPECT_EQ(tile.height, p.tile({k, c, r}).height) << level << "/" << name;
            }
        EXPECT_EQ(tiles, wanted) << level;
    }
    for (const char* viewer : {"openseadragon.min.js", "LICENSE.txt", "images/home_rest.png"})
        EXPECT_TRUE(fs::is_regular_file(dir / "sign_files" / "viewer" / viewer)) << viewer;

    // The page names the tiles' folder and the picture's size itself: no request is needed
    // but the tiles' pictures.
    const std::string page = ReadText(dir / "sign.html");
    EXPECT_NE(page.find("\"Url\": \"sign_files/\""), std::string::npos);
    EXPECT_NE(page.find("<script src=\"sign_files/viewer/openseadragon.min.js\">"),
              std::string::npos);
    EXPECT_NE(page.find("\"Width\": \"" + std::to_string(full.width) + "\""), std::string::npos);
    EXPECT_NE(page.find("<title>sign</title>"), std::string::npos);
    EXPECT_EQ(page.find("XMLHttpRequest"), std::string::npos);
    // No staging folder is left beside the export.
    for (const auto& entry : fs::directory_iterator(dir))
        EXPECT_NE(entry.path().filename().string().front(), '.') << entry.path();
}

TEST_F(DeepZoom, EveryLevelIsTheRenderReducedToItsSize)
{
    for (const char* example : {"text", "logo", "points"}) {
        SCOPED_TRACE(example);
        const std::string project = kExamples + "/" + std::string(example) + ".led";
        auto run = render(project, dir / "x.dzi", "-j3");
        ASSERT_EQ(run.status, 0) << run.output;
        ASSERT_EQ(render(project, dir / "full.png").status, 0);
        const Pixels full = ReadPixels(dir / "full.png");
        const Pyramid p = Pyramid::DeepZoom(full.width, full.height);
        for (int k = 0; k < p.levels(); ++k) {
            Pixels reference = full;
            if (k > 0) {
                run = render(project, dir / "scaled.png", "--scale " + std::to_string(1 << k));
                ASSERT_EQ(run.status, 0) << run.output;
                reference = ReadPixels(dir / "scaled.png");
            }
            ASSERT_EQ(reference.width, p.levelWidth(k));
            ASSERT_EQ(reference.height, p.levelHeight(k));
            for (int r = 0; r < p.rows(k); ++r)
                for (int c = 0; c < p.columns(k); ++c) {
                    const fs::path tile = dir / "x_files" / std::to_string(p.deepZoomLevel(k)) /
                                          (std::to_string(c) + "_" + std::to_string(r) + ".png");
                    ASSERT_TRUE(ReadPixels(tile) == Crop(reference, p.tile({k, c, r})))
                        << "level " << k << " tile " << c << "_" << r;
                }
        }
    }
}

TEST_F(DeepZoom, JpegTilesHoldThePictureOverBlack)
{
    const std::string project = kExamples + "/logo.led";
    auto run = render(project, dir / "j.dzi", "--tile-format jpeg --quality 95");
    ASSERT_EQ(run.status, 0) << run.output;
    ASSERT_EQ(render(project, dir / "full.png").status, 0);
    const Pixels full = ReadPixels(dir / "full.png");
    EXPECT_NE(ReadText(dir / "j.dzi").find("Format=\"jpeg\""), std::string::npos);
    EXPECT_NE(ReadText(dir / "j.html").find("\"Format\": \"jpeg\""), std::string::npos);
    const Pyramid p = Pyramid::DeepZoom(full.width, full.height);
    // The red, green and blue bytes as they are: the result over black, coverage left out.
    double difference = 0;
    long long samples = 0;
    for (int r = 0; r < p.rows(0); ++r)
        for (int c = 0; c < p.columns(0); ++c) {
            const Pixels tile = ReadPixels(dir / "j_files" / std::to_string(p.deepZoomLevel(0)) /
                                           (std::to_string(c) + "_" + std::to_string(r) + ".jpeg"));
            const Pixels want = Crop(full, p.tile({0, c, r}));
            ASSERT_EQ(tile.width, want.width);
            ASSERT_EQ(tile.height, want.height);
            for (size_t i = 0; i < tile.rgba.size(); i += 4) {
                EXPECT_EQ(tile.rgba[i + 3], 255);
                for (int ch = 0; ch < 3; ++ch)
                    difference += std::abs(tile.rgba[i + ch] - want.rgba[i + ch]);
                samples += 3;
            }
        }
    EXPECT_LT(difference / samples, 3.0);
    EXPECT_FALSE(fs::exists(dir / "j_files" / "0" / "0_0.png"));
}

TEST_F(DeepZoom, CancelAndFailureLeaveTheEarlierExport)
{
    ASSERT_EQ(render(kExamples + "/text.led", dir / "out.dzi").status, 0);
    const auto before = snapshot();

    // A file size limit makes the tiles' writes fail: "File too large".
    const auto failed = RunShell("trap '' XFSZ; ulimit -f 4; " + Quote(kRender) + " -q " +
                                 Quote(kExamples + "/logo.led") + " " +
                                 Quote((dir / "out.dzi").string()) + " 2>&1");
    EXPECT_EQ(failed.status, 1) << failed.output;
    EXPECT_NE(failed.output.find("out.dzi: File too large"), std::string::npos) << failed.output;
    EXPECT_EQ(snapshot(), before) << "the earlier export changed or a file was left";

    // Ctrl-C once the staging folder exists, i.e. while tiles are being written.
    const std::string project =
        writeProject("long.led", std::string(120, 'W'), {"unlit.png", "red.png"}, 48);
    const auto interrupted = RunShell(
        "exec 2>&1; " + Quote(kRender) + " -q -j1 " + Quote(project) + " " +
        Quote((dir / "out.dzi").string()) + " & pid=$!; until ls -a " + Quote(dir.string()) +
        " | grep -q '^\\.out\\.dzi-'; do kill -0 $pid 2>/dev/null || break; sleep 0.02; done; "
        "kill -INT $pid; wait $pid");
    EXPECT_EQ(interrupted.status, 1) << interrupted.output;
    EXPECT_NE(interrupted.output.find("interrupted; "), std::string::npos) << interrupted.output;
    auto after = snapshot();
    after.erase("long.led");
    EXPECT_EQ(after, before) << "the earlier export changed or a file was left";
}

} // namespace
