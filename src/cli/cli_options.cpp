// Parsing lumexa-render's command line. Every option is one row of kOptions: its names,
// whether it takes a value, its help line and what it sets; getopt_long's tables and the
// --help text are made from the rows, so an option is added in one place.
#include "cli/cli_options.h"

#include "core/base/error.h"
#include "core/base/shown_text.h"
#include "core/project/settings.h"

#include <algorithm>
#include <bitset>
#include <charconv>
#include <getopt.h>
#include <iterator>
#include <limits>
#include <optional>
#include <stdexcept>
#include <string_view>

namespace lumexa::cli
{

namespace
{

constexpr int kMostThreads = 1024;

// A whole number of min..max, or nothing.
std::optional<int> WholeNumber(std::string_view text, int min, int max)
{
    int n = 0;
    const char* end = text.data() + text.size();
    const auto [ptr, ec] = std::from_chars(text.data(), end, n);
    if (text.empty() || ec != std::errc() || ptr != end || n < min || n > max)
        return std::nullopt;
    return n;
}

int ParseThreads(const std::string& value)
{
    if (const std::optional<int> n = WholeNumber(value, 1, kMostThreads))
        return *n;
    throw UsageError{"'" + ShownText(value) + "' is not a number of threads (1 to " +
                     std::to_string(kMostThreads) + ")"};
}

OutputFormat ParseFormat(const std::string& value)
{
    if (const auto format = ParseOutputFormat(value))
        return *format;
    throw UsageError{"'" + ShownText(value) + "' is not an output format (tga, png, tiff, pdf or dzi)"};
}

int ParseDpi(const std::string& value)
{
    if (const std::optional<int> n = WholeNumber(value, 1, kMaxPrintDpi))
        return *n;
    throw UsageError{"'" + ShownText(value) + "' is not a print resolution (1 to " +
                     std::to_string(kMaxPrintDpi) + " pixels per inch)"};
}

// Lengths and papers are read by the core, whose errors name the value.
template <typename Parse> auto AsUsage(Parse parse)
{
    try {
        return parse();
    } catch (const Error& e) {
        throw UsageError{e.what()};
    }
}

double ParseLengthOption(const std::string& value, bool zeroAllowed = false)
{
    return AsUsage([&] { return ParseLength(value, zeroAllowed); });
}

PixelRect ParseRegion(const std::string& value)
{
    std::vector<std::string_view> parts;
    std::string_view rest = value;
    for (size_t comma = rest.find(','); comma != std::string_view::npos; comma = rest.find(',')) {
        parts.push_back(rest.substr(0, comma));
        rest.remove_prefix(comma + 1);
    }
    parts.push_back(rest);
    int n[4] = {};
    for (size_t i = 0; i < parts.size() && i < 4; ++i) {
        // The corner may be 0; the width and height are at least one pixel.
        const std::optional<int> part =
            WholeNumber(parts[i], i < 2 ? 0 : 1, std::numeric_limits<int>::max());
        if (!part)
            break;
        n[i] = *part;
        if (i == 3 && parts.size() == 4)
            return {n[0], n[1], n[2], n[3]};
    }
    throw UsageError{"'" + ShownText(value) +
                     "' is not a region X,Y,W,H (whole numbers; W and H from 1)"};
}

int ParseScale(const std::string& value)
{
    if (const std::optional<int> n = WholeNumber(value, 1, std::numeric_limits<int>::max()))
        return *n;
    throw UsageError{"'" + ShownText(value) + "' is not a scale (a whole number from 1 up)"};
}

TileFormat ParseTileFormatName(const std::string& value)
{
    if (const auto format = ParseTileFormat(value))
        return *format;
    throw UsageError{"'" + ShownText(value) + "' is not a tile format (png or jpeg)"};
}

int ParseQuality(const std::string& value)
{
    if (const std::optional<int> n = WholeNumber(value, 1, 100))
        return *n;
    throw UsageError{"'" + ShownText(value) + "' is not a JPEG quality (1 to 100)"};
}

Compression ParseCompressionName(const std::string& value)
{
    if (const auto compression = ParseCompression(value))
        return *compression;
    throw UsageError{"'" + ShownText(value) + "' is not a compression (fast or small)"};
}

BackgroundChoice ParseBackgroundChoice(const std::string& value)
{
    if (value == "off")
        return BackgroundChoice::Off;
    if (const auto opacity = ParseBackgroundOpacity(value))
        return *opacity == BackgroundOpacity::Opaque ? BackgroundChoice::Opaque
                                                     : BackgroundChoice::Transparent;
    throw UsageError{"'" + ShownText(value) + "' is not a background (off, transparent or opaque)"};
}

struct OptionRow {
    const char* longName;
    char shortName;    // 0: long form only
    const char* value; // the value's name in the help text; null: takes no value
    const char* help;
    void (*apply)(CliOptions& o, const std::string& value);
};

const OptionRow kOptions[] = {
    {"threads", 'j', "N", "compose rows on N threads (default: one per core)",
     [](CliOptions& o, const std::string& v) { o.threads = ParseThreads(v); }},
    {"quiet", 'q', nullptr, "print nothing but warnings and errors",
     [](CliOptions& o, const std::string&) { o.quiet = true; }},
    {"format", 0, "F", "write F (tga, png, tiff, pdf or dzi) whatever the output is called",
     [](CliOptions& o, const std::string& v) { o.format = ParseFormat(v); }},
    {"compression", 0, "C",
     "compress PNG and TIFF fast or small (default: the project's, else fast)",
     [](CliOptions& o, const std::string& v) { o.compression = ParseCompressionName(v); }},
    {"background", 0, "B", "unlit LEDs off, transparent or opaque (default: the project's)",
     [](CliOptions& o, const std::string& v) { o.background = ParseBackgroundChoice(v); }},
    {"font", 0, "FAMILY", "render a Text page whose font is not installed with FAMILY",
     [](CliOptions& o, const std::string& v) { o.font = v; }},
    {"skip-unreadable-pictures", 0, nullptr,
     "render without the LED and alpha pictures that cannot be read (a warning names each)",
     [](CliOptions& o, const std::string&) { o.skipUnreadablePictures = true; }},
    {"list-fonts", 0, nullptr, "list the installed font families, one a line, and exit",
     [](CliOptions& o, const std::string&) { o.listFonts = true; }},
    {"pdf", 0, nullptr, "write a PDF of the result's physical size (as --format pdf)",
     [](CliOptions& o, const std::string&) { o.format = OutputFormat::Pdf; }},
    {"dpi", 0, "N", "print resolution in pixels per inch (default: the project's, else 300)",
     [](CliOptions& o, const std::string& v) { o.dpi = ParseDpi(v); }},
    {"poster", 0, "PAPER",
     "write a poster PDF on sheets of PAPER (a4, a3, letter, legal or WxH with units)",
     [](CliOptions& o, const std::string& v) {
         o.poster = AsUsage([&] { return ParsePaper(v); });
     }},
    {"width", 0, "LENGTH", "poster's finished width (mm, cm or in; default: from the dpi)",
     [](CliOptions& o, const std::string& v) { o.posterWidthMm = ParseLengthOption(v); }},
    {"height", 0, "LENGTH", "poster's finished height, instead of a width",
     [](CliOptions& o, const std::string& v) { o.posterHeightMm = ParseLengthOption(v); }},
    {"margin", 0, "LENGTH", "poster's unprintable margin on every side (default 10mm)",
     [](CliOptions& o, const std::string& v) { o.marginMm = ParseLengthOption(v, true); }},
    {"overlap", 0, "LENGTH", "poster's overlap of neighbouring sheets (default 10mm)",
     [](CliOptions& o, const std::string& v) { o.overlapMm = ParseLengthOption(v, true); }},
    {"portrait", 0, nullptr, "poster's sheets upright (default: fewer sheets decide)",
     [](CliOptions& o, const std::string&) { o.orientation = Orientation::Portrait; }},
    {"landscape", 0, nullptr, "poster's sheets turned",
     [](CliOptions& o, const std::string&) { o.orientation = Orientation::Landscape; }},
    {"region", 0, "X,Y,W,H", "render only W x H pixels from X,Y (counted from the top left)",
     [](CliOptions& o, const std::string& v) { o.region = ParseRegion(v); }},
    {"scale", 0, "N", "write N times smaller (N x N pixels averaged), recorded at dpi / N",
     [](CliOptions& o, const std::string& v) { o.scale = ParseScale(v); }},
    {"tile-format", 0, "F", "deep zoom and pyramid tiles: png (default: keeps alpha; deflated in a TIFF) or jpeg",
     [](CliOptions& o, const std::string& v) { o.tileFormat = ParseTileFormatName(v); }},
    {"quality", 0, "N", "JPEG tiles' quality, 1 to 100 (default 85)",
     [](CliOptions& o, const std::string& v) { o.quality = ParseQuality(v); }},
    {"pyramid", 0, nullptr, "write a TIFF as a tiled pyramid of the result and its reductions",
     [](CliOptions& o, const std::string&) { o.pyramid = true; }},
    {"help", 'h', nullptr, "show this help and exit",
     [](CliOptions& o, const std::string&) { o.help = true; }},
    {"version", 0, nullptr, "show the version and the picture formats read, and exit",
     [](CliOptions& o, const std::string&) { o.version = true; }},
};

constexpr int kOptionCount = static_cast<int>(std::size(kOptions));
// getopt_long reports a long-only option by the value given in its table: the row's
// index above every character.
constexpr int kLongOnlyBase = 256;

// The row whose getopt value is `val`.
const OptionRow* RowOf(int val)
{
    for (int i = 0; i < kOptionCount; ++i)
        if (val == (kOptions[i].shortName ? kOptions[i].shortName : kLongOnlyBase + i))
            return &kOptions[i];
    return nullptr;
}

std::string Name(const OptionRow& row, bool asLong)
{
    return asLong || !row.shortName ? std::string("--") + row.longName
                                    : std::string("-") + row.shortName;
}

// The options given, whatever abbreviation or form named them: getopt_long notes each
// row as it parses it, and the combinations are checked on this record alone.
class GivenOptions
{
  public:
    void note(const OptionRow& row) { given_[static_cast<size_t>(&row - kOptions)] = true; }
    // True when the option of this full long name was given.
    bool operator()(std::string_view longName) const
    {
        for (int i = 0; i < kOptionCount; ++i)
            if (longName == kOptions[i].longName)
                return given_[static_cast<size_t>(i)];
        throw std::logic_error("no option --" + std::string(longName));
    }

  private:
    std::bitset<kOptionCount> given_;
};

// The poster's options go with --poster only, --width and --height exclude each other,
// a poster is a PDF of its own kind, and --pdf is a --format of its own.
void CheckCombinations(const GivenOptions& given)
{
    if (given("format") && given("pdf"))
        throw UsageError{"give --format or --pdf, not both"};
    if (given("quality") && !given("tile-format"))
        throw UsageError{"--quality is the quality of JPEG tiles: it needs --tile-format jpeg"};
    if (!given("poster")) {
        for (const char* name : {"width", "height", "margin", "overlap", "portrait", "landscape"})
            if (given(name))
                throw UsageError{std::string("option --") + name + " needs --poster"};
        return;
    }
    if (given("width") && given("height"))
        throw UsageError{"give --width or --height, not both"};
    if (given("portrait") && given("landscape"))
        throw UsageError{"give --portrait or --landscape, not both"};
    if (given("format") || given("pdf"))
        throw UsageError{"--poster writes a poster PDF; it takes no --format or --pdf"};
    if (given("pyramid") || given("tile-format") || given("quality"))
        throw UsageError{
            "--poster writes a poster PDF; it takes no --pyramid, --tile-format or --quality"};
    // A poster is the whole result at its print size; a region or a reduction of it would
    // print something else than asked.
    if (given("region") || given("scale"))
        throw UsageError{"--poster prints the whole result; it takes no --region or --scale"};
}

// What goes with the output's format, once the output's name is known: tiles with a deep
// zoom export (.dzi or --format dzi) or a pyramid, a pyramid with a TIFF, and neither with a
// region or a scale, as both hold the whole result at every scale.
void CheckOutputCombinations(const CliOptions& o, const GivenOptions& given)
{
    if (o.poster)
        return;
    const OutputFormat format = o.format.value_or(OutputFormatForPath(o.output));
    if (o.pyramid && format != OutputFormat::Tiff)
        throw UsageError{"--pyramid writes a TIFF: name the output .tif or give --format tiff"};
    const bool tiled = format == OutputFormat::Dzi || o.pyramid;
    if ((given("tile-format") || given("quality")) && !tiled)
        throw UsageError{"--tile-format and --quality go with a deep zoom export (.dzi or "
                         "--format dzi) or --pyramid"};
    if (o.tileFormat && o.tileFormat != TileFormat::Jpeg && given("quality"))
        throw UsageError{"--quality is the quality of JPEG tiles: it needs --tile-format jpeg"};
    if (tiled && (given("region") || given("scale")))
        throw UsageError{"a deep zoom export or --pyramid holds the whole result at every "
                         "scale; it takes no --region or --scale"};
}

// getopt_long takes any unambiguous beginning of a long name; `name` ("--xyz") was none,
// and one that begins several names is told with the options it could mean.
std::string UnknownLongOption(const std::string& name)
{
    const std::string_view typed = std::string_view(name).substr(2);
    std::string meanings;
    int count = 0;
    for (const OptionRow& row : kOptions) {
        if (!typed.empty() && std::string_view(row.longName).starts_with(typed))
            meanings += (count++ ? ", --" : "--") + std::string(row.longName);
    }
    if (count > 1)
        return "option '" + ShownText(name) + "' is ambiguous (" + meanings + ")";
    return "unknown option '" + ShownText(name) + "'";
}

} // namespace

CliOptions ParseCliOptions(const std::vector<std::string>& args)
{
    // ':' first: a missing value is reported as ':' rather than '?', and getopt prints nothing.
    std::string shortOptions = ":";
    std::vector<option> longOptions;
    for (int i = 0; i < kOptionCount; ++i) {
        const OptionRow& row = kOptions[i];
        const int hasArg = row.value ? required_argument : no_argument;
        longOptions.push_back(
            {row.longName, hasArg, nullptr, row.shortName ? row.shortName : kLongOnlyBase + i});
        if (row.shortName)
            shortOptions += std::string(1, row.shortName) + (row.value ? ":" : "");
    }
    longOptions.push_back({nullptr, 0, nullptr, 0});

    std::vector<std::string> storage;
    storage.reserve(args.size() + 1);
    storage.push_back("lumexa-render");
    storage.insert(storage.end(), args.begin(), args.end());
    std::vector<char*> argv;
    for (std::string& s : storage)
        argv.push_back(s.data());
    argv.push_back(nullptr);
    const int argc = static_cast<int>(storage.size());

    CliOptions o;
    GivenOptions given;
    // getopt keeps its place in globals; 0 starts it afresh, as a second parse needs.
    optind = 0;
    opterr = 0;
    for (;;) {
        const int c =
            getopt_long(argc, argv.data(), shortOptions.c_str(), longOptions.data(), nullptr);
        if (c == -1)
            break;
        if (c == '?') {
            // getopt gives 0 for an unknown or ambiguous long option, the option's own value
            // for a long one given a value it does not take, and the letter of an unknown
            // short one (whose bundle getopt may not have stepped past yet).
            if (optopt == 0) {
                const std::string arg = argv[optind - 1];
                throw UsageError{UnknownLongOption(arg.substr(0, arg.find('=')))};
            }
            if (const OptionRow* row = RowOf(optopt))
                throw UsageError{"option " + Name(*row, true) + " takes no value"};
            throw UsageError{"unknown option '-" + std::string(1, char(optopt)) + "'"};
        }
        // getopt returns only the values of its table, and ':' with the value of an option
        // whose value is missing.
        const OptionRow& row = *RowOf(c == ':' ? optopt : c);
        if (c == ':') {
            // A value can only be missing at the end of the line, so getopt has stepped past
            // the argument that named the option: a long one or a bundle of short ones.
            const bool asLong = std::string_view(argv[optind - 1]).starts_with("--");
            throw UsageError{"option " + Name(row, asLong) + " needs a value"};
        }
        row.apply(o, optarg ? optarg : "");
        given.note(row);
    }

    if (o.help || o.version || o.listFonts)
        return o;
    CheckCombinations(given);
    const int files = argc - optind;
    if (files != 2)
        throw UsageError{files < 2 ? "a project file and an output file are needed"
                                   : "too many file names"};
    o.project = argv[optind];
    o.output = argv[optind + 1];
    // An empty name is no file: it can only be a slip (an unset variable in a script).
    if (o.project.empty())
        throw UsageError{"the project file name is empty"};
    if (o.output.empty())
        throw UsageError{"the output file name is empty"};
    if (const auto named = OutputFormatNamedBy(o.output);
        o.poster && named && *named != OutputFormat::Pdf)
        throw UsageError{"--poster writes a PDF; '" + ShownText(o.output) + "' is named as a " +
                         OutputFormatName(*named) + " file"};
    CheckOutputCombinations(o, given);
    return o;
}

std::string UsageText()
{
    std::string text =
        "Usage: lumexa-render [options] PROJECT.led OUTPUT.tga\n"
        "       lumexa-render [--tile-format png|jpeg] PROJECT.led NAME.dzi\n"
        "       lumexa-render --pyramid [--tile-format png|jpeg] PROJECT.led OUTPUT.tif\n"
        "       lumexa-render --poster PAPER [--width LENGTH | --height LENGTH] [--margin LENGTH]\n"
        "                     [--overlap LENGTH] [--portrait | --landscape] PROJECT.led "
        "poster.pdf\n"
        "Renders a Lumexa project into a 32-bit Targa file without a window, as the\n"
        "render window's Render button would (an output name ending in .png, .tif or\n"
        ".tiff gives a PNG or TIFF file instead; PNG and TIFF hold results of any width;\n"
        ".pdf gives one page of the result's size at the print resolution). A poster is\n"
        "a PDF of an overview page and the sheets to print, cut and glue. NAME.dzi gives\n"
        "a deep zoom web page: NAME.dzi, the tiles in NAME_files/ and NAME.html, a page\n"
        "that shows the whole result in a browser, from the disk or any web server.\n"
        "\n"
        "With the background on, every PDF page prints the unlit LEDs; Targa, PNG and\n"
        "TIFF hold them transparent (coverage 0) unless --background opaque is given or\n"
        "the project chose it. A result reduced by --scale N records the print resolution\n"
        "divided by N, so that it prints at the same size with less detail.\n"
        "\n"
        "Options:\n";
    std::vector<std::string> names;
    size_t widest = 0;
    for (const OptionRow& row : kOptions) {
        std::string name = row.shortName ? std::string("-") + row.shortName + ", " : "    ";
        name += std::string("--") + row.longName;
        if (row.value)
            name += std::string(" ") + row.value;
        widest = std::max(widest, name.size());
        names.push_back(name);
    }
    for (int i = 0; i < kOptionCount; ++i) {
        names[i].resize(widest + 2, ' ');
        text += "  " + names[i] + kOptions[i].help + "\n";
    }
    text += "\nExit status: 0 when the file was written, 1 on an error, 2 on a usage error.\n";
    return text;
}

} // namespace lumexa::cli
