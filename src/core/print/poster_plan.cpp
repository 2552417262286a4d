// The sheet arithmetic of posters.
#include "core/print/poster_plan.h"

#include "core/base/error.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace lumexa
{

namespace
{

// Tolerance for lengths that are equal but for rounding, far below a printer's dot.
constexpr double kEpsilonMm = 1e-6;

std::string mm(double value)
{
    char text[32];
    std::snprintf(text, sizeof text, "%g mm", value);
    return text;
}

// The smallest finished side that prints: a tenth of a millimetre is about what a
// printer can still show.
constexpr double kSmallestFinishedMm = 0.1;

SheetCount gridFor(double pageW, double pageH, const PosterRequest& r, double w, double h)
{
    const double pw = pageW - 2 * r.marginMm;
    const double ph = pageH - 2 * r.marginMm;
    return {SheetsNeeded(w, pw, r.overlapMm), SheetsNeeded(h, ph, r.overlapMm)};
}

struct Finished {
    double widthMm = 0;
    double heightMm = 0;
};

// Checks what can be checked before a sheet is counted, and gives the finished size.
Finished checkAndSize(const PosterRequest& r)
{
    if (r.pictureWidth < 1 || r.pictureHeight < 1)
        throw Error("The picture of " + std::to_string(r.pictureWidth) + " x " +
                    std::to_string(r.pictureHeight) + " pixels is empty");
    if (!(r.marginMm >= 0))
        throw Error("The margin of " + mm(r.marginMm) + " is negative");
    if (!(r.overlapMm >= 0))
        throw Error("The overlap of " + mm(r.overlapMm) + " is negative");
    const double narrow = std::min(r.paper.widthMm, r.paper.heightMm);
    const double wide = std::max(r.paper.widthMm, r.paper.heightMm);
    if (!(narrow >= kSmallestPageMm - kEpsilonMm))
        throw Error("The paper " + r.paper.name + " is smaller than a PDF page can be (" +
                    mm(kSmallestPageMm) + " a side)");
    if (!(wide <= kLargestPageMm))
        throw Error("The paper " + r.paper.name + " is larger than a PDF page can be (" +
                    mm(kLargestPageMm) + " a side)");
    const double printable = narrow - 2 * r.marginMm;
    if (!(printable > 0))
        throw Error("The margin of " + mm(r.marginMm) + " leaves nothing printable on " +
                    r.paper.name);
    if (!(r.overlapMm < printable))
        throw Error("The overlap of " + mm(r.overlapMm) + " is not smaller than the " +
                    mm(printable) + " printable on " + r.paper.name);

    Finished f;
    const double aspect = static_cast<double>(r.pictureHeight) / r.pictureWidth;
    if (r.widthMm > 0) {
        f.widthMm = r.widthMm;
        f.heightMm = r.widthMm * aspect;
    } else if (r.heightMm > 0) {
        f.heightMm = r.heightMm;
        f.widthMm = r.heightMm / aspect;
    } else {
        if (!(r.dpi > 0))
            throw Error("The print resolution of " + std::to_string(r.dpi) + " is not positive");
        f.widthMm = MmForPixels(r.pictureWidth, r.dpi);
        f.heightMm = MmForPixels(r.pictureHeight, r.dpi);
    }
    if (!(std::min(f.widthMm, f.heightMm) >= kSmallestFinishedMm))
        throw Error("The finished size of " + mm(f.widthMm) + " x " + mm(f.heightMm) +
                    " is too small to print (at least " + mm(kSmallestFinishedMm) + " a side)");
    return f;
}

SheetCount countFor(const PosterRequest& r, const Finished& f)
{
    const double narrow = std::min(r.paper.widthMm, r.paper.heightMm);
    const double wide = std::max(r.paper.widthMm, r.paper.heightMm);
    SheetCount portrait = gridFor(narrow, wide, r, f.widthMm, f.heightMm);
    SheetCount landscape = gridFor(wide, narrow, r, f.widthMm, f.heightMm);
    landscape.landscape = true;
    switch (r.orientation) {
    case Orientation::Portrait:
        return portrait;
    case Orientation::Landscape:
        return landscape;
    case Orientation::Automatic:
        break;
    }
    // Portrait when both need as many sheets: it is what printers feed by default.
    return landscape.total() < portrait.total() ? landscape : portrait;
}

// The pixels from a to b (millimetres along the picture) taken outwards to whole pixels,
// so that a pixel cut by a sheet edge prints on both sheets rather than on neither.
void pixelSpan(double a, double b, double pixelsPerMm, int limit, int& start, int& count)
{
    const int first = std::clamp(static_cast<int>(std::floor(a * pixelsPerMm + 1e-9)), 0, limit);
    const int last = std::clamp(static_cast<int>(std::ceil(b * pixelsPerMm - 1e-9)), 0, limit);
    start = first;
    count = std::max(0, last - first);
}

} // namespace

double SheetsNeeded(double length, double printable, double overlap)
{
    if (length <= printable + kEpsilonMm)
        return 1;
    return std::ceil((length - overlap) / (printable - overlap) - 1e-9);
}

SheetCount CountSheets(const PosterRequest& request)
{
    return countFor(request, checkAndSize(request));
}

std::string SheetCountText(double count)
{
    char text[32];
    // Doubles hold every whole number up to 2^53 exactly; past that only the magnitude means
    // anything, and infinity (a size past every double) is told as such.
    if (count < 1e15)
        std::snprintf(text, sizeof text, "%.0f", count);
    else if (std::isfinite(count))
        std::snprintf(text, sizeof text, "%.3g", count);
    else
        return "more than 1e308";
    return text;
}

std::string SheetLabel(int row, int column, int columns, int rows)
{
    std::string letters;
    for (int n = row + 1; n > 0; n = (n - 1) / 26)
        letters.insert(letters.begin(), static_cast<char>('A' + (n - 1) % 26));
    return letters + std::to_string(column + 1) + " of " + std::to_string(columns) + " x " +
           std::to_string(rows);
}

PosterPlan PlanPoster(const PosterRequest& r)
{
    const Finished finished = checkAndSize(r);
    const SheetCount count = countFor(r, finished);
    // Counted before a sheet is built: a size typed wrong must not plan for ever.
    if (!(count.total() <= kMostPosterSheets))
        throw Error("The poster would need " + SheetCountText(count.total()) + " sheets (" +
                    SheetCountText(count.columns) + " across x " + SheetCountText(count.rows) +
                    " down), more than the " + std::to_string(kMostPosterSheets) +
                    " it may have: choose a smaller finished size, larger paper or a smaller "
                    "overlap");

    PosterPlan plan;
    plan.widthMm = finished.widthMm;
    plan.heightMm = finished.heightMm;
    plan.pixelsPerMm = r.pictureWidth / plan.widthMm;
    plan.landscape = count.landscape;
    const double narrow = std::min(r.paper.widthMm, r.paper.heightMm);
    const double wide = std::max(r.paper.widthMm, r.paper.heightMm);
    plan.pageWidthMm = plan.landscape ? wide : narrow;
    plan.pageHeightMm = plan.landscape ? narrow : wide;
    plan.columns = static_cast<int>(count.columns);
    plan.rows = static_cast<int>(count.rows);

    const double pw = plan.pageWidthMm - 2 * r.marginMm;
    const double ph = plan.pageHeightMm - 2 * r.marginMm;
    const double stepX = pw - r.overlapMm;
    const double stepY = ph - r.overlapMm;
    plan.gridWidthMm = plan.columns * stepX + r.overlapMm;
    plan.gridHeightMm = plan.rows * stepY + r.overlapMm;
    // The picture's top-left corner in grid coordinates (the grid's own top-left is 0, 0).
    const double originX = (plan.gridWidthMm - plan.widthMm) / 2;
    const double originY = (plan.gridHeightMm - plan.heightMm) / 2;

    plan.sheets.reserve(static_cast<size_t>(plan.columns) * static_cast<size_t>(plan.rows));
    for (int row = 0; row < plan.rows; ++row) {
        for (int column = 0; column < plan.columns; ++column) {
            PosterSheet sheet;
            sheet.row = row;
            sheet.column = column;
            sheet.label = SheetLabel(row, column, plan.columns, plan.rows);
            // The sheet's printable area in picture millimetres, cut to the picture.
            const double left = column * stepX - originX;
            const double top = row * stepY - originY;
            const double a = std::max(0.0, left), b = std::min(plan.widthMm, left + pw);
            const double c = std::max(0.0, top), d = std::min(plan.heightMm, top + ph);
            if (b > a && d > c) {
                pixelSpan(a, b, plan.pixelsPerMm, r.pictureWidth, sheet.source.x,
                          sheet.source.width);
                pixelSpan(c, d, plan.pixelsPerMm, r.pictureHeight, sheet.source.y,
                          sheet.source.height);
                sheet.placed.x = r.marginMm + sheet.source.x / plan.pixelsPerMm - left;
                sheet.placed.y = r.marginMm + sheet.source.y / plan.pixelsPerMm - top;
                sheet.placed.width = sheet.source.width / plan.pixelsPerMm;
                sheet.placed.height = sheet.source.height / plan.pixelsPerMm;
            }
            plan.sheets.push_back(sheet);
        }
    }
    return plan;
}

} // namespace lumexa
