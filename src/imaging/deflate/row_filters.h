// The per-row filters that make rows of pixels compress well: PNG's filter byte and
// filtered row, and TIFF's horizontal predictor. Both work on 4 bytes per pixel.
#pragma once

#include <cstddef>
#include <cstdint>

namespace lumexa
{

// PNG filter types used here.
enum PngFilter : uint8_t { kPngNone = 0, kPngSub = 1, kPngUp = 2 };

// Writes the filter byte and the `size` filtered bytes of `row` to `out` (size + 1 bytes),
// choosing None, Sub or Up by the smallest sum of the filtered bytes taken as signed
// values. `prior` is the row above (zeros above the first row).
void FilterPngRow(const uint8_t* prior, const uint8_t* row, size_t size, uint8_t* out);

// TIFF's horizontal predictor: each byte minus the same sample of the pixel before.
void PredictTiffRow(const uint8_t* row, size_t size, uint8_t* out);
// The same predictor on one sample (0 to 3) of each pixel, as a TIFF stores a colour
// plane: writes the plane's size / 4 predicted bytes.
void PredictTiffPlane(const uint8_t* row, size_t size, int sample, uint8_t* out);

} // namespace lumexa
