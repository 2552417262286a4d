// Where result pixels land in the render window's preview area. The render reduces the
// whole result by a fractional scale; the sampled preview steps through the result by a
// whole number of pixels. Both centre the reduced picture in the area, and pixels that
// fall outside it are drawn into its edge row or column.
#pragma once

namespace lumexa
{

struct PreviewMapping {
    double s = 1;  // result pixels per preview pixel, at least 1
    double ox = 0; // offsets that centre the reduced result
    double oy = 0;
    int imageWidth = 1;
    int imageHeight = 1;

    // Preview column of result column x and preview row of result row y, clamped to the area.
    int column(double x) const;
    int row(double y) const;
};

// The render's mapping: s is the larger of W / width and H / height as a fraction.
PreviewMapping RenderPreviewMapping(int resultWidth, int resultHeight, int imageWidth,
                                    int imageHeight);
// The sampled preview's mapping: s is the larger of the two whole-number quotients, so
// that every sample lies on a whole result pixel.
PreviewMapping SampledPreviewMapping(int resultWidth, int resultHeight, int imageWidth,
                                     int imageHeight);

} // namespace lumexa
