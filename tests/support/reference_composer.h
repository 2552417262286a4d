// The plain, per-pixel way of composing a result row: the scene's dots and background cells
// are written out as the layouts' full records, and every pixel tests every candidate record
// of its row. Slow on purpose and easy to check by reading; the fast renderer must give the
// same bytes.
#pragma once

#include "core/render/render_scene.h"

#include <cstdint>

namespace lumexa::reference
{

// The scene's records in full: the background cells of the grid (rows outer) and the dots,
// each with the cell's size and its bounding square from the position it holds.
struct SceneRecords {
    DotList background;
    DotList dots;
};
SceneRecords RecordsOf(const RenderScene& scene);

// Fills W x 4 bytes (red, green, blue, coverage) for result row py.
void RenderRow(const RenderScene& scene, int py, uint8_t* rgbaRow);
void RenderRow(const RenderScene& scene, const SceneRecords& records, int py, uint8_t* rgbaRow);

} // namespace lumexa::reference
