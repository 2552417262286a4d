// Loading the logo and the rectangle it is shown in.
#include "core/pictures/logo.h"

#include "core/base/error.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

namespace lumexa
{
namespace
{

using ::testing::HasSubstr;

DecodedPicture sized(const std::string& file)
{
    if (file == "broken")
        throw Error("Cannot read picture broken: Corrupt image");
    int w = 0, h = 0;
    std::sscanf(file.c_str(), "%dx%d", &w, &h);
    DecodedPicture d;
    d.width = w;
    d.height = h;
    d.rgba.assign(static_cast<size_t>(w) * h * 4, 0); // black, fully transparent
    return d;
}

TEST(LoadLogoFile, AcceptsUpTo512AndRefusesLargerKeepingTheFileName)
{
    Logo logo;
    EXPECT_FALSE(LoadLogoFile(logo, "512x512", sized).refused());
    EXPECT_TRUE(logo.loaded);
    EXPECT_EQ(logo.fileName, "512x512");
    // Transparent logo pixels show the white page.
    EXPECT_EQ(logo.picture.pixel(5, 5), (Rgb{255, 255, 255}));

    for (const char* file : {"513x10", "10x513"}) {
        SCOPED_TRACE(file);
        const LoadOutcome o = LoadLogoFile(logo, file, sized);
        EXPECT_EQ(o.languageString, 44);
        EXPECT_FALSE(logo.loaded);
        EXPECT_EQ(logo.fileName, "512x512");
    }
}

TEST(LoadLogoFile, UnreadableOrEmptyLogoLeavesTheLogoAsItWas)
{
    Logo logo;
    LoadLogoFile(logo, "20x10", sized);
    for (const char* file : {"broken", "0x0"}) {
        SCOPED_TRACE(file);
        const LoadOutcome o = LoadLogoFile(logo, file, sized);
        EXPECT_TRUE(o.refused());
        EXPECT_THAT(o.message, HasSubstr(file));
        EXPECT_TRUE(logo.loaded);
        EXPECT_EQ(logo.fileName, "20x10");
        EXPECT_EQ(logo.picture.width(), 20);
    }
}

TEST(ShowLogoRect, ShrinksToFitNeverEnlargesAndCentres)
{
    struct Case {
        int w, h;
        Rect r;
    } cases[] = {
        {100, 50, {52, 26, 152, 76}}, // unscaled
        {408, 103, {0, 26, 204, 76}}, // half size by the width
        {306, 20, {0, 45, 204, 57}},  // wider, not higher: width ratio alone
        {10, 206, {100, 0, 104, 102}}, {204, 103, {0, 0, 204, 102}}, {0, 0, {102, 51, 102, 51}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.w) + " x " + std::to_string(c.h));
        EXPECT_EQ(ShowLogoRect(204, 103, c.w, c.h), c.r);
    }
}

} // namespace
} // namespace lumexa
