// A text whose dot grid would be too large is refused before anything is drawn.
#include "core/base/error.h"
#include "text/qt_glyph_rasterizer.h"

#include <gtest/gtest.h>

namespace lumexa
{
namespace
{

TEST(TextLimits, HugeTextIsRefusedNamingItsGrid)
{
    QtGlyphRasterizer rasterizer;
    const std::u32string text(2'000'000, U'W');
    try {
        rasterizer.drawText(text, "DejaVu Sans", 32, 0);
        FAIL() << "a grid of tens of millions of columns was drawn";
    } catch (const Error& e) {
        EXPECT_NE(std::string(e.what()).find(" x 32 cells is too large"), std::string::npos)
            << e.what();
    }
}

TEST(TextLimits, GridLimitIsExact)
{
    EXPECT_NO_THROW(CheckGridSize(kMaxGridCells / 32, 32));
    EXPECT_THROW(CheckGridSize(kMaxGridCells / 32 + 1, 32), Error);
    EXPECT_NO_THROW(CheckGridSize(0, 32));
}

} // namespace
} // namespace lumexa
