// Parts of the result at a chosen reduction, for pages that print them.
#pragma once

#include "core/base/pixel_rect.h"

#include <cstdint>
#include <functional>
#include <stop_token>

namespace lumexa
{

class DotRenderer;

// Fills `rect` of the result reduced by `factor` (1: the full-size pixels) by area
// averaging: ReducedLength(rect.width) x ReducedLength(rect.height) pixels of red, green,
// blue and coverage, rows packed one after another. Returns false once `stop` is requested.
using FillRegion =
    std::function<bool(const PixelRect& rect, int factor, uint8_t* rgba, std::stop_token stop)>;

// A FillRegion over the renderer's regions, composed on `threads` threads.
FillRegion FillFromRenderer(const DotRenderer& renderer, int threads);

} // namespace lumexa
