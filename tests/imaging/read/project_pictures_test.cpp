// Real picture files through the decoder into the LED set, the logo and a saved project:
// transparent LED pixels come out black, transparent logo pixels white, and a project
// written and read back gives the same pictures.
#include "core/base/text_codec.h"
#include "core/pictures/led_image_set.h"
#include "core/pictures/logo.h"
#include "core/project/project_file.h"
#include "imaging/read/picture_decoder.h"
#include "support/scratch_folder.h"

#include <Magick++.h>
#include <gtest/gtest.h>

#include <filesystem>

namespace lumexa
{
namespace
{

namespace fs = std::filesystem;

struct NoQuestions : ProjectPrompts {
    std::optional<std::string> missingFile(const std::string&) override
    {
        ADD_FAILURE() << "missing file asked";
        return std::nullopt;
    }
    std::optional<std::string> missingFont(const std::string&) override { return std::nullopt; }
    void refused(const LoadOutcome& o, const std::string& file, const RefusedPicture&) override
    {
        ADD_FAILURE() << "refused " << file << " " << o.languageString << " " << o.message;
    }
};

class ProjectPicturesTest : public ::testing::Test
{
  protected:
    void SetUp() override { DecodableFormats(); }

    // 3 x 2: opaque orange, a half transparent white pixel and a clear one.
    std::string writeLed(const std::string& name)
    {
        Magick::Image image(Magick::Geometry(3, 2), Magick::Color(MaxRGB, MaxRGB / 2, 0, 0));
        image.matte(true);
        image.pixelColor(1, 1, Magick::Color(MaxRGB, MaxRGB, MaxRGB, MaxRGB / 2 + 1));
        image.pixelColor(2, 1, Magick::Color(MaxRGB, MaxRGB, MaxRGB, MaxRGB));
        const std::string file = (dir_ / name).string();
        image.write(file);
        return file;
    }

    lumexa::testing::ScratchFolder scratch;
    const fs::path dir_ = scratch.path();
};

TEST_F(ProjectPicturesTest, TransparencyMeetsItsBackgroundAndProjectsRoundTrip)
{
    ProjectSettings settings;
    LedImageSet leds;
    Logo logo;
    const std::vector<std::string> fonts;
    ProjectState state{settings, leds, logo, fonts};

    const std::string led = writeLed("led.png");
    const std::string alpha = writeLed("alpha.tga");
    ASSERT_TRUE(leds.LoadLedImageFile(led, lmAdd, DecodePictureFile).changed);
    ASSERT_TRUE(leds.LoadLedImageFile(led, lmAdd, DecodePictureFile).changed);
    ASSERT_TRUE(leds.LoadLedImageFile(alpha, lmAddAlpha, DecodePictureFile).changed);
    ASSERT_FALSE(LoadLogoFile(logo, writeLed("logo.png"), DecodePictureFile).refused());

    const Picture& p = leds[0].picture;
    EXPECT_EQ(p.pixel(0, 0), (Rgb{255, 127, 0}));
    EXPECT_EQ(p.pixel(1, 1), (Rgb{127, 127, 127})); // (255 x 127 + 127) / 255
    EXPECT_EQ(p.pixel(2, 1), (Rgb{0, 0, 0}));
    EXPECT_EQ(logo.picture.pixel(2, 1), (Rgb{255, 255, 255}));
    // The corner takes the mean of (255,127,0), (255,255,255) and (255,255,255).
    EXPECT_EQ(p.pixel(2, 0), (Rgb{255, 212, 170}));

    const std::string saved = (dir_ / "round.led").string();
    WriteProjectFile(saved, state);

    ProjectSettings settings2;
    LedImageSet leds2;
    Logo logo2;
    ProjectState state2{settings2, leds2, logo2, fonts};
    NoQuestions prompts;
    ASSERT_EQ(ReadProjectFile(saved, state2, prompts, DecodePictureFile), ReadEnd::Complete);
    ASSERT_EQ(leds2.count(), 2);
    for (int n = 0; n < 2; ++n) {
        EXPECT_EQ(leds2[n].picture, leds[n].picture) << n;
        EXPECT_EQ(leds2[n].alphaInUse, leds[n].alphaInUse) << n;
    }
    EXPECT_EQ(leds2[1].alphaPicture, leds[1].alphaPicture);
    EXPECT_EQ(logo2.picture, logo.picture);
    EXPECT_TRUE(logo2.loaded);
}

// A folder named as a picture is said to be a folder, where it used to read as a file that
// cannot be found: the loader refuses it, and nobody is asked for a replacement.
TEST_F(ProjectPicturesTest, AFolderAsPictureIsSaidToBeAFolder)
{
    struct Refusals : NoQuestions {
        void refused(const LoadOutcome& o, const std::string& file,
                     const RefusedPicture& picture) override
        {
            seen.push_back({file, o.message, picture.kind, picture.led});
        }
        struct Seen {
            std::string file;
            std::string message;
            RefusedPicture::Kind kind;
            int led;
        };
        std::vector<Seen> seen;
    };
    const std::string led = writeLed("led.png");
    const std::string folder = (dir_ / "pictures.png").string();
    fs::create_directory(folder);
    struct Case {
        const char* what;
        std::vector<std::string> lines;
        RefusedPicture::Kind kind;
        int led;
    };
    const Case cases[] = {
        {"LED picture",
         {"ImageF[]=000" + led, "ImageF[]=001" + folder},
         RefusedPicture::Kind::Led,
         1},
        {"alpha picture",
         {"ImageF[]=000" + led, "ImageA[]=000" + folder},
         RefusedPicture::Kind::Alpha,
         0},
        {"logo", {"ActivePage=1", "LogoFile=" + folder}, RefusedPicture::Kind::Logo, -1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const std::string project = (dir_ / "p.led").string();
        WriteTextFileAtomically(project, c.lines);
        ProjectSettings settings;
        LedImageSet leds;
        Logo logo;
        const std::vector<std::string> fonts;
        ProjectState state{settings, leds, logo, fonts};
        Refusals prompts;
        ReadProjectFile(project, state, prompts, DecodePictureFile);
        ASSERT_EQ(prompts.seen.size(), 1u);
        EXPECT_EQ(prompts.seen[0].file, folder);
        EXPECT_EQ(prompts.seen[0].message, "Cannot read picture " + folder + ": it is a folder");
        EXPECT_EQ(prompts.seen[0].kind, c.kind);
        EXPECT_EQ(prompts.seen[0].led, c.led);
    }
}

} // namespace
} // namespace lumexa
