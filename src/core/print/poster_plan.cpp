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

struct Grid {
    int columns = 0;
    int rows = 0;
};

Grid gridFor(double pageW, double pageH, const PosterRequest& r, double w, double h)
{
    const double pw = pageW - 2 * r.marginMm;
    const double ph = pageH - 2 * r.marginMm;
    return {SheetsNeeded(w, pw, r.overlapMm), SheetsNeeded(h, ph, r.overlapMm)};
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

int SheetsNeeded(double length, double printable, double overlap)
{
    if (length <= printable + kEpsilonMm)
        return 1;
    return static_cast<int>(std::ceil((length - overlap) / (printable - overlap) - 1e-9));
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
    if (r.pictureWidth < 1 || r.pictureHeight < 1)
        throw Error("The picture of " + std::to_string(r.pictureWidth) + " x " +
                    std::to_string(r.pictureHeight) + " pixels is empty");
    if (!(r.marginMm >= 0))
        throw Error("The margin of " + mm(r.marginMm) + " is negative");
    if (!(r.overlapMm >= 0))
        throw Error("The overlap of " + mm(r.overlapMm) + " is negative");
    const double narrow = std::min(r.paper.widthMm, r.paper.heightMm);
    const double wide = std::max(r.paper.widthMm, r.paper.heightMm);
    const double printable = narrow - 2 * r.marginMm;
    if (!(printable > 0))
        throw Error("The margin of " + mm(r.marginMm) + " leaves nothing printable on " +
                    r.paper.name);
    if (!(r.overlapMm < printable))
        throw Error("The overlap of " + mm(r.overlapMm) + " is not smaller than the " +
                    mm(printable) + " printable on " + r.paper.name);

    PosterPlan plan;
    const double aspect = static_cast<double>(r.pictureHeight) / r.pictureWidth;
    if (r.widthMm > 0) {
        plan.widthMm = r.widthMm;
        plan.heightMm = r.widthMm * aspect;
    } else if (r.heightMm > 0) {
        plan.heightMm = r.heightMm;
        plan.widthMm = r.heightMm / aspect;
    } else {
        if (!(r.dpi > 0))
            throw Error("The print resolution of " + std::to_string(r.dpi) + " is not positive");
        plan.widthMm = MmForPixels(r.pictureWidth, r.dpi);
        plan.heightMm = MmForPixels(r.pictureHeight, r.dpi);
    }
    plan.pixelsPerMm = r.pictureWidth / plan.widthMm;

    const Grid portrait = gridFor(narrow, wide, r, plan.widthMm, plan.heightMm);
    const Grid landscape = gridFor(wide, narrow, r, plan.widthMm, plan.heightMm);
    switch (r.orientation) {
    case Orientation::Portrait:
        plan.landscape = false;
        break;
    case Orientation::Landscape:
        plan.landscape = true;
        break;
    case Orientation::Automatic:
        // Portrait when both need as many sheets: it is what printers feed by default.
        plan.landscape = landscape.columns * landscape.rows < portrait.columns * portrait.rows;
        break;
    }
    const Grid grid = plan.landscape ? landscape : portrait;
    plan.pageWidthMm = plan.landscape ? wide : narrow;
    plan.pageHeightMm = plan.landscape ? narrow : wide;
    plan.columns = grid.columns;
    plan.rows = grid.rows;

    const double pw = plan.pageWidthMm - 2 * r.marginMm;
    const double ph = plan.pageHeightMm - 2 * r.marginMm;
    const double stepX = pw - r.overlapMm;
    const double stepY = ph - r.overlapMm;
    plan.gridWidthMm = plan.columns * stepX + r.overlapMm;
    plan.gridHeightMm = plan.rows * stepY + r.overlapMm;
    // The picture's top-left corner in grid coordinates (the grid's own top-left is 0, 0).
    const double originX = (plan.gridWidthMm - plan.widthMm) / 2;
    const double originY = (plan.gridHeightMm - plan.heightMm) / 2;

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
