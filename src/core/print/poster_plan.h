// How a picture is cut into printable sheets: the sheet count across and down, the
// picture centred on the grid of sheets, and for each sheet the part of the result it
// prints and where that part lands on the page. Page positions are millimetres from the
// page's top-left corner; picture parts are whole result pixels.
#pragma once

#include "core/base/pixel_rect.h"
#include "core/print/paper.h"
#include "core/project/settings.h"

#include <string>
#include <vector>

namespace lumexa
{

enum class Orientation { Portrait, Landscape, Automatic };

struct PosterRequest {
    PaperSize paper;
    Orientation orientation = Orientation::Automatic;
    double marginMm = 10;  // what printers cannot print, on every side
    double overlapMm = 10; // shared by neighbouring sheets, for gluing
    int pictureWidth = 0;  // the result in pixels
    int pictureHeight = 0;
    double dpi = kDefaultPrintDpi; // gives the finished size when neither length below is set
    double widthMm = 0;            // the finished width, or 0
    double heightMm = 0;           // the finished height, or 0 (ignored when a width is set)
};

struct MmRect {
    double x = 0, y = 0, width = 0, height = 0;
};

struct PosterSheet {
    int row = 0;    // from the top, 0-based
    int column = 0; // from the left, 0-based
    std::string label;
    PixelRect source; // the result's pixels printed on this sheet
    MmRect placed;    // where they land on the page
};

struct PosterPlan {
    double pageWidthMm = 0; // the paper as it is printed (after the orientation)
    double pageHeightMm = 0;
    bool landscape = false;
    int columns = 0;
    int rows = 0;
    double widthMm = 0; // the finished picture
    double heightMm = 0;
    double pixelsPerMm = 0; // result pixels per millimetre of the finished picture
    double gridWidthMm = 0; // the assembled sheets' printable areas, overlaps counted once
    double gridHeightMm = 0;
    std::vector<PosterSheet> sheets; // row by row, left to right

    int pageCount() const { return 1 + columns * rows; }
};

// The most sheets a poster may have: more than anyone would cut and glue, few enough that
// planning and writing them stays quick and small.
inline constexpr int kMostPosterSheets = 1000;

// Sheets across and down, counted in double precision so that no size overflows them.
struct SheetCount {
    double columns = 0;
    double rows = 0;
    bool landscape = false;
    double total() const { return columns * rows; }
};

// Sheets needed to cover `length` with printable parts of `printable`, neighbours sharing
// `overlap`: 1 when it fits, else ceil((length - overlap) / (printable - overlap)).
double SheetsNeeded(double length, double printable, double overlap);

// The sheets the request needs in its orientation (Automatic: portrait unless landscape
// needs fewer), counted before anything is built. Throws an Error naming the value, as
// PlanPoster does, when the request cannot print at all.
SheetCount CountSheets(const PosterRequest& request);

// A sheet count as a person reads it: "1234", or "1.23e+15" past what digits can tell.
std::string SheetCountText(double count);

// "B3 of 4 x 2": the row as letters (A..Z, AA..), the column from 1, then columns x rows.
std::string SheetLabel(int row, int column, int columns, int rows);

// Throws an Error naming the value when margins leave nothing printable, the overlap is
// not smaller than the printable part, the picture or the sizes are empty or too small to
// print, the paper is no size a PDF page can have, or the poster needs more than
// kMostPosterSheets sheets.
PosterPlan PlanPoster(const PosterRequest& request);

} // namespace lumexa
