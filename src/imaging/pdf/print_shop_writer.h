// The print-shop PDF: the whole result as one page of its physical size at the print
// resolution, the picture in strips of rows so that memory stays at one strip however
// large the result. Pages past PDF's 200-inch limit are drawn in larger user units.
#pragma once

#include "core/print/paper.h"
#include "core/render/row_writer.h"
#include "imaging/pdf/pdf_document.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace lumexa
{

// About this many pixels go into each strip of a picture.
inline constexpr int kStripPixels = 4 << 20;

// Rows per strip for pictures `width` pixels wide, at least one.
int StripRows(int width, int stripPixels = kStripPixels);

// The size of a page edge in points, and the user unit that brings the larger edge within
// 200 inches (1 when it already is).
double PageUserUnit(double widthPoints, double heightPoints);

// Throws an Error naming `path` when a result of width x height pixels at `dpi` makes a page
// PDF cannot hold: one under 3 points on a side (the message names the resolution that
// would do), or a resolution that is not positive.
void CheckPrintShopPage(const std::string& path, int64_t width, int64_t height, double dpi);

class PrintShopWriter : public RowWriter
{
  public:
    PrintShopWriter(std::string path, double dpi, int stripPixels = kStripPixels,
                    AtomicFileOptions fileOptions = {});
    ~PrintShopWriter() override;

    RowOrder rowOrder() const override { return RowOrder::TopDown; }
    void open(int width, int height) override;
    void writeRow(const uint8_t* rgbaRow) override;
    void commit() override;
    void discard() override;
    const std::string& path() const override { return path_; }

  private:
    void flushStrip();

    std::string path_;
    double dpi_;
    AtomicFileOptions fileOptions_;
    int stripPixels_;
    int width_ = 0;
    int height_ = 0;
    int stripRows_ = 1;
    int rowsInStrip_ = 0;
    std::vector<uint8_t> strip_;
    std::vector<int> strips_; // image objects, top to bottom
    std::unique_ptr<PdfDocument> pdf_;
};

} // namespace lumexa
