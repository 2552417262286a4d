// The shipped translations hold every string the English file holds, so that switching
// language never leaves a caption or message empty.
#include "core/project/language_table.h"

#include <gtest/gtest.h>

namespace lumexa
{
namespace
{

TEST(ShippedLanguages, PolishTranslatesEveryEnglishString)
{
    LanguageTable english, polish;
    english.LoadLanguage(std::string(LUMEXA_DATA) + "/English.lng");
    polish.LoadLanguage(std::string(LUMEXA_DATA) + "/Polski.lng");
    for (int n = 0; n < kLanguageStringCount; ++n)
        EXPECT_EQ(polish[n].empty(), english[n].empty()) << n;
    // The Add caption picks the Polish manual.
    EXPECT_EQ(polish[54], "Dodaj");
    EXPECT_EQ(polish[37].back(), ' '); // the path follows
    EXPECT_EQ(polish[39].back(), ' '); // the font name follows
}

} // namespace
} // namespace lumexa
