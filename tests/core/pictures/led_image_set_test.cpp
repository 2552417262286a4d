// Loading LED and alpha pictures into the set, its checks in order, selection, Delete
// and emptying the set, and what the strip is told.
#include "core/pictures/led_image_set.h"

#include "core/base/error.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cmath>
#include <map>

namespace lumexa
{
namespace
{

using ::testing::ElementsAre;
using ::testing::HasSubstr;

// Pictures by name: "<w>x<h>" gives a grey picture of that size, anything in `colours`
// a picture of its colour, "broken" fails as a decoder does, "empty" decodes to nothing.
struct FakeLoader {
    std::map<std::string, uint8_t> shade;
    DecodedPicture operator()(const std::string& file) const
    {
        if (file == "broken")
            throw Error("Cannot read picture broken: Improper image header");
        if (file == "empty")
            return {};
        int w = 0, h = 0;
        if (std::sscanf(file.c_str(), "%dx%d", &w, &h) != 2)
            w = h = 4;
        const auto it = shade.find(file);
        const uint8_t v = it == shade.end() ? 100 : it->second;
        DecodedPicture d;
        d.width = w;
        d.height = h;
        d.rgba.assign(static_cast<size_t>(w) * h * 4, v);
        for (size_t i = 3; i < d.rgba.size(); i += 4)
            d.rgba[i] = 255;
        return d;
    }
};

struct Recorder : LedImageSetObserver {
    std::vector<std::string> events;
    void ledAdded(int n) override { events.push_back("added " + std::to_string(n)); }
    void ledReplaced(int n) override { events.push_back("replaced " + std::to_string(n)); }
    void alphaChanged(int n) override { events.push_back("alpha " + std::to_string(n)); }
    void ledRemoved(int n) override { events.push_back("removed " + std::to_string(n)); }
    void cleared() override { events.push_back("cleared"); }
    void selectionChanged() override { events.push_back("selection"); }
};

class LedImageSetTest : public ::testing::Test
{
  protected:
    LoadOutcome add(const std::string& f) { return set.LoadLedImageFile(f, lmAdd, load); }
    std::vector<std::string> names() const
    {
        std::vector<std::string> out;
        for (const LedImage* led : set.images())
            out.push_back(std::to_string(led->number) + ":" + led->fileName);
        return out;
    }

    LedImageSet set;
    PictureLoader load = FakeLoader{};
};

TEST_F(LedImageSetTest, AddFillsTheRecordAndSelectsIt)
{
    EXPECT_TRUE(add("7x5").changed);
    ASSERT_EQ(set.count(), 1);
    const LedImage& led = set[0];
    EXPECT_EQ(led.width, 7);
    EXPECT_EQ(led.height, 5);
    EXPECT_EQ(led.halfWidth, 3);
    EXPECT_EQ(led.halfHeight, 2);
    EXPECT_EQ(led.fileName, "7x5");
    EXPECT_TRUE(led.alphaPicture.empty());
    EXPECT_FALSE(led.alphaInUse);
    EXPECT_EQ(led.sinTable[0], 0.0f);
    EXPECT_EQ(led.cosTable[0], 1.0f);
    EXPECT_EQ(led.sinTable[180], static_cast<float>(std::sin(180 * 3.14 * (1.0 / 180))));
    EXPECT_GT(led.sinTable[180], 0.0f);
    EXPECT_EQ(set.SelectedLedImage(), 0);
    add("7x5");
    EXPECT_EQ(set.SelectedLedImage(), 1);
    EXPECT_FALSE(set[0].selected);
}

TEST_F(LedImageSetTest, ChecksComeInOrderSizeBeforeLimit)
{
    struct Case {
        const char* first; // empty: the set is empty
        const char* file;
        int refusal;
    } cases[] = {
        {"", "512x512", -1},    {"", "513x512", 33},        {"", "512x513", 33},
        {"8x8", "8x8", -1},     {"8x8", "8x9", 32},         {"8x8", "9x8", 32},
        {"8x8", "600x600", 32}, {"512x512", "512x512", -1}, {"512x512", "512x513", 32},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.first) + " then " + c.file);
        LedImageSet s;
        if (*c.first) {
            ASSERT_TRUE(s.LoadLedImageFile(c.first, lmAdd, load).changed);
        }
        const int before = s.count();
        const LoadOutcome o = s.LoadLedImageFile(c.file, lmAdd, load);
        EXPECT_EQ(o.languageString, c.refusal);
        EXPECT_EQ(o.changed, c.refusal < 0);
        EXPECT_EQ(s.count(), before + (c.refusal < 0 ? 1 : 0));
    }
}

TEST_F(LedImageSetTest, AlphaMustHaveTheLedSizeAndGoesToTheSelectedImage)
{
    add("6x6");
    add("6x6");
    set.select(0);
    EXPECT_EQ(set.LoadLedImageFile("12x12", lmAddAlpha, load).languageString, 32);
    EXPECT_FALSE(set[0].alphaInUse);
    const LoadOutcome o = set.LoadLedImageFile("6x6", lmAddAlpha, load);
    EXPECT_TRUE(o.changed);
    EXPECT_TRUE(set[0].alphaInUse);
    EXPECT_EQ(set[0].alphaFileName, "6x6");
    EXPECT_EQ(set[0].alphaPicture.width(), 6);
    EXPECT_FALSE(set[1].alphaInUse);
    EXPECT_TRUE(set.anyAlphaInUse());
}

TEST_F(LedImageSetTest, ReplaceAndAlphaWithNothingSelectedDoNothing)
{
    add("4x4");
    set.select(-1);
    for (LoadMode mode : {lmReplace, lmAddAlpha}) {
        const LoadOutcome o = set.LoadLedImageFile("4x4", mode, load);
        EXPECT_FALSE(o.changed);
        EXPECT_FALSE(o.refused());
    }
    EXPECT_EQ(set[0].fileName, "4x4");
    EXPECT_FALSE(set[0].alphaInUse);
}

TEST_F(LedImageSetTest, ReplaceKeepsTheAlphaPictureInUse)
{
    FakeLoader shades;
    shades.shade["dark"] = 10;
    load = shades;
    add("4x4");
    set.LoadLedImageFile("4x4", lmAddAlpha, load);
    const LoadOutcome o = set.LoadLedImageFile("dark", lmReplace, load);
    EXPECT_TRUE(o.changed);
    EXPECT_EQ(set[0].fileName, "dark");
    EXPECT_EQ(set[0].picture.pixel(1, 1), (Rgb{10, 10, 10}));
    EXPECT_TRUE(set[0].alphaInUse);
    EXPECT_EQ(set[0].alphaFileName, "4x4");
    EXPECT_EQ(set.SelectedLedImage(), 0);
}

TEST_F(LedImageSetTest, ClearAlphaStopsUsingButKeepsThePicture)
{
    add("4x4");
    set.LoadLedImageFile("4x4", lmAddAlpha, load);
    set.clearAlpha(0);
    EXPECT_FALSE(set[0].alphaInUse);
    EXPECT_TRUE(set[0].alphaFileName.empty());
    EXPECT_FALSE(set[0].alphaPicture.empty());
    EXPECT_FALSE(set.anyAlphaInUse());
}

TEST_F(LedImageSetTest, UnreadableOrEmptyPicturesLeaveTheSetUnchanged)
{
    add("4x4");
    set.LoadLedImageFile("4x4", lmAddAlpha, load);
    for (const char* file : {"broken", "empty"}) {
        for (LoadMode mode : {lmAdd, lmReplace, lmAddAlpha}) {
            SCOPED_TRACE(std::string(file) + " mode " + std::to_string(mode));
            const LoadOutcome o = set.LoadLedImageFile(file, mode, load);
            EXPECT_FALSE(o.changed);
            EXPECT_EQ(o.languageString, -1);
            EXPECT_THAT(o.message, HasSubstr(file));
            ASSERT_EQ(set.count(), 1);
            EXPECT_EQ(set[0].fileName, "4x4");
            EXPECT_EQ(set[0].alphaFileName, "4x4");
        }
    }
    // An empty picture is refused as the first LED image too.
    LedImageSet fresh;
    EXPECT_THAT(fresh.LoadLedImageFile("empty", lmAdd, load).message,
                HasSubstr("Cannot read picture empty"));
    EXPECT_EQ(fresh.count(), 0);
}

TEST_F(LedImageSetTest, SelectedIsTheHighestSelectedNumber)
{
    for (int i = 0; i < 4; ++i)
        add("4x4");
    set.select(-1);
    EXPECT_EQ(set.SelectedLedImage(), -1);
    set[1].selected = true;
    set[3].selected = true;
    EXPECT_EQ(set.SelectedLedImage(), 3);
}

TEST_F(LedImageSetTest, DeleteClosesTheGapAndRenumbers)
{
    for (const char* f : {"a", "b", "c", "d", "e"})
        add(f);
    set.select(2);
    set.remove(2);
    EXPECT_THAT(names(), ElementsAre("0:a", "1:b", "2:d", "3:e"));
    EXPECT_EQ(set.SelectedLedImage(), -1);
    set.remove(3); // the last one
    EXPECT_THAT(names(), ElementsAre("0:a", "1:b", "2:d"));
    set.remove(7); // no such LED image
    EXPECT_EQ(set.count(), 3);
    set.clear();
    EXPECT_EQ(set.count(), 0);
}

TEST_F(LedImageSetTest, FullSetRefusesAdd)
{
    for (int i = 0; i < kMaxLedImages; ++i)
        ASSERT_TRUE(add("2x2").changed);
    EXPECT_TRUE(set.full());
    const LoadOutcome o = add("2x2");
    EXPECT_EQ(o.languageString, 29);
    EXPECT_EQ(set.count(), kMaxLedImages);
}

TEST_F(LedImageSetTest, ObserverHearsEveryChange)
{
    Recorder rec;
    set.setObserver(&rec);
    add("4x4");
    add("4x4");
    set.LoadLedImageFile("4x4", lmAddAlpha, load);
    set.LoadLedImageFile("4x4", lmReplace, load);
    add("5x5"); // refused: nothing to hear
    set.clearAlpha(1);
    set.remove(0);
    set.clear();
    EXPECT_THAT(rec.events,
                ElementsAre("added 0", "selection", "added 1", "selection", "alpha 1", "replaced 1",
                            "selection", "alpha 1", "removed 0", "cleared"));
}

} // namespace
} // namespace lumexa
