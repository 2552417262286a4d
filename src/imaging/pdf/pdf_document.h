// A PDF file written front to back without holding its pages: objects are numbered as
// they are reserved and written when ready, images go out as Flate streams one piece at
// a time, and the cross-reference table follows at the end. The file is written through
// AtomicFile, so a document that is not finished leaves nothing behind.
//
// Qt's PDF writer takes each picture as a whole QImage and keeps the page's resources until
// the page ends, which for a sheet or a print-shop page of a gigapixel result is far more
// memory than the picture's strips; this writer needs only the strip being encoded.
#pragma once

#include "core/base/atomic_file.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace lumexa
{

class PdfDocument
{
  public:
    // Starts the file (the header); throws an Error naming `path` when it cannot.
    explicit PdfDocument(std::string path, AtomicFileOptions fileOptions = {});

    // A number for an object written later.
    int reserve();
    // Writes object `number` with `body` (a dictionary, array or value).
    void writeObject(int number, std::string_view body);
    // Writes object `number` as a stream: `dictionary` (without /Length, given here) and
    // the bytes as they are, already encoded as the dictionary says.
    void writeStream(int number, std::string_view dictionary, const std::vector<uint8_t>& data);

    // Writes the page tree and catalog for `pages` (page objects, in reading order), the
    // cross-reference table and the trailer, and commits the file.
    void finish(const std::vector<int>& pages);
    // Drops the unfinished file.
    void discard() { file_.discard(); }
    const std::string& path() const { return file_.path(); }

    // The object a page names as its parent; pages are written before finish().
    int pageTree() const { return pageTree_; }

  private:
    void put(std::string_view text);

    AtomicFile file_;
    uint64_t written_ = 0;
    std::vector<uint64_t> offsets_; // by object number - 1; written objects only
    int pageTree_ = 0;
};

// Deflates `size` bytes at `data` into a zlib stream (what /FlateDecode reads), favouring
// speed: results are large and compress well even at the fastest level.
std::vector<uint8_t> Deflate(const uint8_t* data, size_t size);

// A number as PDF content takes it: up to 4 decimals, no exponent.
std::string PdfNumber(double value);
// Text in parentheses with ( ) \ escaped; only Latin-1 survives the standard fonts.
std::string PdfString(std::string_view text);

} // namespace lumexa
