// The writers of result files, by format.
#include "imaging/row_writers.h"

#include "core/base/error.h"
#include "imaging/pdf/print_shop_writer.h"
#include "imaging/png/png_writer.h"
#include "imaging/targa/targa_writer.h"
#include "imaging/tiff/tiff_writer.h"

#include <algorithm>
#include <cctype>

namespace lumexa
{

namespace
{

std::string lowered(std::string_view s)
{
    std::string out(s);
    std::transform(out.begin(), out.end(), out.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return out;
}

} // namespace

std::optional<OutputFormat> OutputFormatNamedBy(std::string_view path)
{
    const size_t slash = path.find_last_of('/');
    const size_t dot = path.find_last_of('.');
    if (dot == std::string_view::npos || (slash != std::string_view::npos && dot < slash))
        return std::nullopt;
    return ParseOutputFormat(path.substr(dot + 1));
}

OutputFormat OutputFormatForPath(std::string_view path)
{
    return OutputFormatNamedBy(path).value_or(OutputFormat::Targa);
}

const char* OutputFormatName(OutputFormat format)
{
    switch (format) {
    case OutputFormat::Png:
        return "PNG";
    case OutputFormat::Tiff:
        return "TIFF";
    case OutputFormat::Pdf:
        return "PDF";
    case OutputFormat::Dzi:
        return "deep zoom";
    case OutputFormat::Targa:
        break;
    }
    return "Targa";
}

std::optional<OutputFormat> ParseOutputFormat(std::string_view name)
{
    const std::string n = lowered(name);
    if (n == "tga")
        return OutputFormat::Targa;
    if (n == "png")
        return OutputFormat::Png;
    if (n == "tiff" || n == "tif")
        return OutputFormat::Tiff;
    if (n == "pdf")
        return OutputFormat::Pdf;
    if (n == "dzi")
        return OutputFormat::Dzi;
    return std::nullopt;
}

std::unique_ptr<RowWriter> MakeRowWriter(const std::string& path, OutputFormat format,
                                         const WriterOptions& options)
{
    switch (format) {
    case OutputFormat::Png:
        return std::make_unique<PngWriter>(path, options.compression, options.threads, options.dpi,
                                           options.file);
    case OutputFormat::Tiff:
        return std::make_unique<TiffWriter>(path, options.compression, options.threads, options.dpi,
                                            options.file);
    case OutputFormat::Pdf:
        return std::make_unique<PrintShopWriter>(path, options.dpi, kStripPixels, options.file);
    case OutputFormat::Dzi:
        throw Error("A deep zoom export is written tile by tile, not row by row");
    case OutputFormat::Targa:
        break;
    }
    return std::make_unique<TargaWriter>(path, options.file);
}

} // namespace lumexa
