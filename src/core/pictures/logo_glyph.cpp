// Scaling the logo picture into a glyph.
#include "core/pictures/logo_glyph.h"

#include <cstdlib>
#include <vector>

namespace lumexa
{

Glyph MakeLogoGlyph(const Picture& logo, int logoSize, bool negative)
{
    const double s = logoSize * 0.1;
    const int width = static_cast<int>(logo.width() * s);
    const int height = static_cast<int>(logo.height() * s);
    Glyph glyph;
    glyph.image = Picture(width, height, {255, 255, 255});
    if (glyph.image.empty())
        return glyph;
    const int k = negative ? 0 : 255;

    // Where each logo row and column lands; computed once, since the scaling is the same
    // for every column.
    std::vector<int> targetRow(static_cast<size_t>(logo.height()));
    for (int y = 0; y < logo.height(); ++y)
        targetRow[static_cast<size_t>(y)] = static_cast<int>(s * y);

    for (int x = 0; x < logo.width(); ++x) {
        const int gx = static_cast<int>(s * x);
        if (gx >= width)
            continue;
        for (int y = 0; y < logo.height(); ++y) {
            const int gy = targetRow[static_cast<size_t>(y)];
            if (gy >= height)
                continue;
            const uint8_t* src = logo.row(y) + static_cast<size_t>(x) * 3;
            uint8_t* dst = glyph.image.row(gy) + static_cast<size_t>(gx) * 3;
            for (int ch = 0; ch < 3; ++ch)
                dst[ch] = static_cast<uint8_t>(std::abs(k - src[ch]));
        }
    }
    return glyph;
}

} // namespace lumexa
