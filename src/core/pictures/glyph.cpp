// The limit on the size of a layout's dot grid.
#include "core/pictures/glyph.h"

#include "core/base/error.h"

namespace lumexa
{

void CheckGridSize(int64_t columns, int64_t rows)
{
    if (columns > 0 && rows > 0 && columns > kMaxGridCells / rows)
        throw Error("The dot grid of " + std::to_string(columns) + " x " + std::to_string(rows) +
                    " cells is too large: a text or logo may make at most " +
                    std::to_string(kMaxGridCells) + " cells. Shorten the text or make it smaller.");
}

} // namespace lumexa
