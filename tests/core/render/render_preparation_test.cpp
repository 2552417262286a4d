// The Render command's preparation: the "use mask" rule, the options the renderer reads
// and the LED figures the layout reads.
#include "core/render/render_preparation.h"

#include "core/base/error.h"

#include <gtest/gtest.h>

namespace lumexa
{
namespace
{

DecodedPicture Square(int size)
{
    DecodedPicture d;
    d.width = size;
    d.height = size;
    d.rgba.assign(static_cast<size_t>(size) * size * 4, 255);
    return d;
}

LedImageSet SetOf(int images, bool alphaOnLast)
{
    LedImageSet set;
    const PictureLoader load = [](const std::string&) { return Square(4); };
    for (int i = 0; i < images; ++i)
        set.LoadLedImageFile("led" + std::to_string(i) + ".png", lmAdd, load);
    if (alphaOnLast)
        set.LoadLedImageFile("alpha.png", lmAddAlpha, load);
    return set;
}

TEST(RenderPreparationTest, UseMaskIsOfferedOnlyWithAnAlphaPictureInUse)
{
    struct Case {
        bool alpha, checkedBefore, enabledAfter, checkedAfter;
    };
    for (Case c : {Case{false, true, false, false}, Case{true, true, true, true},
                   Case{true, false, true, false}}) {
        LedImageSet set = SetOf(3, c.alpha);
        ProjectSettings s;
        s.useMaskEnabled = false;
        s.setUseMaskChecked(c.checkedBefore);
        PrepareRender(s, set);
        EXPECT_EQ(s.useMaskEnabled, c.enabledAfter) << c.alpha;
        EXPECT_EQ(s.useMaskChecked, c.checkedAfter) << c.alpha;
        EXPECT_EQ(set.sharedCount, 3);
    }
}

TEST(RenderPreparationTest, OptionsCountWhenCheckedAndEnabledExceptAdditive)
{
    ProjectSettings s;
    s.useMaskEnabled = false;
    s.useMaskChecked = true;
    s.useAddEnabled = false;
    s.useAddChecked = true;
    s.useBackground = false;
    s.rotateBitmaps = true;
    const RenderOptions o = RenderOptionsOf(s);
    EXPECT_FALSE(o.useMask);
    EXPECT_TRUE(o.additive);
    EXPECT_FALSE(o.background);
    EXPECT_TRUE(o.rotate);
}

TEST(RenderPreparationTest, LedFiguresAndTheTwoImageMinimum)
{
    EXPECT_THROW(CheckRenderLeds(SetOf(1, false)), Error);
    EXPECT_THROW(CheckRenderLeds(SetOf(0, false)), Error);
    LedImageSet set = SetOf(3, false);
    EXPECT_NO_THROW(CheckRenderLeds(set));
    const LedInfo info = LedInfoOf(set);
    EXPECT_EQ(info.count, 3);
    EXPECT_EQ(info.led0Width, 4);
    EXPECT_EQ(info.led0Height, 4);
    EXPECT_EQ(info.selected, set.SelectedLedImage());
}

TEST(RenderPreparationTest, SceneTakesTheDotsGridPicturesAndSize)
{
    LedImageSet set = SetOf(2, false);
    ProjectSettings s;
    RenderLayout layout;
    layout.columns = 10;
    layout.rows = 2;
    layout.cellWidth = 4;
    layout.cellHeight = 6;
    layout.width = 40;
    layout.height = 12;
    layout.dots.resize(3);
    layout.backgroundCells = true;
    const RenderScene scene = MakeRenderScene(std::move(layout), set, s);
    EXPECT_EQ(scene.width, 40);
    EXPECT_EQ(scene.height, 12);
    EXPECT_EQ(scene.dots.size(), 3u);
    EXPECT_EQ(scene.columns, 10);
    EXPECT_EQ(scene.rows, 2);
    EXPECT_EQ(scene.cell.width, 4);
    EXPECT_EQ(scene.cell.height, 6);
    EXPECT_TRUE(scene.backgroundCells);
    ASSERT_EQ(scene.leds.size(), 2u);
    EXPECT_EQ(scene.leds[1], &set[1]);
}

} // namespace
} // namespace lumexa
