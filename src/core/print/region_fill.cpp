// Rectangles of the result through the renderer's region and reduced views.
#include "core/print/region_fill.h"

#include "core/view/reduced_view.h"

namespace lumexa
{

FillRegion FillFromRenderer(const DotRenderer& renderer, int threads)
{
    return [&renderer, threads](const PixelRect& rect, int factor, uint8_t* rgba,
                                std::stop_token stop) {
        const size_t stride = static_cast<size_t>(ReducedLength(rect.width, factor)) * 4;
        return RenderReduced(renderer, rect, factor, rgba, stride, threads, stop);
    };
}

} // namespace lumexa
