// Values from files as messages show them: control characters written as escapes, long
// values cut in the middle with "…", and the errors that echo a value or a path doing so.
// A 30 MB font name once made a 30 MB error line, and ESC from a project reached the
// terminal.
#include "core/base/shown_text.h"

#include "core/base/error.h"
#include "core/base/text_codec.h"

#include <gtest/gtest.h>

#include <new>
#include <string>
#include <system_error>

namespace lumexa
{
namespace
{

TEST(ShownText, ControlCharactersAreEscapedAndLongValuesCut)
{
    const std::string longName = "start" + std::string(30'000'000, 'W') + "end.png";
    const std::string polish(300, 'x');
    std::string letters;
    for (int i = 0; i < 300; ++i)
        letters += "ł";
    struct Case {
        const char* what;
        std::string text;
        std::string shown; // empty: only checked for its length and ends
    };
    const Case cases[] = {
        {"plain", "DejaVu Sans", "DejaVu Sans"},
        {"letters beyond ASCII", "Zażółć gęślą", "Zażółć gęślą"},
        {"ESC and BEL", "x\x1B[2Jy\a", "x\\e[2Jy\\a"},
        {"line ends and tab", "a\r\nb\tc", "a\\r\\nb\\tc"},
        {"other controls and DEL", std::string("\x01\x7F", 2), "\\x01\\x7F"},
        {"NUL", std::string("a\0b", 3), "a\\x00b"},
        {"C1 control sequence introducer",
         "a\xC2\x9B"
         "31mb",
         "a\\u009B31mb"},
        {"exactly the most", std::string(kMostShownCharacters, 'x'),
         std::string(kMostShownCharacters, 'x')},
        {"30 MB", longName, ""},
        {"300 two-byte letters", letters, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const std::string shown = ShownText(c.text);
        if (!c.shown.empty()) {
            EXPECT_EQ(shown, c.shown);
            continue;
        }
        EXPECT_NE(shown.find("…"), std::string::npos);
        EXPECT_EQ(Utf8ToChars(shown).size(), kMostShownCharacters + 1);
        EXPECT_TRUE(IsValidUtf8(shown)) << "a character was cut";
        EXPECT_EQ(shown.substr(0, 2), c.text.substr(0, 2));
        EXPECT_EQ(shown.substr(shown.size() - 2), c.text.substr(c.text.size() - 2));
    }
    EXPECT_EQ(EscapeControls("\x1B" + polish), "\\e" + polish) << "lines are never cut";
}

TEST(ShownText, ErrorsShowTheValuesTheyEcho)
{
    const std::string hostile = "\x1B]0;owned\a" + std::string(1'000'000, 'A');
    const Error errors[] = {
        InvalidInteger(hostile),
        CannotFind(hostile),
        CannotOpen(hostile, "it is a folder"),
        CannotWrite(hostile, "No space left on device"),
        CannotReadPicture(hostile, "it is not a regular file"),
        Error("plain").about(hostile),
    };
    for (const Error& e : errors) {
        SCOPED_TRACE(std::string(e.what()).substr(0, 60));
        const std::string text = e.what();
        EXPECT_LT(text.size(), 400u);
        EXPECT_EQ(text.find('\x1B'), std::string::npos);
        EXPECT_EQ(text.find('\a'), std::string::npos);
        EXPECT_NE(text.find("\\e]0;owned\\a"), std::string::npos);
    }
    // The error keeps the whole file for the code that acts on it.
    EXPECT_EQ(CannotFind(hostile).file(), hostile);
}

// What ran out says so, with what needs less, instead of "std::bad_alloc" or "Resource
// temporarily unavailable".
TEST(ShownText, ShortagesAreToldWithWhatToDo)
{
    struct Case {
        const char* what;
        std::exception_ptr thrown;
        std::string starts;
    };
    const Case cases[] = {
        {"memory", std::make_exception_ptr(std::bad_alloc()), "Not enough memory: "},
        {"threads",
         std::make_exception_ptr(
             std::system_error(std::make_error_code(std::errc::resource_unavailable_try_again))),
         "Cannot start another thread: "},
        {"another system error",
         std::make_exception_ptr(std::system_error(std::make_error_code(std::errc::io_error))), ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        try {
            std::rethrow_exception(c.thrown);
        } catch (const std::exception& e) {
            const std::string text = ErrorFrom(e).what();
            if (c.starts.empty()) {
                EXPECT_EQ(text, e.what());
            } else {
                EXPECT_EQ(text.substr(0, c.starts.size()), c.starts);
                EXPECT_NE(text.find("fewer threads"), std::string::npos);
                EXPECT_NE(text.find("smaller result"), std::string::npos);
            }
        }
    }
}

} // namespace
} // namespace lumexa
