// The command line of lumexa-render: options and the two file names. Options are parsed by
// getopt_long, so that they combine and take values as in every Unix tool (-qj2, -j4,
// --threads=4, --threads 4, --thr 4, -- before a file name that starts with a dash).
#pragma once

#include "core/base/pixel_rect.h"
#include "core/print/poster_plan.h"
#include "core/project/tile_format.h"
#include "imaging/row_writers.h"

#include <optional>
#include <string>
#include <vector>

namespace lumexa::cli
{

// --background: no background cells, or drawn with the panel transparent or opaque.
enum class BackgroundChoice { Off, Transparent, Opaque };

struct CliOptions {
    std::string project;
    std::string output;
    int threads = 0; // 0: one per core
    bool quiet = false;
    bool help = false;
    bool version = false;
    bool listFonts = false;
    std::string font; // --font: the family that stands in for a font that is not installed
    // --skip-unreadable-pictures: LED and alpha pictures that cannot be read are left out
    // with a warning instead of stopping the render.
    bool skipUnreadablePictures = false;
    std::optional<OutputFormat> format;         // --format; else chosen by the output's extension
    std::optional<int> dpi;                     // --dpi; else the project's print resolution
    std::optional<Compression> compression;     // --compression; else the project's choice
    std::optional<BackgroundChoice> background; // --background; else the project's

    // A poster PDF instead of a result file (--poster and what goes with it).
    std::optional<PaperSize> poster;
    double posterWidthMm = 0;  // --width; 0: from the print resolution
    double posterHeightMm = 0; // --height
    double marginMm = 10;
    double overlapMm = 10;
    Orientation orientation = Orientation::Automatic;
    std::optional<PixelRect> region; // --region X,Y,W,H in full-size pixels
    int scale = 1;                   // --scale N: reduced N times by area averaging

    // Deep zoom exports and pyramidal TIFF: --tile-format, --quality, --pyramid.
    std::optional<TileFormat> tileFormat;
    std::optional<int> quality;
    bool pyramid = false;

    friend bool operator==(const CliOptions&, const CliOptions&) = default;
};

// A mistake on the command line; its text says what is wrong.
struct UsageError {
    std::string message;
};

// Parses the arguments after the program name. Throws UsageError.
CliOptions ParseCliOptions(const std::vector<std::string>& args);

// The --help text.
std::string UsageText();

} // namespace lumexa::cli
