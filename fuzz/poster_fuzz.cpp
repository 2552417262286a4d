// Posters from the fuzzer's numbers: paper, orientation, margin, overlap, finished lengths,
// picture size and resolution. A request is either refused with an Error or planned into a
// bounded grid of sheets that covers every pixel of the picture, each sheet's part inside
// the picture and its placement inside the page's printable area. Small posters are then
// written as a poster PDF and the picture as a print-shop PDF.
#include "fuzz_check.h"
#include "core/base/error.h"
#include "core/print/poster_plan.h"
#include "imaging/pdf/poster_pdf.h"
#include "imaging/pdf/print_shop_writer.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <string>
#include <unistd.h>
#include <vector>

namespace
{

using namespace lumexa;

// Reads the fuzzer's bytes as numbers, zeros once they run out.
class Numbers
{
  public:
    Numbers(const uint8_t* data, size_t size) : data_(data), size_(size) {}

    template <typename T> T next()
    {
        T value{};
        const size_t n = std::min(sizeof value, size_ - std::min(at_, size_));
        std::memcpy(&value, data_ + at_, n);
        at_ += sizeof value;
        return value;
    }
    // A length in millimetres: mostly ordinary ones, sometimes any double at all.
    double length()
    {
        const uint8_t kind = next<uint8_t>();
        if (kind < 16)
            return next<double>();
        return next<uint16_t>() / 8.0;
    }

  private:
    const uint8_t* data_;
    size_t size_;
    size_t at_ = 0;
};

const std::string& scratchFile()
{
    static const std::string path = "/tmp/lumexa-poster-fuzz-" + std::to_string(::getpid());
    return path;
}

void CheckPlan(const PosterPlan& plan, const PosterRequest& r)
{
    Check(plan.columns >= 1 && plan.rows >= 1);
    Check(plan.sheets.size() == static_cast<size_t>(plan.columns) * plan.rows);
    Check(plan.pageCount() <= kMostPosterSheets + 1);
    // Every pixel is printed on some sheet: the sheets' columns and rows cover the picture.
    // Each sheet's span adds one from its start and takes one off past its end; a running
    // sum of zero is a pixel no sheet prints.
    const bool counted = r.pictureWidth <= (1 << 20) && r.pictureHeight <= (1 << 20);
    std::vector<int> spansX(counted ? static_cast<size_t>(r.pictureWidth) + 1 : 0),
        spansY(counted ? static_cast<size_t>(r.pictureHeight) + 1 : 0);
    const double slack = 1e-6 * std::max({1.0, plan.pageWidthMm, plan.pageHeightMm});
    for (const PosterSheet& s : plan.sheets) {
        if (s.source.empty())
            continue;
        Check(s.source.x >= 0 && s.source.right() <= r.pictureWidth);
        Check(s.source.y >= 0 && s.source.bottom() <= r.pictureHeight);
        // Drawn where the printer can print, within a pixel cut by the sheet's edge.
        const double pixel = 1 / plan.pixelsPerMm + slack;
        Check(s.placed.x >= r.marginMm - pixel);
        Check(s.placed.y >= r.marginMm - pixel);
        Check(s.placed.x + s.placed.width <= plan.pageWidthMm - r.marginMm + pixel);
        Check(s.placed.y + s.placed.height <= plan.pageHeightMm - r.marginMm + pixel);
        if (counted) {
            ++spansX[static_cast<size_t>(s.source.x)];
            --spansX[static_cast<size_t>(s.source.right())];
            ++spansY[static_cast<size_t>(s.source.y)];
            --spansY[static_cast<size_t>(s.source.bottom())];
        }
    }
    for (const std::vector<int>* spans : {&spansX, &spansY}) {
        int sum = 0;
        for (size_t i = 0; i + 1 < spans->size(); ++i)
            Check((sum += (*spans)[i]) > 0);
    }
}

// A picture of stripes, so that every region has pixels to write.
bool Fill(const PixelRect& rect, int factor, uint8_t* rgba, std::stop_token)
{
    const int w = (rect.width + factor - 1) / factor, h = (rect.height + factor - 1) / factor;
    for (int i = 0; i < w * h; ++i) {
        rgba[4 * i + 0] = static_cast<uint8_t>(i);
        rgba[4 * i + 1] = static_cast<uint8_t>(rect.x);
        rgba[4 * i + 2] = static_cast<uint8_t>(rect.y);
        rgba[4 * i + 3] = 255;
    }
    return true;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    Numbers n(data, size);
    PosterRequest r;
    static const PaperSize papers[] = {
        {"A4", 210, 297}, {"A3", 297, 420}, {"Letter", 215.9, 279.4}};
    const uint8_t paper = n.next<uint8_t>();
    if (paper < 3 * 64)
        r.paper = papers[paper % 3];
    else
        r.paper = {"custom", n.length(), n.length()};
    r.orientation = static_cast<Orientation>(n.next<uint8_t>() % 3);
    r.marginMm = n.length();
    r.overlapMm = n.length();
    r.pictureWidth = n.next<int32_t>();
    r.pictureHeight = n.next<int32_t>();
    const uint8_t lengths = n.next<uint8_t>();
    r.widthMm = lengths & 1 ? n.length() * 16 : 0;
    r.heightMm = lengths & 2 ? n.length() * 16 : 0;
    r.dpi = lengths & 4 ? n.next<double>() : n.next<uint16_t>();

    PosterPlan plan;
    try {
        plan = PlanPoster(r);
    } catch (const Error&) {
        return 0;
    }
    CheckPlan(plan, r);

    // Small pictures of few sheets are written too.
    if (plan.pageCount() > 9 || static_cast<int64_t>(r.pictureWidth) * r.pictureHeight > 50'000)
        return 0;
    const double dpi = std::clamp(static_cast<double>(n.next<uint16_t>() % 1200), 1.0, 1200.0);
    try {
        WritePosterPdf(scratchFile() + ".pdf", plan, r, Fill);
        PrintShopWriter shop(scratchFile() + "-shop.pdf", dpi, 4096 + n.next<uint16_t>());
        shop.open(r.pictureWidth, r.pictureHeight);
        std::vector<uint8_t> row(static_cast<size_t>(r.pictureWidth) * 4, 0x80);
        for (int y = 0; y < r.pictureHeight; ++y)
            shop.writeRow(row.data());
        shop.commit();
    } catch (const Error&) {
    }
    return 0;
}
