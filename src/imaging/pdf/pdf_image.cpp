// Encoding picture strips as PDF images.
#include "imaging/pdf/pdf_image.h"

#include <vector>

namespace lumexa
{

int WriteImageStrip(PdfDocument& pdf, const uint8_t* rgba, int width, int rows)
{
    const size_t count = static_cast<size_t>(width) * static_cast<size_t>(rows);
    std::vector<uint8_t> rgb(count * 3);
    std::vector<uint8_t> coverage(count);
    bool opaque = true;
    for (size_t i = 0; i < count; ++i) {
        rgb[3 * i] = rgba[4 * i];
        rgb[3 * i + 1] = rgba[4 * i + 1];
        rgb[3 * i + 2] = rgba[4 * i + 2];
        coverage[i] = rgba[4 * i + 3];
        opaque = opaque && coverage[i] == 255;
    }
    const std::string size =
        " /Width " + std::to_string(width) + " /Height " + std::to_string(rows);
    int mask = 0;
    if (!opaque) {
        mask = pdf.reserve();
        pdf.writeStream(mask,
                        "/Type /XObject /Subtype /Image" + size +
                            " /ColorSpace /DeviceGray /BitsPerComponent 8 /Filter /FlateDecode",
                        Deflate(coverage.data(), coverage.size()));
    }
    coverage = {};
    const int image = pdf.reserve();
    pdf.writeStream(image,
                    "/Type /XObject /Subtype /Image" + size +
                        " /ColorSpace /DeviceRGB /BitsPerComponent 8 /Filter /FlateDecode" +
                        (mask ? " /SMask " + std::to_string(mask) + " 0 R" : std::string()),
                    Deflate(rgb.data(), rgb.size()));
    return image;
}

std::string PaintImage(const std::string& name, double x, double y, double w, double h)
{
    return "q " + PdfNumber(w) + " 0 0 " + PdfNumber(h) + " " + PdfNumber(x) + " " + PdfNumber(y) +
           " cm " + name + " Do Q\n";
}

} // namespace lumexa
