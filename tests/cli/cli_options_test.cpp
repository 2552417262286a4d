// lumexa-render's command line, parsed as every Unix tool parses its own: bundled short
// options, values attached or apart, long options with "=" or abbreviated, and "--" before
// file names; combinations that contradict each other are refused however they are spelt.
#include "cli/cli_options.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <optional>
#include <regex>
#include <set>
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
        {"--quiet -xq a.led b.tga", "unknown option '-x'"},
        {"--p a.led b.tga", "option '--p' is ambiguous (--pdf, --poster, --portrait, --pyramid)"},
        {"--fo=x a.led b.tga", "option '--fo' is ambiguous (--format, --font)"},
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
        {"--poster a4 --scale 1 a.led b.pdf", "takes no --region or --scale"},
        {"--compression=9 a.led b.png", "'9' is not a compression (fast or small)"},
        {"--tile-format webp a.led b.dzi", "'webp' is not a tile format (png or jpeg)"},
        {"--tile-format jpeg --quality 0 a.led b.dzi", "'0' is not a JPEG quality (1 to 100)"},
        {"--tile-format jpeg --quality 101 a.led b.dzi", "'101' is not a JPEG quality"},
        {"--quality 90 a.led b.dzi", "it needs --tile-format jpeg"},
        {"--tile-format png --quality 90 a.led b.dzi", "it needs --tile-format jpeg"},
        {"--tile-format jpeg a.led b.png", "go with a deep zoom export (.dzi or --format dzi)"},
        {"--pyramid a.led b.png", "--pyramid writes a TIFF"},
        {"--pyramid a.led b.dzi", "--pyramid writes a TIFF"},
        {"--region 0,0,9,9 a.led b.dzi", "it takes no --region or --scale"},
        {"--scale 2 --format dzi a.led b.png", "it takes no --region or --scale"},
        {"--pyramid --scale 2 a.led b.tif", "it takes no --region or --scale"},
        {"--poster a4 --pyramid a.led b.pdf", "it takes no --pyramid, --tile-format or --quality"},
        {"a.led b.png --compression", "option --compression needs a value"},
        {"--background dim a.led b.png", "'dim' is not a background (off, transparent or opaque)"},
        {"--background Opaque a.led b.png", "'Opaque' is not a background"},
        // A poster is a PDF whatever it is called, but not under another format's name.
        {"--poster a4 a.led poster.png",
         "--poster writes a PDF; 'poster.png' is named as a PNG file"},
        {"--poster a4 a.led dir/p.TIF", "'dir/p.TIF' is named as a TIFF file"},
        {"--poster a4 a.led p.tga", "'p.tga' is named as a Targa file"},
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

TEST(CliOptions, BackgroundIsTheProjectsUnlessGiven)
{
    EXPECT_EQ(ParseCliOptions(Words("a.led b.png")).background, std::nullopt);
    const struct {
        const char* value;
        BackgroundChoice choice;
    } cases[] = {{"off", BackgroundChoice::Off},
                 {"transparent", BackgroundChoice::Transparent},
                 {"opaque", BackgroundChoice::Opaque}};
    for (const auto& c : cases)
        EXPECT_EQ(ParseCliOptions(Words(std::string("--background=") + c.value + " a.led b.png"))
                      .background,
                  c.choice)
            << c.value;
    // Posters under names of no other format.
    for (const char* name : {"p.pdf", "p.PDF", "poster", "p.v2/poster", "p.jpg"})
        EXPECT_EQ(ParseCliOptions(Words(std::string("--poster a4 a.led ") + name)).output, name);
}

// An empty file name (an unset variable in a script) is a mistake in the command line, not
// a file that cannot be written.
TEST(CliOptions, EmptyFileNamesAreMistakes)
{
    struct Case {
        std::vector<std::string> args;
        std::string says;
    };
    const Case cases[] = {
        {{"a.led", ""}, "the output file name is empty"},
        {{"-q", "--", "a.led", ""}, "the output file name is empty"},
        {{"", "b.tga"}, "the project file name is empty"},
        {{"--pdf", "", ""}, "the project file name is empty"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.says);
        try {
            ParseCliOptions(c.args);
            ADD_FAILURE() << "accepted";
        } catch (const UsageError& e) {
            EXPECT_EQ(e.message, c.says);
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

TEST(CliOptions, DeepZoomAndPyramidOptions)
{
    const CliOptions plain = ParseCliOptions(Words("a.led sign.DZI"));
    EXPECT_EQ(plain.tileFormat, std::nullopt);
    EXPECT_EQ(plain.quality, std::nullopt);
    EXPECT_FALSE(plain.pyramid);
    const CliOptions jpeg =
        ParseCliOptions(Words("--format dzi --tile-format=jpg --quality 70 a.led out"));
    EXPECT_EQ(jpeg.format, OutputFormat::Dzi);
    EXPECT_EQ(jpeg.tileFormat, TileFormat::Jpeg);
    EXPECT_EQ(jpeg.quality, 70);
    const CliOptions tiff = ParseCliOptions(Words("--pyramid --tile-format deflate a.led b.tiff"));
    EXPECT_TRUE(tiff.pyramid);
    EXPECT_EQ(tiff.tileFormat, TileFormat::Png);
    EXPECT_TRUE(ParseCliOptions(Words("--pyramid --format tiff a.led b.out")).pyramid);
}

TEST(CliOptions, HelpListsEveryOption)
{
    const std::string help = UsageText();
    // What a reduced result records, and where the unlit LEDs go, are told.
    EXPECT_NE(help.find("recorded at dpi / N"), std::string::npos);
    EXPECT_NE(help.find("every PDF page prints the unlit LEDs"), std::string::npos);
    for (const char* name :
         {"-j, --threads N", "-q, --quiet", "--format F", "--region X,Y,W,H", "--scale N",
          "--compression C", "--background B", "--tile-format F", "--quality N", "--pyramid",
          "-h, --help", "--version"})
        EXPECT_NE(help.find(name), std::string::npos) << name;
}

// Every long option with a value it takes (null: none) and the options it needs beside it
// to be accepted.
struct LongOption {
    std::string name;
    const char* value;
    std::string needs;
};
const LongOption kLongOptions[] = {
    {"threads", "3", ""},
    {"quiet", nullptr, ""},
    {"format", "png", ""},
    {"compression", "small", ""},
    {"background", "opaque", ""},
    {"font", "Serif", ""},
    {"skip-unreadable-pictures", nullptr, ""},
    {"list-fonts", nullptr, ""},
    {"pdf", nullptr, ""},
    {"dpi", "600", ""},
    {"poster", "a3", ""},
    {"width", "50cm", "--poster a4"},
    {"height", "50cm", "--poster a4"},
    {"margin", "5mm", "--poster a4"},
    {"overlap", "0", "--poster a4"},
    {"portrait", nullptr, "--poster a4"},
    {"landscape", nullptr, "--poster a4"},
    {"region", "0,0,4,4", ""},
    {"scale", "2", ""},
    {"tile-format", "jpeg", "--format dzi"},
    {"quality", "90", "--format dzi --tile-format jpeg"},
    {"pyramid", nullptr, "--format tiff"},
    {"help", nullptr, ""},
    {"version", nullptr, ""},
};

// The long names `prefix` begins.
std::vector<std::string> Meanings(const std::string& prefix)
{
    std::vector<std::string> names;
    for (const LongOption& o : kLongOptions)
        if (o.name.starts_with(prefix))
            names.push_back(o.name);
    return names;
}

// Every spelling getopt_long takes for `name`: the beginnings that mean it alone, and the
// name itself.
std::vector<std::string> Spellings(const std::string& name)
{
    std::vector<std::string> spellings;
    for (size_t n = 1; n <= name.size(); ++n)
        if (Meanings(name.substr(0, n)).size() == 1 || n == name.size())
            spellings.push_back(name.substr(0, n));
    return spellings;
}

// What a command line comes to: the options, or the usage error's message.
struct Outcome {
    std::optional<CliOptions> options;
    std::string message;
    friend bool operator==(const Outcome&, const Outcome&) = default;
};

Outcome Parse(const std::string& line)
{
    try {
        return {ParseCliOptions(Words(line)), {}};
    } catch (const UsageError& e) {
        return {std::nullopt, e.message};
    }
}

std::string Describe(const Outcome& o)
{
    return o.options ? "parsed" : "refused: " + o.message;
}

TEST(CliOptions, TheTableBelowHoldsEveryLongOption)
{
    const std::string help = UsageText();
    std::set<std::string> named;
    const std::regex longName("--([a-z][a-z-]*)");
    for (auto it = std::sregex_iterator(help.begin(), help.end(), longName);
         it != std::sregex_iterator(); ++it)
        named.insert((*it)[1]);
    std::set<std::string> tabled;
    for (const LongOption& o : kLongOptions)
        tabled.insert(o.name);
    EXPECT_EQ(named, tabled);
}

TEST(CliOptions, EveryAbbreviationActsAsTheFullName)
{
    const std::string files = " a.led b.pdf";
    for (const LongOption& o : kLongOptions) {
        const std::string value = o.value ? o.value : "";
        // Accepted beside what it needs, refused without it where it needs something, a
        // value missing at the end, a value given to an option that takes none.
        const auto lines = [&](const std::string& spelt) {
            std::vector<std::string> all = {
                o.needs + " --" + spelt + (o.value ? " " + value : "") + files,
                "--" + spelt + (o.value ? "=" + value : "") + files,
                files + " --" + spelt + (o.value ? "" : "=1"),
            };
            return all;
        };
        const std::vector<std::string> full = lines(o.name);
        for (const std::string& spelt : Spellings(o.name)) {
            const std::vector<std::string> abbreviated = lines(spelt);
            for (size_t i = 0; i < full.size(); ++i) {
                SCOPED_TRACE(abbreviated[i]);
                const Outcome want = Parse(full[i]);
                const Outcome got = Parse(abbreviated[i]);
                EXPECT_TRUE(got == want)
                    << Describe(got) << "; " << full[i] << " was " << Describe(want);
            }
        }
    }
    // The outcomes compared above differ where they should.
    EXPECT_TRUE(Parse("--poster a4 --width 50cm a.led b.pdf").options);
    EXPECT_EQ(Parse("--width=50cm a.led b.pdf").message, "option --width needs --poster");
    EXPECT_EQ(Parse("a.led b.pdf --dpi").message, "option --dpi needs a value");
    EXPECT_EQ(Parse("a.led b.pdf --pdf=1").message, "option --pdf takes no value");
}

TEST(CliOptions, AmbiguousAbbreviationsNameWhatTheyCouldMean)
{
    for (const LongOption& o : kLongOptions) {
        for (size_t n = 1; n < o.name.size(); ++n) {
            const std::string prefix = o.name.substr(0, n);
            const std::vector<std::string> meanings = Meanings(prefix);
            if (meanings.size() < 2)
                continue;
            SCOPED_TRACE(prefix);
            const std::string message = Parse("--" + prefix + " a.led b.pdf").message;
            EXPECT_TRUE(message.starts_with("option '--" + prefix + "' is ambiguous (")) << message;
            for (const std::string& m : meanings)
                EXPECT_NE(message.find("--" + m), std::string::npos) << message;
        }
    }
}

// Each contradiction in every spelling of its options and in both orders: the same exit
// and message as with the full names.
TEST(CliOptions, ContradictionsAreRefusedHoweverTheyAreSpelt)
{
    struct Case {
        std::vector<std::string> options; // "name" or "name value"
        std::string message;
    };
    const Case cases[] = {
        {{"width 50cm"}, "option --width needs --poster"},
        {{"height 50cm"}, "option --height needs --poster"},
        {{"margin 5mm"}, "option --margin needs --poster"},
        {{"overlap 5mm"}, "option --overlap needs --poster"},
        {{"portrait"}, "option --portrait needs --poster"},
        {{"landscape"}, "option --landscape needs --poster"},
        {{"portrait", "landscape"}, "option --portrait needs --poster"},
        {{"poster a4", "width 100cm", "height 200cm"}, "give --width or --height, not both"},
        {{"poster a4", "portrait", "landscape"}, "give --portrait or --landscape, not both"},
        {{"poster a4", "format pdf"},
         "--poster writes a poster PDF; it takes no --format or --pdf"},
        {{"poster a4", "pdf"}, "--poster writes a poster PDF; it takes no --format or --pdf"},
        {{"poster a4", "region 0,0,9,9"},
         "--poster prints the whole result; it takes no --region or --scale"},
        {{"poster a4", "scale 1"},
         "--poster prints the whole result; it takes no --region or --scale"},
        {{"format png", "pdf"}, "give --format or --pdf, not both"},
        {{"quality 80"}, "--quality is the quality of JPEG tiles: it needs --tile-format jpeg"},
        {{"poster a4", "tile-format jpeg"},
         "--poster writes a poster PDF; it takes no --pyramid, --tile-format or --quality"},
        {{"format dzi", "region 0,0,9,9"},
         "a deep zoom export or --pyramid holds the whole result at every scale; it takes no "
         "--region or --scale"},
        {{"format pdf", "pdf"}, "give --format or --pdf, not both"},
    };
    for (const Case& c : cases) {
        // Every combination of spellings, counted through like the digits of a number.
        std::vector<std::vector<std::string>> spellings;
        for (const std::string& option : c.options)
            spellings.push_back(Spellings(option.substr(0, option.find(' '))));
        std::vector<size_t> pick(c.options.size(), 0);
        for (bool more = true; more;) {
            std::vector<std::string> spelt;
            for (size_t i = 0; i < c.options.size(); ++i) {
                const size_t space = c.options[i].find(' ');
                spelt.push_back("--" + spellings[i][pick[i]] +
                                (space == std::string::npos ? "" : c.options[i].substr(space)));
            }
            for (int order = 0; order < 2; ++order) {
                std::string line;
                for (const std::string& s : spelt)
                    line += s + " ";
                SCOPED_TRACE(line);
                EXPECT_EQ(Parse(line + "a.led b.pdf").message, c.message);
                std::reverse(spelt.begin(), spelt.end());
            }
            more = false;
            for (size_t i = 0; i < pick.size() && !more; ++i) {
                more = ++pick[i] < spellings[i].size();
                if (!more)
                    pick[i] = 0;
            }
        }
    }
}

} // namespace
} // namespace lumexa::cli
