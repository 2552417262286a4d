// Writing the print-shop PDF strip by strip.
#include "imaging/pdf/print_shop_writer.h"

#include "core/base/error.h"
#include "imaging/pdf/pdf_image.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>

namespace lumexa
{

namespace
{

std::string points(double value)
{
    char text[32];
    std::snprintf(text, sizeof text, "%.1f", value);
    return text;
}

} // namespace

int StripRows(int width, int stripPixels)
{
    return std::max(1, stripPixels / std::max(1, width));
}

double PageUserUnit(double widthPoints, double heightPoints)
{
    const double larger = std::max(widthPoints, heightPoints);
    if (larger <= kLargestPagePoints)
        return 1;
    // A whole number keeps the page's figures simple for the print shop's software.
    return std::ceil(larger / kLargestPagePoints);
}

void CheckPrintShopPage(const std::string& path, int64_t width, int64_t height, double dpi)
{
    if (!(dpi > 0))
        throw CannotWrite(path, "the print resolution is not positive");
    const double w = static_cast<double>(width) * kPointsPerInch / dpi;
    const double h = static_cast<double>(height) * kPointsPerInch / dpi;
    if (std::min(w, h) < kSmallestPagePoints) {
        // The shorter side reaches 3 points at 24 pixels per inch for each of its pixels.
        const int64_t most =
            std::min(width, height) * static_cast<int64_t>(kPointsPerInch / kSmallestPagePoints);
        char dpiText[32];
        std::snprintf(dpiText, sizeof dpiText, "%g", dpi);
        throw CannotWrite(path, "at " + std::string(dpiText) + " pixels per inch the page of " +
                                    points(w) + " x " + points(h) +
                                    " points is smaller than a PDF page can be (" +
                                    points(kSmallestPagePoints) + " points a side); print at " +
                                    std::to_string(most) + " pixels per inch or less");
    }
}

PrintShopWriter::PrintShopWriter(std::string path, double dpi, int stripPixels,
                                 AtomicFileOptions fileOptions)
    : path_(std::move(path)), dpi_(dpi), fileOptions_(fileOptions), stripPixels_(stripPixels)
{
}

PrintShopWriter::~PrintShopWriter() = default;

void PrintShopWriter::open(int width, int height)
{
    if (width < 1 || height < 1)
        throw Error("Cannot write " + path_ + ": the result of " + std::to_string(width) + " x " +
                    std::to_string(height) + " pixels is empty");
    CheckPrintShopPage(path_, width, height, dpi_);
    discard();
    width_ = width;
    height_ = height;
    stripRows_ = std::min(height, StripRows(width, stripPixels_));
    strip_.assign(static_cast<size_t>(width) * 4 * static_cast<size_t>(stripRows_), 0);
    rowsInStrip_ = 0;
    strips_.clear();
    pdf_ = std::make_unique<PdfDocument>(path_, fileOptions_);
}

void PrintShopWriter::writeRow(const uint8_t* rgbaRow)
{
    const size_t rowBytes = static_cast<size_t>(width_) * 4;
    std::memcpy(strip_.data() + static_cast<size_t>(rowsInStrip_) * rowBytes, rgbaRow, rowBytes);
    if (++rowsInStrip_ == stripRows_)
        flushStrip();
}

void PrintShopWriter::flushStrip()
{
    if (rowsInStrip_ == 0)
        return;
    strips_.push_back(WriteImageStrip(*pdf_, strip_.data(), width_, rowsInStrip_));
    rowsInStrip_ = 0;
}

void PrintShopWriter::commit()
{
    flushStrip();
    const double pointsPerPixel = kPointsPerInch / dpi_;
    const double unit = PageUserUnit(width_ * pointsPerPixel, height_ * pointsPerPixel);
    const double scale = pointsPerPixel / unit; // page units per pixel
    const double pageW = width_ * scale;
    const double pageH = height_ * scale;

    std::string content;
    std::string names;
    int top = 0;
    for (size_t i = 0; i < strips_.size(); ++i) {
        const int rows = std::min(stripRows_, height_ - top);
        const std::string name = "/S" + std::to_string(i);
        content += PaintImage(name, 0, pageH - (top + rows) * scale, pageW, rows * scale);
        names += name + " " + std::to_string(strips_[i]) + " 0 R ";
        top += rows;
    }
    const int contents = pdf_->reserve();
    pdf_->writeStream(contents, "/Filter /FlateDecode",
                      Deflate(reinterpret_cast<const uint8_t*>(content.data()), content.size()));
    const int page = pdf_->reserve();
    std::string body = "<< /Type /Page /Parent " + std::to_string(pdf_->pageTree()) +
                       " 0 R /MediaBox [0 0 " + PdfNumber(pageW) + " " + PdfNumber(pageH) + "]";
    if (unit != 1)
        body += " /UserUnit " + PdfNumber(unit);
    body += " /Resources << /XObject << " + names + ">> >> /Contents " + std::to_string(contents) +
            " 0 R >>";
    pdf_->writeObject(page, body);
    pdf_->finish({page});
    pdf_.reset();
    strip_ = {};
}

void PrintShopWriter::discard()
{
    if (pdf_)
        pdf_->discard();
    pdf_.reset();
    strip_ = {};
}

} // namespace lumexa
