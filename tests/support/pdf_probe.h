// Looking into PDF files from tests through poppler's tools: the page count and sizes
// from pdfinfo, a page's pictures from pdfimages, put back together from their strips, and
// its words with their places from pdftotext.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace lumexa::testing
{

struct PdfPageSize {
    double width = 0; // points, as pdfinfo reports them
    double height = 0;
};

// The pages' sizes in order; fails the calling test (and returns none) when pdfinfo does.
std::vector<PdfPageSize> PdfPages(const std::string& pdf);

// The pictures painted on page `page` (from 1) stacked top to bottom as one picture:
// red, green, blue and coverage per pixel (coverage 255 where a strip has no soft mask).
// Empty when the page holds no picture or the strips differ in width.
struct PdfPicture {
    int width = 0;
    int height = 0;
    std::vector<uint8_t> rgba;
};
PdfPicture PdfPagePicture(const std::string& pdf, int page);

// The words pdftotext finds on page `page` (from 1) with their boxes in points from the
// page's top-left corner.
struct PdfWord {
    std::string text;
    double left = 0, top = 0, right = 0, bottom = 0;
};
std::vector<PdfWord> PdfPageWords(const std::string& pdf, int page);

} // namespace lumexa::testing
