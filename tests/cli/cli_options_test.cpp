// lumexa-render's command line, parsed as every Unix tool parses its own: bundled short
// options, values attached or apart, long options with "=", and "--" before file names.
#include "cli/cli_options.h"

#include <gtest/gtest.h>

#include <optional>
#include <sstream>
#include <string>
#include <vector>

namespace lumexa::cli
{
namespace
{

std::vector<std::string> Words(const std::string& line)
{
    std::istringstream in(line);
    std::vector<std::string> words;
    for (std::string w; in >> w;)
        words.push_back(w);
    return words;
}

TEST(CliOptions, AcceptedCommandLines)
{
    struct Case {
        std::string args;
        int threads;
        bool quiet;
        std::optional<OutputFormat> format;
        std::string project;
        std::string output;
    };
    const Case cases[] = {
        {"a.led b.tga", 0, false, {}, "a.led", "b.tga"},
        {"-qj2 a.led b.tga", 2, true, {}, "a.led", "b.tga"},
        {"-j4 a.led b.tga", 4, false, {}, "a.led", "b.tga"},
        {"-j 4 a.led b.tga", 4, false, {}, "a.led", "b.tga"},
        {"--threads=4 a.led b.tga", 4, false, {}, "a.led", "b.tga"},
        {"--threads 3 --quiet a.led b.tga", 3, true, {}, "a.led", "b.tga"},
        {"a.led -q b.tga -j1", 1, true, {}, "a.led", "b.tga"},
        {"-j2 -j5 a.led b.tga", 5, false, {}, "a.led", "b.tga"},
        {"--format=png a.led b.tga", 0, false, OutputFormat::Png, "a.led", "b.tga"},
        {"--format TIF a.led b", 0, false, OutputFormat::Tiff, "a.led", "b"},
        {"-q -- -a.led -b.tga", 0, true, {}, "-a.led", "-b.tga"},
        {"-- a.led --threads=2", 0, false, {}, "a.led", "--threads=2"},
        {"- out.png", 0, false, {}, "-", "out.png"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.args);
        try {
            const CliOptions o = ParseCliOptions(Words(c.args));
            EXPECT_EQ(o.threads, c.threads);
            EXPECT_EQ(o.quiet, c.quiet);
            EXPECT_EQ(o.format, c.format);
            EXPECT_EQ(o.project, c.project);
            EXPECT_EQ(o.output, c.output);
            EXPECT_FALSE(o.help || o.version);
        } catch (const UsageError& e) {
            ADD_FAILURE() << e.message;
        }
    }
}

TEST(CliOptions, CompressionIsTheProjectsUnlessGiven)
{
    EXPECT_EQ(ParseCliOptions(Words("a.led b.png")).compression, std::nullopt);
    EXPECT_EQ(ParseCliOptions(Words("--compression small a.led b.png")).compression,
              Compression::Small);
    EXPECT_EQ(ParseCliOptions(Words("a.led b.tif --compression=fast")).compression,
              Compression::Fast);
}

TEST(CliOptions, HelpAndVersionNeedNoFiles)
{
    EXPECT_TRUE(ParseCliOptions(Words("-h")).help);
    EXPECT_TRUE(ParseCliOptions(Words("-qh")).help);
    EXPECT_TRUE(ParseCliOptions(Words("--help a.led")).help);
    EXPECT_TRUE(ParseCliOptions(Words("--version")).version);
}

TEST(CliOptions, MistakesAreNamed)
{
    struct Case {
        std::string args;
        std::string says;
    };
    const Case cases[] = {
        {"", "a project file and an output file are needed"},
        {"a.led", "a project file and an output file are needed"},
        {"a.led b.tga c.tga", "too many file names"},
        {"--frobnicate a.led b.tga", "unknown option '--frobnicate'"},
        {"--frobnicate=2 a.led b.tga", "unknown option '--frobnicate'"},
        {"-x a.led b.tga", "unknown option '-x'"},
        {"-qx a.led b.tga", "unknown option '-x'"},
        {"a.led b.tga -j", "option -j needs a value"},
        {"a.led b.tga --threads", "option --threads needs a value"},
        {"--quiet=1 a.led b.tga", "option --quiet takes no value"},
        {"-j0 a.led b.tga", "'0' is not a number of threads (1 to 1024)"},
        {"-j 1025 a.led b.tga", "'1025'"},
        {"--threads=2x a.led b.tga", "'2x'"},
        {"--threads= a.led b.tga", "'' is not a number of threads"},
        {"--format jpeg a.led b.tga", "'jpeg' is not an output format"},
        {"--region 1,2,3 a.led b.tga", "'1,2,3' is not a region X,Y,W,H"},
        {"--region 1,2,3,4,5 a.led b.tga", "'1,2,3,4,5' is not a region"},
        {"--region=0,0,0,4 a.led b.tga", "'0,0,0,4' is not a region"},
        {"--region=-1,0,2,4 a.led b.tga", "'-1,0,2,4' is not a region"},
        {"--region=1,,2,4 a.led b.tga", "'1,,2,4' is not a region"},
        {"--region=1,2,3,9999999999 a.led b.tga", "is not a region"},
        {"--scale 0 a.led b.tga", "'0' is not a scale"},
        {"--scale=2.5 a.led b.tga", "'2.5' is not a scale"},
        {"--poster a4 --region 0,0,9,9 a.led b.pdf", "takes no --region or --scale"},
        {"--poster a4 --scale 2 a.led b.pdf", "takes no --region or --scale"},
        {"--compression=9 a.led b.png", "'9' is not a compression (fast or small)"},
        {"a.led b.png --compression", "option --compression needs a value"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.args);
        try {
            ParseCliOptions(Words(c.args));
            ADD_FAILURE() << "accepted";
        } catch (const UsageError& e) {
            EXPECT_NE(e.message.find(c.says), std::string::npos) << e.message;
        }
    }
}

TEST(CliOptions, RegionAndScale)
{
    const CliOptions plain = ParseCliOptions(Words("a.led b.tga"));
    EXPECT_FALSE(plain.region);
    EXPECT_EQ(plain.scale, 1);
    const CliOptions both = ParseCliOptions(Words("--region 0,7,640,1 --scale=8 a.led b.png"));
    EXPECT_EQ(both.region, (PixelRect{0, 7, 640, 1}));
    EXPECT_EQ(both.scale, 8);
}

TEST(CliOptions, HelpListsEveryOption)
{
    const std::string help = UsageText();
    for (const char* name : {"-j, --threads N", "-q, --quiet", "--format F", "--region X,Y,W,H",
                             "--scale N", "--compression C", "-h, --help", "--version"})
        EXPECT_NE(help.find(name), std::string::npos) << name;
}

} // namespace
} // namespace lumexa::cli
