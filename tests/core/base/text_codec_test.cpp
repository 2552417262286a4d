// Reading the program's text files: a UTF-8 byte order mark is dropped, CR, LF and CR LF
// each end a line, and a file that is not valid UTF-8 throughout is read as Windows-1252.
#include "core/base/text_codec.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace lumexa
{
namespace
{

using ::testing::ElementsAreArray;

TEST(TextCodec, FileBytesBecomeLines)
{
    struct Case {
        const char* what;
        std::string bytes;
        std::vector<std::string> lines;
    };
    const Case cases[] = {
        {"empty file", "", {}},
        {"byte order mark alone", "\xEF\xBB\xBF", {}},
        {"byte order mark dropped", "\xEF\xBB\xBFText=Hi\r\n", {"Text=Hi"}},
        {"only the first mark is one", "\xEF\xBB\xBF\xEF\xBB\xBFx", {"\xEF\xBB\xBFx"}},
        {"mark in the middle is text", "a\xEF\xBB\xBF", {"a\xEF\xBB\xBF"}},
        {"CR LF", "a\r\nb\r\n", {"a", "b"}},
        {"lone CR ends a line", "a\rb", {"a", "b"}},
        {"lone CR at the end", "a\r", {"a"}},
        {"LF CR is two ends", "a\n\rb", {"a", "", "b"}},
        {"CR CR LF", "a\r\r\nb", {"a", "", "b"}},
        {"empty last line kept once", "a\r\n\r\n", {"a", ""}},
        {"no end on the last line", "a\nb", {"a", "b"}},
        {"valid UTF-8 kept",
         "caf\xC3\xA9 \xE2\x82\xAC \xF0\x9F\x98\x80",
         {"caf\xC3\xA9 \xE2\x82\xAC \xF0\x9F\x98\x80"}},
        {"Windows-1252 letter", "caf\xE9", {"caf\xC3\xA9"}},
        {"Windows-1252 after a mark", "\xEF\xBB\xBF\xB9\xEA", {"\xC2\xB9\xC3\xAA"}},
        {"Windows-1252 0x80..0x9F", "\x80\x8A\x9F", {"\xE2\x82\xAC\xC5\xA0\xC5\xB8"}},
        {"undefined 1252 bytes stay C1 controls", "\x81\x9D", {"\xC2\x81\xC2\x9D"}},
        {"one bad byte makes the whole file 1252",
         "\xC3\xA9\r\n\xE9",
         {"\xC3\x83\xC2\xA9", "\xC3\xA9"}},
        {"overlong form", "\xC0\xAF", {"\xC3\x80\xC2\xAF"}},
        {"surrogate", "\xED\xA0\x80", {"\xC3\xAD\xC2\xA0\xE2\x82\xAC"}},
        {"past U+10FFFF", "\xF4\x90\x80\x80", {"\xC3\xB4\xC2\x90\xE2\x82\xAC\xE2\x82\xAC"}},
        {"sequence cut at the end", "ok\xE2\x82", {"ok\xC3\xA2\xE2\x80\x9A"}},
    };
    for (const Case& c : cases)
        EXPECT_THAT(SplitLines(DecodeTextFile(c.bytes)), ElementsAreArray(c.lines)) << c.what;
}

TEST(TextCodec, InvalidSequencesBecomeReplacementCharacters)
{
    struct Case {
        std::string utf8;
        std::u32string chars;
    };
    const Case cases[] = {
        {"a\xC3\xA9", U"a\u00E9"},           {"\xE9x", U"\uFFFDx"},
        {"\xC0\xAF", U"\uFFFD\uFFFD"},       {"\xE2\x82", U"\uFFFD\uFFFD"},
        {"\xF0\x9F\x98\x80", U"\U0001F600"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(Utf8ToChars(c.utf8), c.chars) << c.utf8;
        EXPECT_EQ(IsValidUtf8(c.utf8), CharsToUtf8(c.chars) == c.utf8) << c.utf8;
    }
}

} // namespace
} // namespace lumexa
