// TIFF result files, written strip by strip through libtiff as the renderer produces the
// rows: RGBA with the coverage byte as unassociated alpha, 300 pixels per inch, deflate
// compressed after the horizontal predictor, and BigTIFF when the file could pass 4 GB.
#pragma once

#include "core/base/atomic_file.h"
#include "core/render/row_writer.h"

#include <memory>
#include <string>
#include <vector>

typedef struct tiff TIFF;

namespace lumexa
{

class TiffWriter : public RowWriter
{
  public:
    explicit TiffWriter(std::string path);
    ~TiffWriter() override;

    RowOrder rowOrder() const override { return RowOrder::TopDown; }
    void open(int width, int height) override;
    void writeRow(const uint8_t* rgbaRow) override;
    void commit() override;
    void discard() override;
    const std::string& path() const override { return path_; }

    // Whether a result of width x height is written as BigTIFF.
    static bool needsBigTiff(int width, int height);

  private:
    [[noreturn]] void fail(const std::string& what);

    std::string path_;
    std::unique_ptr<AtomicFile> file_;
    TIFF* tiff_ = nullptr;
    uint32_t row_ = 0;
    std::vector<uint8_t> scratch_; // the row handed to libtiff
};

} // namespace lumexa
