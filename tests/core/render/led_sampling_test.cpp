// Sampling LED pictures: whole pixels at angle 0, the edge rules, truncation of the
// bilinear sum, the 3.14-based angle tables, and the bounds.
#include "core/render/led_sampling.h"

#include <gtest/gtest.h>

namespace lumexa
{
namespace
{

// A 3 x 3 picture whose pixel (x, y) has blue 10x + y, green 100 + x, red 200 + y.
LedImage gradientLed()
{
    Picture picture(3, 3);
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 3; ++x)
            picture.setPixel(x, y,
                             {static_cast<uint8_t>(200 + y), static_cast<uint8_t>(100 + x),
                              static_cast<uint8_t>(10 * x + y)});
    return MakeLedImage(std::move(picture), 1, "");
}

TEST(SampleLedPicture, AngleZeroReadsWholePixels)
{
    const LedImage led = gradientLed();
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 3; ++x)
            EXPECT_EQ(SampleLedPicture(led, led.picture, x, y, 0),
                      (LedSample{static_cast<uint8_t>(10 * x + y), static_cast<uint8_t>(100 + x),
                                 static_cast<uint8_t>(200 + y)}));
}

TEST(SampleLedPicture, OutsideThePictureIsNoSample)
{
    const LedImage led = gradientLed();
    for (auto [u, v] : {std::pair{-1, 0}, {0, -1}, {3, 0}, {0, 3}, {100000, 5}})
        EXPECT_FALSE(SampleLedPicture(led, led.picture, u, v, 0)) << u << ", " << v;
}

TEST(SampleLedPicture, AnglesOutsideTheTableCountAsZero)
{
    const LedImage led = gradientLed();
    for (int angle : {360, 361, -1, -360, 100000})
        EXPECT_EQ(SampleLedPicture(led, led.picture, 2, 0, angle),
                  SampleLedPicture(led, led.picture, 2, 0, 0))
            << angle;
}

TEST(SampleLedPicture, QuarterTurnLandsJustShortOfTheNextRow)
{
    // Cell (2, 1) turned by 90 degrees maps to X = 1 + cos(1.57) = 1.0008,
    // Y = 1 + sin(1.57) = 1.99999968: mostly pixel (1, 2), and the sum is truncated.
    Picture picture(3, 3, {0, 0, 0});
    picture.setPixel(1, 2, {200, 200, 200});
    picture.setPixel(2, 2, {200, 200, 200});
    const LedImage led = MakeLedImage(std::move(picture), 1, "");
    const auto s = SampleLedPicture(led, led.picture, 2, 1, 90);
    ASSERT_TRUE(s);
    EXPECT_EQ(s->red, 199);
}

TEST(SampleLedPicture, LastColumnAndRowRepeatTheirPixels)
{
    // Half a turn about (1, 1) maps cell (0, 0) to about (2.003, 1.997): column 2 is the last,
    // so the "next" column repeats it; the row below (2) exists.
    const LedImage led = gradientLed();
    const auto s = SampleLedPicture(led, led.picture, 0, 0, 180);
    ASSERT_TRUE(s);
    EXPECT_EQ(s->green, 102); // every column read is column 2
    EXPECT_EQ(s->red, 201);   // 201 x (1 - fy) + 202 x fy with fy = 0.997, truncated
}

TEST(SampleLedPicture, AlphaBoundsAreThoseOfTheLedPicture)
{
    LedImage led = gradientLed();
    led.alphaPicture = Picture(4, 4, {0, 0, 77});
    EXPECT_EQ(SampleLedPicture(led, led.alphaPicture, 2, 2, 0)->blue, 77);
    EXPECT_FALSE(SampleLedPicture(led, led.alphaPicture, 3, 3, 0));
}

TEST(SampleLedPicture, AlphaPictureSmallerThanTheLedGivesNoSample)
{
    // It would otherwise be read past its end.
    LedImage led = gradientLed();
    led.alphaPicture = Picture(2, 2, {0, 0, 77});
    EXPECT_FALSE(SampleLedPicture(led, led.alphaPicture, 0, 0, 0));
}

TEST(SampleLedPicture, OnePixelPicture)
{
    const LedImage led = MakeLedImage(Picture(1, 1, {9, 8, 7}), 1, "");
    for (int angle : {0, 45, 90, 359})
        EXPECT_EQ(SampleLedPicture(led, led.picture, 0, 0, angle), (LedSample{7, 8, 9})) << angle;
    EXPECT_FALSE(SampleLedPicture(led, led.picture, 1, 0, 0));
}

TEST(MaskFactor, IsMTimes0_00392AsAFloat)
{
    EXPECT_EQ(MaskFactor(255), static_cast<float>(0.9996));
    EXPECT_EQ(MaskFactor(0), 0.0f);
    EXPECT_EQ(MaskFactor(100), static_cast<float>(0.392));
}

} // namespace
} // namespace lumexa
