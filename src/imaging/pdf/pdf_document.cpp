// Writing PDF objects in order and the table that finds them.
#include "imaging/pdf/pdf_document.h"

#include "core/base/error.h"
#include "imaging/deflate/deflate_segment.h"

#include <cmath>
#include <cstdio>

namespace lumexa
{

PdfDocument::PdfDocument(std::string path, AtomicFileOptions fileOptions)
    : file_(std::move(path), fileOptions)
{
    // The comment's high bytes tell transfer programs that the file is binary.
    put("%PDF-1.6\n%\xE2\xE3\xCF\xD3\n");
    pageTree_ = reserve();
}

int PdfDocument::reserve()
{
    offsets_.push_back(0);
    return static_cast<int>(offsets_.size());
}

void PdfDocument::put(std::string_view text)
{
    file_.write(text.data(), text.size());
    written_ += text.size();
}

void PdfDocument::writeObject(int number, std::string_view body)
{
    offsets_[static_cast<size_t>(number - 1)] = written_;
    put(std::to_string(number) + " 0 obj\n");
    put(body);
    put("\nendobj\n");
}

void PdfDocument::writeStream(int number, std::string_view dictionary,
                              const std::vector<uint8_t>& data)
{
    offsets_[static_cast<size_t>(number - 1)] = written_;
    std::string head = std::to_string(number) + " 0 obj\n<<";
    head += dictionary;
    head += " /Length " + std::to_string(data.size()) + " >>\nstream\n";
    put(head);
    file_.write(data.data(), data.size());
    written_ += data.size();
    put("\nendstream\nendobj\n");
}

void PdfDocument::finish(const std::vector<int>& pages)
{
    std::string kids;
    for (int page : pages)
        kids += std::to_string(page) + " 0 R ";
    writeObject(pageTree_, "<< /Type /Pages /Kids [ " + kids + "] /Count " +
                               std::to_string(pages.size()) + " >>");
    const int catalog = reserve();
    writeObject(catalog, "<< /Type /Catalog /Pages " + std::to_string(pageTree_) + " 0 R >>");

    const uint64_t table = written_;
    std::string xref = "xref\n0 " + std::to_string(offsets_.size() + 1) + "\n";
    xref += "0000000000 65535 f \n";
    char entry[24];
    for (uint64_t offset : offsets_) {
        std::snprintf(entry, sizeof entry, "%010llu 00000 n \n",
                      static_cast<unsigned long long>(offset));
        xref += entry;
    }
    xref += "trailer\n<< /Size " + std::to_string(offsets_.size() + 1) + " /Root " +
            std::to_string(catalog) + " 0 R >>\nstartxref\n" + std::to_string(table) + "\n%%EOF\n";
    put(xref);
    file_.commit();
}

std::vector<uint8_t> Deflate(const uint8_t* data, size_t size)
{
    std::vector<uint8_t> out;
    SegmentDeflater(Compression::Fast).appendZlibStream(data, size, out);
    return out;
}

std::string PdfNumber(double value)
{
    char text[48];
    std::snprintf(text, sizeof text, "%.4f", value);
    std::string s = text;
    while (s.back() == '0')
        s.pop_back();
    if (s.back() == '.')
        s.pop_back();
    if (s == "-0")
        s = "0";
    return s;
}

std::string PdfString(std::string_view text)
{
    std::string out = "(";
    for (char c : text) {
        if (c == '(' || c == ')' || c == '\\')
            out += '\\';
        out += c;
    }
    return out + ")";
}

} // namespace lumexa
