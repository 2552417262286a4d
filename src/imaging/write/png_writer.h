// PNG result files, written row by row through libpng as the renderer produces them:
// RGBA with the coverage byte as alpha, 300 pixels per inch, compressed for speed.
#pragma once

#include "core/base/atomic_file.h"
#include "core/render/row_writer.h"

#include <memory>
#include <string>

namespace lumexa
{

class PngWriter : public RowWriter
{
  public:
    explicit PngWriter(std::string path);
    ~PngWriter() override;

    RowOrder rowOrder() const override { return RowOrder::TopDown; }
    void open(int width, int height) override;
    void writeRow(const uint8_t* rgbaRow) override;
    void commit() override;
    void discard() override;
    const std::string& path() const override { return path_; }

    struct Codec; // libpng's state, kept out of this header

  private:
    [[noreturn]] void fail();

    std::string path_;
    std::unique_ptr<AtomicFile> file_;
    std::unique_ptr<Codec> codec_;
};

} // namespace lumexa
