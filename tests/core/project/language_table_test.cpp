// Reading language files, and the shipped English file.
#include "core/project/language_table.h"

#include "core/base/error.h"
#include "support/scratch_folder.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <iterator>

#include <fstream>

namespace lumexa
{
namespace
{

using ::testing::HasSubstr;

TEST(LanguageTable, DelimitersAreDroppedUnseen)
{
    struct Case {
        const char* line;
        const char* text;
    } cases[] = {
        {"34=[Quit?]", "Quit?"},
        {"34=(Quit?)", "Quit?"},
        {"34=\"Quit?\"", "Quit?"},
        {"34=[]", ""},
        {"34=", ""},
        {"34=[", ""},
        {"34=[x", ""},
        {"34=[a=b]", "a=b"},
        {"34=[ends in spaces]  ", "ends in spaces] "},
        {"34=\xC2\xABguillemets\xC2\xBB", "guillemets"}, // one character, two bytes each
        {"+34=[signed]", "signed"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.line);
        LanguageTable t;
        t.LoadLanguageLines({"title", c.line});
        EXPECT_EQ(t[34], c.text);
    }
}

TEST(LanguageTable, TitleIsNeverReadAndLaterLinesWin)
{
    LanguageTable t;
    t.LoadLanguageLines({"12=[x]", "1=[one]", "1=[uno]",
                         std::to_string(kLanguageStringCount) + "=[out]", "-1=[out]"});
    EXPECT_EQ(t[12], "");
    EXPECT_EQ(t[1], "uno");
    EXPECT_EQ(t[kLanguageStringCount], "");
    EXPECT_EQ(t[-1], "");
}

TEST(LanguageTable, SecondFileKeepsWhatItLacks)
{
    LanguageTable t;
    t.LoadLanguageLines({"first", "54=[Add]", "55=[Add Alpha]"});
    t.LoadLanguageLines({"second", "55=[Alfa]"});
    EXPECT_EQ(t[54], "Add");
    EXPECT_EQ(t[55], "Alfa");
}

TEST(LanguageTable, LinesWithoutEqualsAreSkipped)
{
    LanguageTable t;
    t.LoadLanguageLines({"title", "", "1=[one]", "just words", "2=[two]", ""});
    EXPECT_EQ(t[1], "one");
    EXPECT_EQ(t[2], "two");
}

TEST(LanguageTable, BadNumberStopsReadingAndKeepsEarlierLines)
{
    LanguageTable t;
    try {
        t.LoadLanguageLines({"title", "1=[one]", "x1=[bad]", "2=[two]"});
        FAIL() << "no error";
    } catch (const Error& e) {
        EXPECT_STREQ(e.what(), "'x1' is not a valid integer value");
    }
    EXPECT_EQ(t[1], "one");
    EXPECT_EQ(t[2], "");
    for (const char* number : {"", " 1", "1 ", "0x1", "99999999999"}) {
        SCOPED_TRACE(number);
        EXPECT_THROW(t.LoadLanguageLines({"title", std::string(number) + "=[z]"}), Error);
    }
}

// A language file's bad line is told with the file and the line, as a project's is.
TEST(LanguageTable, BadLineOfAFileNamesTheFileAndTheLine)
{
    testing::ScratchFolder scratch;
    const std::string path = scratch.file("Broken.lng");
    {
        std::ofstream out(path, std::ios::binary);
        out << "Broken\r\n1=[one]\r\n\r\nx1=[bad]\r\n";
    }
    LanguageTable t;
    try {
        t.LoadLanguage(path);
        FAIL() << "no error";
    } catch (const Error& e) {
        EXPECT_EQ(std::string(e.what()), path + ", line 4: 'x1' is not a valid integer value");
        EXPECT_EQ(e.file(), path);
        // Put about the file again (as lumexa-render's warning does), it is not named twice.
        EXPECT_EQ(std::string(e.about(path).what()), e.what());
    }
    EXPECT_EQ(t[1], "one");
}

TEST(LanguageTable, MissingFileNamesThePath)
{
    LanguageTable t;
    t.LoadLanguageLines({"title", "1=[one]"});
    try {
        t.LoadLanguage("/no/such/file.lng");
        FAIL() << "no error";
    } catch (const Error& e) {
        EXPECT_STREQ(e.what(), "Cannot open file /no/such/file.lng");
    }
    EXPECT_EQ(t[1], "one");
}

TEST(LanguageTable, FileLargerThanTheCapIsRefusedNamingFileAndCap)
{
    // Short lines cost several times their bytes once split: a file past the cap is
    // refused before, and the table keeps what it held.
    const testing::ScratchFolder scratch;
    const struct {
        const char* what;
        uint64_t bytes;
        bool read;
    } cases[] = {
        {"the shipped files' size", 4096, true},
        {"just the cap", kMostLanguageFileBytes, true},
        {"a byte past the cap", kMostLanguageFileBytes + 1, false},
        {"60 MB of short lines", 60ull << 20, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const std::string path = scratch.file("big.lng");
        {
            std::ofstream out(path, std::ios::binary);
            std::string body = "Big\r\n1=[big]\r\n";
            body.resize(c.bytes, '\n');
            out << body;
        }
        LanguageTable t;
        t.LoadLanguageLines({"title", "1=[one]"});
        if (c.read) {
            t.LoadLanguage(path);
            EXPECT_EQ(t[1], "big");
            continue;
        }
        try {
            t.LoadLanguage(path);
            ADD_FAILURE() << "no error";
        } catch (const Error& e) {
            EXPECT_EQ(std::string(e.what()),
                      "Cannot open file " + path + ": it is larger than 1 MB");
        }
        EXPECT_EQ(t[1], "one");
    }
}

TEST(LanguageTable, Windows1252FileIsDecoded)
{
    const testing::ScratchFolder scratch;
    const std::string path = scratch.file("cp1252.lng");
    std::ofstream(path, std::ios::binary) << "Polski\r\n84=[Negatyw \xB9\xEA]\r\n";
    LanguageTable t;
    t.LoadLanguage(path);
    EXPECT_EQ(t[84], "Negatyw \xC2\xB9\xC3\xAA");
}

TEST(LanguageTable, EnglishFileHoldsEveryString)
{
    LanguageTable t;
    t.LoadLanguage(std::string(LUMEXA_DATA) + "/English.lng");
    for (int n : {21, 36, 60}) // never shown
        EXPECT_EQ(t[n], "") << n;
    // Each block of numbers is filled from its start without a hole: a text left out in the
    // middle of one is a caption or message the program would show empty.
    const int blockStarts[] = {0, 158, 180, 200, 240, kLanguageStringCount};
    for (size_t b = 0; b + 1 < std::size(blockStarts); ++b) {
        bool ended = false;
        for (int n = blockStarts[b]; n < blockStarts[b + 1]; ++n) {
            if (n == 21 || n == 36 || n == 60)
                continue;
            if (t[n].empty())
                ended = true;
            else
                EXPECT_FALSE(ended) << "string " << n << " follows a missing one";
        }
    }
    for (int n = 0; n < 158; ++n) {
        if (n != 21 && n != 36 && n != 60) {
            EXPECT_FALSE(t[n].empty()) << n;
        }
    }
    EXPECT_EQ(t[35], "1234567890");
    EXPECT_EQ(t[46], "Flat");
    EXPECT_EQ(t[53], "Loading, please wait...");
    EXPECT_EQ(t[77], "Open LED file");
    EXPECT_EQ(t[85], "Font Dots: ??");
    EXPECT_EQ(t[103], "Render to file");
    EXPECT_THAT(t[37], ::testing::EndsWith(" ")); // the path follows
}

} // namespace
} // namespace lumexa
