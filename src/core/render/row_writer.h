// Where a render's rows go: a file format writer that takes the finished rows one by one,
// in the order it asks for, and either commits the whole file or leaves nothing behind.
#pragma once

#include <cstdint>
#include <string>

namespace lumexa
{

enum class RowOrder { BottomUp, TopDown };

class RowWriter
{
  public:
    virtual ~RowWriter() = default;

    // The order in which rows must be handed over.
    virtual RowOrder rowOrder() const = 0;
    // Checks the size and starts the file. Throws an Error naming the file or the size
    // before anything is written when the format cannot hold the result.
    virtual void open(int width, int height) = 0;
    // One row of `width` pixels, 4 bytes each: red, green, blue, coverage.
    virtual void writeRow(const uint8_t* rgbaRow) = 0;
    // Completes the file; only now does it replace any earlier file of that name.
    virtual void commit() = 0;
    // Drops the unfinished file; any earlier file of that name stays as it was.
    virtual void discard() = 0;
    // The destination, for messages.
    virtual const std::string& path() const = 0;
    // True when the file's size follows from the picture's size alone (an uncompressed
    // format with a header written first), so that it can be told before the rows come.
    virtual bool sizeKnownAhead() const { return false; }
};

} // namespace lumexa
