// The preview area's mappings of result positions.
#include "app/render_window/render_preview_mapping.h"

#include <algorithm>

namespace lumexa
{

namespace
{

PreviewMapping Centred(double s, int resultWidth, int resultHeight, int imageWidth, int imageHeight)
{
    PreviewMapping m;
    m.s = s < 1 ? 1 : s;
    m.imageWidth = std::max(imageWidth, 1);
    m.imageHeight = std::max(imageHeight, 1);
    m.ox = (m.imageWidth / 2) - (resultWidth / m.s) * 0.5;
    m.oy = (m.imageHeight / 2) - (resultHeight / m.s) * 0.5;
    return m;
}

} // namespace

int PreviewMapping::column(double x) const
{
    return std::clamp(static_cast<int>(ox + x / s), 0, imageWidth - 1);
}

int PreviewMapping::row(double y) const
{
    return std::clamp(static_cast<int>(oy + y / s), 0, imageHeight - 1);
}

PreviewMapping RenderPreviewMapping(int resultWidth, int resultHeight, int imageWidth,
                                    int imageHeight)
{
    const double s = std::max(static_cast<double>(resultWidth) / std::max(imageWidth, 1),
                              static_cast<double>(resultHeight) / std::max(imageHeight, 1));
    return Centred(s, resultWidth, resultHeight, imageWidth, imageHeight);
}

PreviewMapping SampledPreviewMapping(int resultWidth, int resultHeight, int imageWidth,
                                     int imageHeight)
{
    const int s =
        std::max(resultWidth / std::max(imageWidth, 1), resultHeight / std::max(imageHeight, 1));
    return Centred(static_cast<double>(s), resultWidth, resultHeight, imageWidth, imageHeight);
}

} // namespace lumexa
