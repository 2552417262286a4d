// The Targa result file: an 18-byte header (uncompressed true colour, 32 bits, origin at
// the lower left) followed by the rows bottom-up, each pixel blue, green, red, coverage.
// The file is exactly 18 + 4 x W x H bytes and appears only when complete.
#pragma once

#include "core/base/atomic_file.h"
#include "core/render/row_writer.h"

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace lumexa
{

inline constexpr int kTargaHeaderSize = 18;
// The header holds width and height in 16 bits.
inline constexpr int kTargaMaxSide = 65535;

// The 18 header bytes for a result of width x height (both within kTargaMaxSide).
std::array<uint8_t, kTargaHeaderSize> TargaHeader(int width, int height);

// Throws an Error naming the file and the size when a result of width x height cannot be
// written as a Targa file: a side of 65536 pixels or more, or none at all.
void CheckTargaSize(const std::string& path, int64_t width, int64_t height);

class TargaWriter : public RowWriter
{
  public:
    // `fileOptions` go to the file's AtomicFile.
    explicit TargaWriter(std::string path, AtomicFileOptions fileOptions = {});

    RowOrder rowOrder() const override { return RowOrder::BottomUp; }
    void open(int width, int height) override;
    void writeRow(const uint8_t* rgbaRow) override;
    void commit() override;
    void discard() override;
    const std::string& path() const override { return path_; }
    bool sizeKnownAhead() const override { return true; }

  private:
    void startWriteback();

    // Bytes between writeback requests.
    static constexpr uint64_t kWritebackStep = uint64_t{16} << 20;

    std::string path_;
    AtomicFileOptions fileOptions_;
    std::unique_ptr<AtomicFile> file_;
    std::vector<uint8_t> fileRow_; // the row in the file's byte order
    int width_ = 0;
    uint64_t written_ = 0; // bytes in the file so far
    uint64_t flushed_ = 0; // bytes asked to go to disk
};

} // namespace lumexa
