// The 24-bit picture: rows of blue, green, red, white outside and writes outside ignored.
#include "core/pictures/picture.h"

#include <gtest/gtest.h>

namespace lumexa
{
namespace
{

TEST(Picture, RowsHoldBlueGreenRed)
{
    Picture p(3, 2, {1, 2, 3});
    p.setPixel(2, 1, {10, 20, 30});
    EXPECT_EQ(p.stride(), 9u);
    const uint8_t* row = p.row(1);
    EXPECT_EQ(row[6], 30);
    EXPECT_EQ(row[7], 20);
    EXPECT_EQ(row[8], 10);
    EXPECT_EQ(p.pixel(0, 0), (Rgb{1, 2, 3}));
}

TEST(Picture, OutsideReadsWhiteAndWritesNothing)
{
    Picture p(2, 2, {0, 0, 0});
    const Picture before = p;
    for (auto [x, y] : {std::pair{-1, 0}, {2, 0}, {0, -1}, {0, 2}, {-5, 9}}) {
        EXPECT_EQ(p.pixel(x, y), (Rgb{255, 255, 255}));
        p.setPixel(x, y, {9, 9, 9});
    }
    EXPECT_EQ(p, before);
    Picture none(-3, 4);
    EXPECT_TRUE(none.empty());
    EXPECT_EQ(none.pixel(0, 0), (Rgb{255, 255, 255}));
}

} // namespace
} // namespace lumexa
