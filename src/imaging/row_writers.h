// Choosing the writer of a render's result file: Targa, PNG, TIFF or a print-shop PDF, by
// the destination's extension or by name. A deep zoom export (Dzi) is a folder of tiles
// rather than rows, written by its own road (imaging/pyramid_to_file.h).
#pragma once

#include "core/base/atomic_file.h"
#include "core/project/compression.h"
#include "core/project/settings.h"
#include "core/render/row_writer.h"

#include <memory>
#include <optional>
#include <string>
#include <string_view>

namespace lumexa
{

enum class OutputFormat { Targa, Png, Tiff, Pdf, Dzi };

// ".tga" is Targa, ".png" PNG, ".tif" and ".tiff" TIFF, ".pdf" PDF, ".dzi" a deep zoom
// export (any case); nothing for any other extension or none.
std::optional<OutputFormat> OutputFormatNamedBy(std::string_view path);
// The format named by the extension; Targa for any other.
OutputFormat OutputFormatForPath(std::string_view path);
// "Targa", "PNG", "TIFF", "PDF" or "deep zoom", as messages name the format.
const char* OutputFormatName(OutputFormat format);
// "tga", "png", "tiff" (also "tif"), "pdf" or "dzi"; nothing for any other name.
std::optional<OutputFormat> ParseOutputFormat(std::string_view name);

// How PNG and TIFF results are compressed: how hard, and on how many threads (0: one per
// core); a Targa result is not compressed.
struct WriterOptions {
    Compression compression = Compression::Fast;
    int threads = 0;
    // The print resolution PNG and TIFF record and a PDF page is sized by.
    double dpi = kDefaultPrintDpi;
    // How the result file replaces an earlier one.
    AtomicFileOptions file{};
};

// Throws an Error for Dzi, which has no row writer.
std::unique_ptr<RowWriter> MakeRowWriter(const std::string& path, OutputFormat format,
                                         const WriterOptions& options = {});

} // namespace lumexa
