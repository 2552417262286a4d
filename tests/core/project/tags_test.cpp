// LED tags: parsing, the "Clear" rewrite, the rewrite after a delete and the strip's wrap.
#include "core/project/tags.h"

#include "core/base/error.h"
#include "core/base/text_codec.h"

#include <gtest/gtest.h>

namespace lumexa
{
namespace
{

std::u32string u32(const std::string& s)
{
    return Utf8ToChars(s);
}

struct ParseCase {
    const char* text;
    const char* stripped;
    std::vector<int> leds; // per stripped character
};

TEST(ParseTags, StripsTagsAndMapsEveryCharacterToItsLed)
{
    const ParseCase cases[] = {
        {"12[&+05]34[&-05]5", "12345", {1, 1, 5, 5, 1}},
        {"[&+05]A[&+07]B[&-07]C[&-05]D", "ABCD", {5, 7, 5, 1}},
        {"[&-01]ab", "ab", {1, 1}}, // unmatched close leaves level 0 at 1
        {"[&x12]", "[&x12]", {1, 1, 1, 1, 1, 1}},
        {"ab[&+05", "ab", {1, 1}}, // cut short after the digits: still a tag
        {"[&+99]x", "x", {99}},
        {"[&+-3]x[&+00]y", "xy", {-3, 0}}, // numbers are kept; the layout vets them
        {"", "", {}},
    };
    for (const ParseCase& c : cases) {
        const ParsedText p = ParseTags(u32(c.text));
        EXPECT_EQ(CharsToUtf8(p.stripped), c.stripped) << c.text;
        ASSERT_EQ(p.ledMap.size(), c.leds.size() + 1) << c.text;
        for (size_t i = 0; i < c.leds.size(); ++i)
            EXPECT_EQ(p.ledAt(static_cast<int>(i + 1)), c.leds[i]) << c.text << " #" << i + 1;
    }
}

TEST(ParseTags, ABadTagNumberThrowsTheConversionError)
{
    const std::pair<const char*, const char*> cases[] = {
        {"[&+5]ab", "'5]' is not a valid integer value"},
        {"ab[&+", "'' is not a valid integer value"},
        {"[&+x1]", "'x1' is not a valid integer value"},
        {"[&+$A]", "'$A' is not a valid integer value"}, // decimal only
        {"[&+-]", "'-]' is not a valid integer value"},
    };
    for (const auto& [text, message] : cases) {
        try {
            ParseTags(u32(text));
            ADD_FAILURE() << text << " parsed";
        } catch (const Error& e) {
            EXPECT_STREQ(e.what(), message) << text;
        }
    }
}

TEST(ParseTags, HasNoLengthOrNestingLimit)
{
    // Far beyond the 254 characters and 254 nesting levels the old fixed arrays held.
    std::u32string text;
    for (int i = 0; i < 1000; ++i)
        text += U"[&+02]";
    text += std::u32string(3000, U'x');
    const ParsedText p = ParseTags(text);
    EXPECT_EQ(p.stripped.size(), 3000u);
    EXPECT_EQ(p.level, 1000);
    EXPECT_EQ(p.ledAt(3000), 2);
    EXPECT_EQ(p.ledAt(3001), 1); // past the text: the map's default
    EXPECT_EQ(p.ledAt(0), 1);
}

TEST(TagRewrites, ClearDropsCompleteTagsOnly)
{
    const std::pair<const char*, const char*> cases[] = {
        {"ab[&+05]cd[&-05]e", "abcde"},
        {"Q[&A] corp", "Q[&A] corp"}, // an ampersand in brackets is text
        {"[&zzzzX", "[&zzzzX"},
        {"x[&", "x[&"},
        {"[x&]", "[x&]"},
        {"a[&+5]b[&+05", "a[&+5]b[&+05"}, // cut short: not a tag yet
        {"[&+12][&-12]", ""},
    };
    for (const auto& [text, expected] : cases)
        EXPECT_EQ(CharsToUtf8(StripAllTags(u32(text))), expected) << text;
}

TEST(TagRewrites, FirstIncompleteTagNamesWhatTheLayoutCannotRead)
{
    const std::pair<const char*, const char*> cases[] = {
        {"[&+", "[&+"},          {"[&+0", "[&+0"}, {"ab[&+x1]c", "[&+x1]"},
        {"[&+01]Ab[&-01]", ""},  {"[&-0", "[&-0"}, {"Q[&A] corp", ""},
        {"[&+01]x[&+5", "[&+5"}, {"[&+-3]x", ""}, // the layout reads a signed number
    };
    for (const auto& [text, expected] : cases)
        EXPECT_EQ(CharsToUtf8(FirstIncompleteTag(u32(text))), expected) << text;
}

TEST(TagRewrites, DeleteRemovesOwnTagsAndRenumbersHigherOnes)
{
    const struct {
        const char* text;
        int n;
        const char* expected;
    } cases[] = {
        {"[&+01]a[&-01][&+02]b[&-02][&+03]c[&-03]", 2, "[&+01]a[&-01]b[&+02]c[&-02]"},
        {"[&+04]a[&-04]", 4, "a"},
        {"[&+01]a[&-01]", 4, "[&+01]a[&-01]"},
        // A "[&" without two digits at its number position is plain text.
        {"[&", 1, "[&"},
        {"a[&+x5]b[&+05]", 3, "a[&+x5]b[&+04]"},
        {"[&+0", 0, "[&+0"},
        {"menu [&x05] end", 5, "menu [&x05] end"}, // no sign: not a tag
        {"[&+06]a[&-06", 5, "[&+05]a[&-06"},       // the close is cut short
    };
    for (const auto& c : cases)
        EXPECT_EQ(CharsToUtf8(RewriteTagsAfterDelete(u32(c.text), c.n)), c.expected) << c.text;
}

TEST(TagRewrites, WrapInsertsTagsAroundTheSelection)
{
    const struct {
        int start, length, n;
        const char* expected;
    } cases[] = {
        {1, 3, 3, "1[&+03]234[&-03]5"},
        {0, 5, 12, "[&+12]12345[&-12]"},
        {3, 10, 7, "123[&+07]45[&-07]"}, // selection clamped to the text
        {1, 0, 3, "12345"},              // nothing selected
        {1, 3, 0, "12345"},              // LED image 0 is never a tag
        {1, 3, 100, "12345"},            // three digits would not read back
        {9, 2, 3, "12345"},              // selection past the end
    };
    for (const auto& c : cases)
        EXPECT_EQ(CharsToUtf8(WrapInTags(U"12345", c.start, c.length, c.n)), c.expected)
            << c.start << "+" << c.length << " n=" << c.n;
}

} // namespace
} // namespace lumexa
