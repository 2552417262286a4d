// Parsing lumexa-render's command line.
#include "cli/cli_options.h"

#include <charconv>

namespace lumexa::cli
{

namespace
{

constexpr int kMostThreads = 1024;

int ParseThreads(const std::string& value)
{
    int n = 0;
    const char* end = value.data() + value.size();
    const auto [ptr, ec] = std::from_chars(value.data(), end, n);
    if (value.empty() || ec != std::errc() || ptr != end || n < 1 || n > kMostThreads)
        throw UsageError{"'" + value + "' is not a number of threads (1 to " +
                         std::to_string(kMostThreads) + ")"};
    return n;
}

OutputFormat ParseFormat(const std::string& value)
{
    if (const auto format = ParseOutputFormat(value))
        return *format;
    throw UsageError{"'" + value + "' is not an output format (tga, png or tiff)"};
}

} // namespace

CliOptions ParseCliOptions(const std::vector<std::string>& args)
{
    CliOptions o;
    std::vector<std::string> files;
    bool optionsEnd = false;
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        if (optionsEnd || a.empty() || a[0] != '-' || a == "-") {
            files.push_back(a);
            continue;
        }
        auto value = [&](const std::string& name) -> std::string {
            if (i + 1 >= args.size())
                throw UsageError{"option " + name + " needs a value"};
            return args[++i];
        };
        if (a == "--") {
            optionsEnd = true;
        } else if (a == "-h" || a == "--help") {
            o.help = true;
        } else if (a == "--version") {
            o.version = true;
        } else if (a == "-q" || a == "--quiet") {
            o.quiet = true;
        } else if (a == "-j" || a == "--threads") {
            o.threads = ParseThreads(value(a));
        } else if (a.rfind("--threads=", 0) == 0) {
            o.threads = ParseThreads(a.substr(10));
        } else if (a == "--format") {
            o.format = ParseFormat(value(a));
        } else if (a.rfind("--format=", 0) == 0) {
            o.format = ParseFormat(a.substr(9));
        } else if (a.size() > 2 && a.rfind("-j", 0) == 0) {
            o.threads = ParseThreads(a.substr(2));
        } else {
            throw UsageError{"unknown option '" + a + "'"};
        }
    }
    if (o.help || o.version)
        return o;
    if (files.size() != 2)
        throw UsageError{files.size() < 2 ? "a project file and an output file are needed"
                                          : "too many file names"};
    o.project = files[0];
    o.output = files[1];
    return o;
}

std::string UsageText()
{
    return "Usage: lumexa-render [options] PROJECT.led OUTPUT.tga\n"
           "Renders a Lumexa project into a 32-bit Targa file without a window, as the\n"
           "render window's Render button would (an output name ending in .png, .tif or\n"
           ".tiff gives a PNG or TIFF file instead; PNG and TIFF hold results of any width).\n"
           "\n"
           "Options:\n"
           "  -j, --threads N  compose rows on N threads (default: one per core)\n"
           "  -q, --quiet      print nothing but warnings and errors\n"
           "      --format F   write F (tga, png or tiff) whatever the output is called\n"
           "  -h, --help       show this help and exit\n"
           "      --version    show the version and the picture formats read, and exit\n"
           "\n"
           "Exit status: 0 when the file was written, 1 on an error, 2 on a usage error.\n";
}

} // namespace lumexa::cli
