// Writing poster PDFs page by page.
#include "imaging/pdf/poster_pdf.h"

#include "core/base/error.h"
#include "core/view/reduced_view.h"
#include "imaging/pdf/pdf_document.h"
#include "imaging/pdf/pdf_image.h"
#include "imaging/pdf/print_shop_writer.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <vector>

namespace lumexa
{

namespace
{

constexpr double kPointsPerMm = 72 / kMmPerInch;
// The overview's picture is reduced to about this many pixels along its longer side:
// enough to recognise the picture on a printed page, small enough to compose quickly.
constexpr int kOverviewPixels = 1600;
// Full-resolution pixels composed at once; a strip of a sheet is at most this many.
constexpr int64_t kBandPixels = int64_t{4} << 20;

std::string centimetres(double mm)
{
    char text[32];
    std::snprintf(text, sizeof text, "%.1f", mm / 10);
    return text;
}

std::string inches(double mm)
{
    char text[32];
    std::snprintf(text, sizeof text, "%.2f", mm / kMmPerInch);
    return text;
}

std::string millimetres(double mm)
{
    char text[32];
    std::snprintf(text, sizeof text, "%g", std::round(mm * 10) / 10);
    return text;
}

// Text drawing in Helvetica, one of the fonts every PDF reader has, so none is embedded.
std::string text(double xPt, double yPt, double size, const std::string& s)
{
    return "BT /F1 " + PdfNumber(size) + " Tf " + PdfNumber(xPt) + " " + PdfNumber(yPt) + " Td " +
           PdfString(s) + " Tj ET\n";
}

// A rough width of Helvetica text, for centring labels: about half an em per character.
double textWidth(const std::string& s, double size)
{
    return 0.55 * size * static_cast<double>(s.size());
}

std::string line(double x0, double y0, double x1, double y1)
{
    return PdfNumber(x0) + " " + PdfNumber(y0) + " m " + PdfNumber(x1) + " " + PdfNumber(y1) +
           " l S\n";
}

const char* kFontResource = "/Font << /F1 << /Type /Font /Subtype /Type1 /BaseFont /Helvetica "
                            "/Encoding /WinAnsiEncoding >> >>";

// Composes a sheet's or the overview's pixels band by band, reduced by `factor`, and
// writes each band as one image strip.
class StripWriter
{
  public:
    StripWriter(PdfDocument& pdf, const FillRegion& fill, std::stop_token stop,
                RunProgress* progress)
        : pdf_(pdf), fill_(fill), stop_(stop), progress_(progress)
    {
    }

    struct Strip {
        int object = 0;
        int firstRow = 0; // full-resolution rows from the rectangle's top
        int rows = 0;
    };

    // False when stopped.
    bool write(const PixelRect& rect, int factor, std::vector<Strip>& strips)
    {
        const int outWidth = ReducedLength(rect.width, factor);
        const int64_t perReducedRow = int64_t{rect.width} * factor;
        const int reducedRows = static_cast<int>(
            std::max<int64_t>(1, kBandPixels / std::max<int64_t>(1, perReducedRow)));
        const int bandRows = reducedRows * factor;
        for (int top = 0; top < rect.height; top += bandRows) {
            const int rows = std::min(bandRows, rect.height - top);
            const int outRows = ReducedLength(rows, factor);
            pixels_.resize(static_cast<size_t>(outWidth) * 4 * static_cast<size_t>(outRows));
            if (!fill_({rect.x, rect.y + top, rect.width, rows}, factor, pixels_.data(), stop_))
                return false;
            strips.push_back({WriteImageStrip(pdf_, pixels_.data(), outWidth, outRows), top, rows});
            if (progress_)
                progress_->advance(progress_->done() + int64_t{rect.width} * rows);
        }
        pixels_ = {};
        return !stop_.stop_requested();
    }

  private:
    PdfDocument& pdf_;
    const FillRegion& fill_;
    std::stop_token stop_;
    RunProgress* progress_;
    std::vector<uint8_t> pixels_;
};

// The page's content (in points) and resources, written as a page object. Paper past 200
// inches is given in larger user units, the content scaled down to them.
int writePage(PdfDocument& pdf, const PosterPlan& plan, std::string content,
              const std::vector<StripWriter::Strip>& strips)
{
    std::string names;
    for (size_t i = 0; i < strips.size(); ++i)
        names += "/S" + std::to_string(i) + " " + std::to_string(strips[i].object) + " 0 R ";
    const double widthPt = plan.pageWidthMm * kPointsPerMm;
    const double heightPt = plan.pageHeightMm * kPointsPerMm;
    const double unit = PageUserUnit(widthPt, heightPt);
    if (unit != 1) {
        const std::string scale = PdfNumber(1 / unit);
        content = "q " + scale + " 0 0 " + scale + " 0 0 cm\n" + content + "Q\n";
    }
    const int contents = pdf.reserve();
    pdf.writeStream(contents, "/Filter /FlateDecode",
                    Deflate(reinterpret_cast<const uint8_t*>(content.data()), content.size()));
    const int page = pdf.reserve();
    std::string body = "<< /Type /Page /Parent " + std::to_string(pdf.pageTree()) +
                       " 0 R /MediaBox [0 0 " + PdfNumber(widthPt / unit) + " " +
                       PdfNumber(heightPt / unit) + "]";
    if (unit != 1)
        body += " /UserUnit " + PdfNumber(unit);
    body += " /Resources << /XObject << " + names + ">> " + kFontResource + " >> /Contents " +
            std::to_string(contents) + " 0 R >>";
    pdf.writeObject(page, body);
    return page;
}

// Paints strips of a rectangle whose top-left is at (xPt, topPt) from the page's
// top-left corner, `scale` points per full-resolution pixel.
std::string paintStrips(const std::vector<StripWriter::Strip>& strips, const PixelRect& rect,
                        double pageHeightPt, double xPt, double topPt, double scale)
{
    std::string content;
    for (size_t i = 0; i < strips.size(); ++i) {
        const double y = pageHeightPt - topPt - (strips[i].firstRow + strips[i].rows) * scale;
        content += PaintImage("/S" + std::to_string(i), xPt, y, rect.width * scale,
                              strips[i].rows * scale);
    }
    return content;
}

std::string shortLabel(const std::string& label)
{
    return label.substr(0, label.find(' '));
}

int overviewPage(PdfDocument& pdf, const PosterPlan& plan, const PosterRequest& r,
                 const FillRegion& fill, std::stop_token stop, RunProgress* progress, bool& stopped)
{
    const double pageH = plan.pageHeightMm * kPointsPerMm;
    const double m = r.marginMm * kPointsPerMm;
    const int sheets = plan.columns * plan.rows;
    std::string content = "0 g\n";
    content +=
        text(m, pageH - m - 11, 11,
             "Finished size " + centimetres(plan.widthMm) + " x " + centimetres(plan.heightMm) +
                 " cm (" + inches(plan.widthMm) + " x " + inches(plan.heightMm) + " in)");
    content += text(m, pageH - m - 24, 9,
                    std::to_string(sheets) + (sheets == 1 ? " sheet" : " sheets") + " of " +
                        r.paper.name + (plan.landscape ? " landscape" : " portrait") + ", " +
                        std::to_string(plan.columns) + " across x " + std::to_string(plan.rows) +
                        " down; overlap " + millimetres(r.overlapMm) + " mm, margin " +
                        millimetres(r.marginMm) + " mm");

    // The grid fitted into the page below the text.
    const double areaTop = m + 32;
    const double areaW = plan.pageWidthMm * kPointsPerMm - 2 * m;
    const double areaH = pageH - m - areaTop;
    const double s = std::min(areaW / plan.gridWidthMm, areaH / plan.gridHeightMm);
    const double gridX = m + (areaW - plan.gridWidthMm * s) / 2;
    const double gridTop = areaTop;

    const PixelRect whole{0, 0, r.pictureWidth, r.pictureHeight};
    const int factor = std::max(
        1, (std::max(r.pictureWidth, r.pictureHeight) + kOverviewPixels - 1) / kOverviewPixels);
    std::vector<StripWriter::Strip> strips;
    StripWriter writer(pdf, fill, stop, progress);
    if (!writer.write(whole, factor, strips)) {
        stopped = true;
        return 0;
    }
    const double pictureX = gridX + (plan.gridWidthMm - plan.widthMm) / 2 * s;
    const double pictureTop = gridTop + (plan.gridHeightMm - plan.heightMm) / 2 * s;
    content += paintStrips(strips, whole, pageH, pictureX, pictureTop, s / plan.pixelsPerMm);

    const double pw = plan.pageWidthMm - 2 * r.marginMm;
    const double ph = plan.pageHeightMm - 2 * r.marginMm;
    const double cellH = ph * s;
    const double labelSize = std::clamp(cellH * 0.12, 4.0, 10.0);
    content += "1 0 0 RG 1 0 0 rg 0.6 w\n";
    for (const PosterSheet& sheet : plan.sheets) {
        const double x = gridX + sheet.column * (pw - r.overlapMm) * s;
        const double top = gridTop + sheet.row * (ph - r.overlapMm) * s;
        content += PdfNumber(x) + " " + PdfNumber(pageH - top - cellH) + " " + PdfNumber(pw * s) +
                   " " + PdfNumber(cellH) + " re S\n";
        content += text(x + labelSize * 0.4, pageH - top - labelSize * 1.2, labelSize,
                        shortLabel(sheet.label));
    }
    return writePage(pdf, plan, std::move(content), strips);
}

// Short strokes across the printable area's edges where a neighbouring sheet's part
// begins, drawn white under black so that they show on dark and light pictures alike.
std::string cutMarks(const PosterPlan& plan, const PosterRequest& r, const PosterSheet& sheet)
{
    const double m = r.marginMm;
    const double o = r.overlapMm;
    const double pageW = plan.pageWidthMm, pageH = plan.pageHeightMm;
    std::vector<double> across; // x of vertical cut lines, mm from the left
    std::vector<double> down;   // y of horizontal cut lines, mm from the top
    if (sheet.column > 0)
        across.push_back(m + o);
    if (sheet.column + 1 < plan.columns)
        across.push_back(pageW - m - o);
    if (sheet.row > 0)
        down.push_back(m + o);
    if (sheet.row + 1 < plan.rows)
        down.push_back(pageH - m - o);
    const double reach = 3; // mm on either side of the printable area's edge
    std::string strokes;
    const auto pt = [](double mm) { return mm * kPointsPerMm; };
    const double H = pt(pageH);
    for (double x : across) {
        strokes += line(pt(x), H - pt(m - reach), pt(x), H - pt(m + reach));
        strokes += line(pt(x), H - pt(pageH - m - reach), pt(x), H - pt(pageH - m + reach));
    }
    for (double y : down) {
        strokes += line(pt(m - reach), H - pt(y), pt(m + reach), H - pt(y));
        strokes += line(pt(pageW - m - reach), H - pt(y), pt(pageW - m + reach), H - pt(y));
    }
    if (strokes.empty())
        return {};
    return "q 1 G 1.2 w\n" + strokes + "0 G 0.4 w\n" + strokes + "Q\n";
}

// The sheet's label in the margin below the picture, or above it when there is no room
// below; left out when neither has room, for it must never cover the picture.
std::string sheetLabel(const PosterPlan& plan, const PosterRequest& r, const PosterSheet& sheet,
                       const MmRect& placed)
{
    const double size = 8;
    const double pageW = plan.pageWidthMm * kPointsPerMm;
    const double pageH = plan.pageHeightMm * kPointsPerMm;
    const double width = textWidth(sheet.label, size);
    if (width > pageW)
        return {};
    const bool blank = placed.width <= 0 || placed.height <= 0;
    // Free paper below and above the picture, in points.
    const double below =
        blank ? pageH : std::max(0.0, pageH - (placed.y + placed.height) * kPointsPerMm);
    const double above = blank ? pageH : std::max(0.0, placed.y * kPointsPerMm);
    // The label's box (descender to capital height, about 0.93 em) centred in the outer part
    // of the free band, as high as the margin or the label needs.
    const double needed = 1.25 * size;
    const double margin = r.marginMm * kPointsPerMm;
    const auto baselineIn = [&](double bandBottom, double bandHeight) {
        return bandBottom + (bandHeight - 0.93 * size) / 2 + 0.21 * size;
    };
    double baseline = 0;
    if (below >= needed) {
        baseline = baselineIn(0, std::min(below, std::max(margin, needed)));
    } else if (above >= needed) {
        const double band = std::min(above, std::max(margin, needed));
        baseline = baselineIn(pageH - band, band);
    } else {
        return {};
    }
    return "0 g\n" + text((pageW - width) / 2, baseline, size, sheet.label);
}

int sheetPage(PdfDocument& pdf, const PosterPlan& plan, const PosterRequest& r,
              const PosterSheet& sheet, int factor, const FillRegion& fill, std::stop_token stop,
              RunProgress* progress, bool& stopped)
{
    const double pageH = plan.pageHeightMm * kPointsPerMm;
    // Reduced on the blocks of one grid over the whole picture, so that the sheet holds the
    // reduced picture's own pixels; the part grows outwards by less than a reduced pixel.
    const PixelRect part = BlockAligned(sheet.source, factor, r.pictureWidth, r.pictureHeight);
    MmRect placed = sheet.placed;
    placed.x -= (sheet.source.x - part.x) / plan.pixelsPerMm;
    placed.y -= (sheet.source.y - part.y) / plan.pixelsPerMm;
    placed.width = part.width / plan.pixelsPerMm;
    placed.height = part.height / plan.pixelsPerMm;
    std::vector<StripWriter::Strip> strips;
    StripWriter writer(pdf, fill, stop, progress);
    if (!writer.write(part, factor, strips)) {
        stopped = true;
        return 0;
    }
    std::string content = paintStrips(strips, part, pageH, placed.x * kPointsPerMm,
                                      placed.y * kPointsPerMm, kPointsPerMm / plan.pixelsPerMm);
    content += cutMarks(plan, r, sheet);
    content += sheetLabel(plan, r, sheet, placed);
    return writePage(pdf, plan, std::move(content), strips);
}

} // namespace

int SheetReduction(const PosterPlan& plan, double dpi)
{
    if (!(dpi > 0))
        return 1;
    const double native = plan.pixelsPerMm * kMmPerInch;
    // Past the picture's longer side every factor leaves one pixel.
    const double longest = std::ceil(std::max(plan.widthMm, plan.heightMm) * plan.pixelsPerMm);
    return std::max(1, static_cast<int>(std::min(std::floor(native / dpi + 1e-9), longest)));
}

PixelRect BlockAligned(const PixelRect& part, int factor, int pictureWidth, int pictureHeight)
{
    if (part.empty() || factor <= 1)
        return part;
    const auto down = [&](int64_t v) { return v / factor * factor; };
    const auto up = [&](int64_t v, int limit) {
        return std::min<int64_t>((v + factor - 1) / factor * factor, limit);
    };
    const int64_t x = down(part.x), y = down(part.y);
    const int64_t right = up(int64_t{part.x} + part.width, pictureWidth);
    const int64_t bottom = up(int64_t{part.y} + part.height, pictureHeight);
    return {static_cast<int>(x), static_cast<int>(y), static_cast<int>(right - x),
            static_cast<int>(bottom - y)};
}

bool WritePosterPdf(const std::string& path, const PosterPlan& plan, const PosterRequest& request,
                    const FillRegion& fill, std::stop_token stop, RunProgress* progress,
                    AtomicFileOptions fileOptions)
{
    const int factor = SheetReduction(plan, request.dpi);
    if (progress) {
        int64_t total = int64_t{request.pictureWidth} * request.pictureHeight;
        for (const PosterSheet& sheet : plan.sheets) {
            const PixelRect part =
                BlockAligned(sheet.source, factor, request.pictureWidth, request.pictureHeight);
            total += int64_t{part.width} * part.height;
        }
        progress->begin(total);
    }
    PdfDocument pdf(path, fileOptions);
    std::vector<int> pages;
    bool stopped = false;
    const int pageCount = plan.pageCount();
    if (progress)
        progress->setPart(1, pageCount);
    pages.push_back(overviewPage(pdf, plan, request, fill, stop, progress, stopped));
    for (const PosterSheet& sheet : plan.sheets) {
        if (stopped)
            break;
        if (progress)
            progress->setPart(static_cast<int>(pages.size()) + 1, pageCount);
        pages.push_back(
            sheetPage(pdf, plan, request, sheet, factor, fill, stop, progress, stopped));
    }
    if (stopped) {
        pdf.discard();
        return false;
    }
    pdf.finish(pages);
    return true;
}

} // namespace lumexa
