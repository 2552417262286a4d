// What the user reads of an error in the language in force.
#include "core/project/error_text.h"

#include "core/base/error.h"

#include <gtest/gtest.h>

#include <stdexcept>

namespace lumexa
{
namespace
{

TEST(ErrorText, LanguageStringsNameTheirFileElseTheErrorSpeaksForItself)
{
    LanguageTable language;
    language.LoadLanguageLines({"Test", "30=[Oops]", "111=[%1 is no project.]"});
    const Error notProject(111, "Cannot open file a.led: it is not a project file", "a.led",
                           "it is not a project file");
    struct Case {
        const char* name;
        const std::exception& error;
        std::string text;
    } cases[] = {
        {"plain text", Error("Cannot open file x"), "Cannot open file x"},
        {"a foreign exception", std::runtime_error("bad"), "bad"},
        {"language string", Error(30, "fallback"), "Oops"},
        {"language string naming its file", notProject, "a.led is no project."},
        {"an untranslated number keeps the fallback", Error(31, "fallback"), "fallback"},
        {"put about a file", Error(30, "fallback").about("b.led"), "b.led: Oops"},
        {"write failure", CannotWrite("c.png", "No space left on device"),
         "Cannot write file c.png: No space left on device"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ErrorText(c.error, language), c.text) << c.name;
}

TEST(ErrorText, FileAndReasonTravelApartFromTheWording)
{
    const Error e = CannotWrite("c.png", "File too large");
    EXPECT_EQ(e.file(), "c.png");
    EXPECT_EQ(e.reason(), "File too large");
    const Error about = Error("Out of memory").about("d.tif");
    EXPECT_EQ(about.file(), "d.tif");
    EXPECT_STREQ(about.what(), "d.tif: Out of memory");
    EXPECT_EQ(CannotWrite("e.tga", "x").about("f.tga").file(), "e.tga");
}

} // namespace
} // namespace lumexa
