// The tiled results of a render scene: a deep zoom export (NAME.dzi with its tiles and
// viewer page) and a pyramidal TIFF, both composed tile by tile on all cores from the scene
// (core/view/pyramid_builder.h) without the full-size picture ever existing.
#pragma once

#include "core/base/program_files.h"
#include "core/pictures/led_image_set.h"
#include "core/pictures/logo.h"
#include "core/project/compression.h"
#include "core/render/render_scene.h"
#include "core/run/run_progress.h"
#include "imaging/render_to_file.h"

#include <stop_token>

namespace lumexa
{

// Whether `options` ask for a tiled result: a deep zoom export, or a TIFF with `pyramid`.
bool IsTiledResult(const RenderToFileOptions& options);

// The checks of CheckRenderDestination for a tiled result's other files, before any work:
// a deep zoom export's page must not be the project, a picture the render reads or a file of
// the program's own, and the viewer's files must be there. Throws an Error naming the file.
void CheckTiledDestination(const RenderToFileOptions& options, const std::string& projectPath,
                           const LedImageSet& leds, const Logo& logo,
                           const ProgramFiles& program);

// Writes the tiled result `options` ask for; `compression` is the project's, for options
// that do not choose one. True with the result in place, false when stopped (any earlier
// result untouched); throws an Error naming the result (a region or a scale is refused: a
// tiled result shows the whole result at every scale).
bool WriteTiledResult(const RenderScene& scene, const RenderToFileOptions& options,
                      Compression compression, std::stop_token stop, RunProgress* progress);

} // namespace lumexa
