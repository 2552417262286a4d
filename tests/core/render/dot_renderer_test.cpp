// The fast renderer against the reference composer on random scenes, and the composition
// rules on small hand-made scenes.
#include "core/render/dot_renderer.h"

#include "support/random_scenes.h"
#include "support/reference_composer.h"

#include <gtest/gtest.h>

#include <thread>

namespace lumexa
{
namespace
{

using testing::FinishedDot;
using testing::OwnedScene;
using testing::RandomScene;

std::vector<uint8_t> fastRow(const DotRenderer& renderer, int py)
{
    std::vector<uint8_t> row(static_cast<size_t>(renderer.width()) * 4, 0xAB);
    renderer.RenderRow(py, row.data());
    return row;
}

std::vector<uint8_t> referenceRow(const RenderScene& scene, const reference::SceneRecords& records,
                                  int py)
{
    std::vector<uint8_t> row(static_cast<size_t>(scene.width) * 4, 0xCD);
    reference::RenderRow(scene, records, py, row.data());
    return row;
}

std::vector<uint8_t> referenceRow(const RenderScene& scene, int py)
{
    return referenceRow(scene, reference::RecordsOf(scene), py);
}

// Compares every byte of every row; returns the first difference.
std::string firstDifference(const RenderScene& scene, const DotRenderer& renderer)
{
    const reference::SceneRecords records = reference::RecordsOf(scene);
    for (int py = 0; py < scene.height; ++py) {
        const std::vector<uint8_t> expected = referenceRow(scene, records, py);
        const std::vector<uint8_t> actual = fastRow(renderer, py);
        for (size_t i = 0; i < expected.size(); ++i) {
            if (expected[i] != actual[i])
                return "row " + std::to_string(py) + " pixel " + std::to_string(i / 4) + " byte " +
                       std::to_string(i % 4) + ": " + std::to_string(actual[i]) + " instead of " +
                       std::to_string(expected[i]);
        }
    }
    return {};
}

std::string describe(const RenderScene& s)
{
    return std::to_string(s.width) + " x " + std::to_string(s.height) + ", " +
           std::to_string(s.dots.size()) + " dots, background " +
           std::to_string(s.options.background) + ", mask " + std::to_string(s.options.useMask) +
           ", additive " + std::to_string(s.options.additive) + ", rotate " +
           std::to_string(s.options.rotate);
}

TEST(DotRenderer, AgreesWithReferenceOnRandomScenes)
{
    std::mt19937 rng(20261210);
    for (int round = 0; round < 400; ++round) {
        const OwnedScene owned = RandomScene(rng, round % 4 == 3);
        const DotRenderer renderer(owned.scene);
        const std::string difference = firstDifference(owned.scene, renderer);
        ASSERT_EQ(difference, "") << "round " << round << ": " << describe(owned.scene);
    }
}

TEST(DotRenderer, AgreesWithReferenceWhenSampledDirectly)
{
    // With no room for sample tables every dot row is sampled on its own.
    std::mt19937 rng(7);
    for (int round = 0; round < 100; ++round) {
        const OwnedScene owned = RandomScene(rng, round % 2 == 1);
        const DotRenderer renderer(owned.scene, 0);
        ASSERT_EQ(firstDifference(owned.scene, renderer), "") << "round " << round;
    }
}

TEST(DotRenderer, AgreesOnALargerSceneWithManyOverlaps)
{
    std::mt19937 rng(99);
    OwnedScene owned;
    for (int i = 0; i < 5; ++i)
        owned.leds.push_back(testing::RandomLedImage(rng, 12, 10, i, i % 2 == 0));
    for (const auto& led : owned.leds)
        owned.scene.leds.push_back(led.get());
    RenderScene& scene = owned.scene;
    scene.width = 30 * 12;
    scene.height = 12 * 10;
    scene.options = {true, true, false, true};
    scene.columns = 30;
    scene.rows = 12;
    scene.cell = {12, 10};
    scene.backgroundCells = true;
    std::uniform_int_distribution<int> d(-12, 12), kind(1, 4), angle(0, 359);
    for (int i = 0; i < 900; ++i)
        scene.dots.push_back(FinishedDot((i % 30) * 12 + d(rng), (i / 30 % 12) * 10 + d(rng), 12,
                                         10, scene.width, scene.height, kind(rng), angle(rng)));
    for (bool additive : {false, true}) {
        scene.options.additive = additive;
        const DotRenderer renderer(scene);
        EXPECT_EQ(firstDifference(scene, renderer), "") << "additive " << additive;
    }
}

TEST(DotRenderer, RowsComposedOnSeveralThreadsAgree)
{
    std::mt19937 rng(3);
    OwnedScene owned = RandomScene(rng, false);
    owned.scene.options = {true, true, false, true};
    const DotRenderer renderer(owned.scene);
    const int H = owned.scene.height;
    std::vector<std::vector<uint8_t>> rows(static_cast<size_t>(H));
    {
        std::vector<std::jthread> threads;
        for (int t = 0; t < 4; ++t)
            threads.emplace_back([&, t] {
                for (int py = t; py < H; py += 4)
                    rows[static_cast<size_t>(py)] = fastRow(renderer, py);
            });
    }
    for (int py = 0; py < H; ++py)
        EXPECT_EQ(rows[static_cast<size_t>(py)], referenceRow(owned.scene, py)) << py;
}

TEST(DotRenderer, EmptyListsGiveBlackTransparentRows)
{
    std::mt19937 rng(1);
    OwnedScene owned;
    owned.leds.push_back(testing::RandomLedImage(rng, 4, 4, 0, false));
    owned.scene.leds = {owned.leds[0].get()};
    owned.scene.width = 8;
    owned.scene.height = 4;
    const DotRenderer renderer(owned.scene);
    for (int py = 0; py < 4; ++py)
        EXPECT_EQ(fastRow(renderer, py), std::vector<uint8_t>(32, 0));
}

// Hand-made scenes: LED image 0 is grey 100, LED 1 a picture given per test.
class CompositionRules : public ::testing::TestWithParam<bool>
{
  protected:
    static constexpr int kSize = 5; // cells of 5 x 5, a result of 3 x 3 cells

    CompositionRules()
    {
        background_ =
            std::make_unique<LedImage>(MakeLedImage(Picture(kSize, kSize, {100, 100, 100}), 0, ""));
        scene_.leds = {background_.get()};
        scene_.width = scene_.height = 3 * kSize;
        scene_.columns = scene_.rows = 3;
        scene_.cell = {kSize, kSize};
        scene_.options = {false, false, false, false};
    }

    LedImage& addLed(Rgb colour, int alpha = -1)
    {
        auto led = std::make_unique<LedImage>(
            MakeLedImage(Picture(kSize, kSize, colour), static_cast<int>(leds_.size()) + 1, ""));
        if (alpha >= 0) {
            const uint8_t a = static_cast<uint8_t>(alpha);
            led->alphaPicture = Picture(kSize, kSize, {0, 0, a});
            led->alphaInUse = true;
        }
        scene_.leds.push_back(led.get());
        leds_.push_back(std::move(led));
        return *leds_.back();
    }

    void addBackground() { scene_.backgroundCells = true; }

    // Adds a dot; returns its place in the list.
    size_t addDot(int x, int y, int kind, int rotation = 0)
    {
        scene_.dots.push_back(
            FinishedDot(x, y, kSize, kSize, scene_.width, scene_.height, kind, rotation));
        return scene_.dots.size() - 1;
    }

    void setRotation(size_t dot, int rotation)
    {
        RenderDot d = scene_.dots[dot];
        d.rotation = rotation;
        scene_.dots.set(dot, d);
    }

    // Red, green, blue, coverage of result pixel (px, py), from the renderer under test.
    std::array<int, 4> pixel(int px, int py)
    {
        std::vector<uint8_t> row(static_cast<size_t>(scene_.width) * 4);
        if (GetParam()) {
            DotRenderer(scene_).RenderRow(py, row.data());
        } else {
            reference::RenderRow(scene_, py, row.data());
        }
        const uint8_t* p = row.data() + static_cast<size_t>(px) * 4;
        return {p[0], p[1], p[2], p[3]};
    }

    RenderScene scene_;
    std::unique_ptr<LedImage> background_;
    std::vector<std::unique_ptr<LedImage>> leds_;
};

using Px = std::array<int, 4>;

TEST_P(CompositionRules, UncoveredPixelStaysBlackAndTransparent)
{
    addLed({200, 10, 20});
    addDot(5, 5, 1);
    EXPECT_EQ(pixel(0, 0), (Px{0, 0, 0, 0}));
    EXPECT_EQ(pixel(14, 0), (Px{0, 0, 0, 0}));
}

TEST_P(CompositionRules, BackgroundIsColouredButTransparent)
{
    addLed({200, 10, 20});
    addBackground();
    scene_.options.background = true;
    // The background covers every pixel, also row and column 0 (cells, not squares).
    for (int p : {0, 7, 14})
        EXPECT_EQ(pixel(p, p), (Px{100, 100, 100, 0})) << p;
    scene_.options.background = false;
    EXPECT_EQ(pixel(7, 7), (Px{0, 0, 0, 0}));
}

TEST_P(CompositionRules, PlainDotCoversItsWholeBoxWithStrictEdges)
{
    addLed({200, 10, 20});
    addBackground();
    scene_.options.background = true;
    addDot(5, 5, 1);
    // A 5 x 5 cell at (5, 5): circle radius 3.54 about 7.5, square from 3 to 11.
    const BoundingSquare square = RecordFinish({kSize, kSize}, 15, 15).squareAt(5, 5);
    ASSERT_EQ(square.left, 3.0f);
    ASSERT_EQ(square.right, 11.0f);
    EXPECT_EQ(pixel(7, 7), (Px{200, 10, 20, 255}));
    // Box corners outside the picture: covered, colours of the background kept.
    EXPECT_EQ(pixel(10, 10), (Px{100, 100, 100, 255}));
    EXPECT_EQ(pixel(4, 4), (Px{100, 100, 100, 255}));
    // On the left and top edges of the box: not covered.
    EXPECT_EQ(pixel(3, 7), (Px{100, 100, 100, 0}));
    EXPECT_EQ(pixel(7, 3), (Px{100, 100, 100, 0}));
    EXPECT_EQ(pixel(11, 7), (Px{100, 100, 100, 0}));
}

TEST_P(CompositionRules, CornersOutsideATurnedPictureAreCovered)
{
    addLed({200, 10, 20});
    scene_.options.rotate = true;
    addDot(5, 5, 1, 45);
    // The cell's own corner (5, 5) lies outside the picture turned by 45 degrees.
    EXPECT_EQ(pixel(5, 5), (Px{0, 0, 0, 255}));
    EXPECT_EQ(pixel(7, 7), (Px{200, 10, 20, 255}));
}

TEST_P(CompositionRules, LaterDotWinsInPlainMode)
{
    addLed({200, 10, 20});
    addLed({1, 2, 3});
    addDot(5, 5, 1);
    addDot(6, 5, 2);
    EXPECT_EQ(pixel(7, 7), (Px{1, 2, 3, 255}));
    scene_.dots.swap(0, 1);
    EXPECT_EQ(pixel(7, 7), (Px{200, 10, 20, 255}));
}

TEST_P(CompositionRules, MaskAlpha255BlendsWithFactor0_00392)
{
    addLed({255, 255, 0}, 255);
    scene_.options.useMask = true;
    addDot(5, 5, 1);
    addLed({255, 255, 255});
    addDot(5, 10, 2); // plain white underneath, then the mask dot over it
    addDot(5, 9, 1);
    EXPECT_EQ(pixel(7, 7), (Px{254, 254, 0, 255})); // over black: 255 x 0.9996 = 254.9
    // Over white: 255 stays 255, and blue 0 over 255 gives 255 x 0.0004 = 0.1 -> 0.
    EXPECT_EQ(pixel(7, 12), (Px{255, 255, 0, 255}));
}

TEST_P(CompositionRules, MaskKeepsTheHigherCoverage)
{
    addLed({50, 60, 70});
    addLed({255, 255, 255}, 0);
    addLed({255, 255, 255}, 100);
    scene_.options.useMask = true;
    addDot(5, 5, 1);
    addDot(5, 5, 2); // alpha 0 over an opaque dot: stays opaque and unchanged
    EXPECT_EQ(pixel(7, 7), (Px{50, 60, 70, 255}));
    scene_.dots.clear();
    addDot(5, 5, 3);
    addDot(5, 5, 2);
    // 255 x 0.392 = 99.96 -> 99, coverage the higher of 100 and 0.
    EXPECT_EQ(pixel(7, 7), (Px{99, 99, 99, 100}));
}

TEST_P(CompositionRules, MaskOnlyForLedImagesWithAlphaInUse)
{
    LedImage& led = addLed({200, 200, 200}, 128);
    led.alphaInUse = false; // cleared alpha: the picture stays but is not used
    scene_.options.useMask = true;
    addDot(5, 5, 1);
    EXPECT_EQ(pixel(7, 7), (Px{200, 200, 200, 255}));
}

TEST_P(CompositionRules, AdditiveClampsAndTakesCoverageFromBlue)
{
    addLed({200, 100, 30});
    addLed({100, 100, 100});
    scene_.options.additive = true;
    addDot(5, 5, 1);
    addDot(5, 5, 2);
    EXPECT_EQ(pixel(7, 7), (Px{255, 200, 130, 130}));
    // In the box but outside the picture: colours stay, coverage = blue.
    addBackground();
    scene_.options.background = true;
    EXPECT_EQ(pixel(10, 10), (Px{100, 100, 100, 100}));
}

TEST_P(CompositionRules, MaskThenAdditiveForTheSameDot)
{
    addLed({100, 100, 100}, 255);
    scene_.options.useMask = true;
    scene_.options.additive = true;
    addDot(5, 5, 1);
    // Mask: 100 x 0.9996 = 99.96 -> 99; then add 100.
    EXPECT_EQ(pixel(7, 7), (Px{199, 199, 199, 199}));
}

TEST_P(CompositionRules, AnglesOutsideTheDegreeRangeCountAsZero)
{
    Picture picture(kSize, kSize);
    for (int y = 0; y < kSize; ++y)
        for (int x = 0; x < kSize; ++x)
            picture.setPixel(x, y, {static_cast<uint8_t>(10 * x), static_cast<uint8_t>(10 * y), 7});
    leds_.push_back(std::make_unique<LedImage>(MakeLedImage(std::move(picture), 1, "")));
    scene_.leds.push_back(leds_.back().get());
    scene_.options.rotate = true;
    const size_t dot = addDot(5, 5, 1, 0);
    const Px atZero = pixel(6, 8);
    EXPECT_EQ(atZero, (Px{10, 30, 7, 255}));
    for (int angle : {360, 1000, -1}) {
        setRotation(dot, angle);
        EXPECT_EQ(pixel(6, 8), atZero) << angle;
    }
    setRotation(dot, 90);
    EXPECT_NE(pixel(6, 8), atZero);
    scene_.options.rotate = false; // rotation ignored: whole pixels again
    EXPECT_EQ(pixel(6, 8), atZero);
}

// Opaque background cells give coverage 255 to every pixel they cover, in every mode and
// under every dot, and change no other byte: the colours, and the coverage where no cell
// lies (two columns past the grid), are those of the transparent render.
TEST_P(CompositionRules, OpaquePanelChangesOnlyTheCoverageOfItsPixels)
{
    addLed({200, 100, 30});
    addLed({255, 255, 255}, 100);
    addBackground();
    scene_.width = 3 * kSize + 2;
    scene_.options.background = true;
    scene_.options.rotate = true;
    addDot(5, 5, 1);
    addDot(8, 2, 2, 30);
    addDot(11, 10, 1, 200); // reaches past the grid
    for (int mode = 0; mode < 3; ++mode) {
        scene_.options.useMask = mode == 1;
        scene_.options.additive = mode == 2;
        int panelPixelsBelow255 = 0;
        for (int py = 0; py < scene_.height; ++py)
            for (int px = 0; px < scene_.width; ++px) {
                scene_.options.opaqueBackground = false;
                Px expected = pixel(px, py);
                const bool panel = px < 3 * kSize;
                if (panel && expected[3] != 255) {
                    expected[3] = 255;
                    ++panelPixelsBelow255;
                }
                scene_.options.opaqueBackground = true;
                ASSERT_EQ(pixel(px, py), expected) << "mode " << mode << " at " << px << ", " << py;
            }
        // The transparent render left partial coverage under the dots to change too.
        EXPECT_GT(panelPixelsBelow255, 100) << "mode " << mode;
    }
    // Without the background option there are no cells to make opaque.
    scene_.options.background = false;
    scene_.options.opaqueBackground = true;
    EXPECT_EQ(pixel(1, 1), (Px{0, 0, 0, 0}));
}

TEST_P(CompositionRules, RecordNamingNoLedImageDrawsNothing)
{
    addDot(5, 5, 9);
    addDot(5, 5, -2);
    EXPECT_EQ(pixel(7, 7), (Px{0, 0, 0, 0}));
}

INSTANTIATE_TEST_SUITE_P(FastAndReference, CompositionRules, ::testing::Bool(),
                         [](const ::testing::TestParamInfo<bool>& info) {
                             return info.param ? "Fast" : "Reference";
                         });

} // namespace
} // namespace lumexa
