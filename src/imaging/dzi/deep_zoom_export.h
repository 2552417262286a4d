// A deep zoom export of a render scene: NAME.dzi (the descriptor), NAME_files/ (the tiles,
// and the viewer's script in NAME_files/viewer/) and NAME.html (the viewer page), written
// straight from the scene without the full-size picture ever existing. Everything is
// written into a hidden folder beside NAME.dzi and put in place together at the end, so
// that a cancelled or failed export leaves any earlier one as it was.
#pragma once

#include "core/progress/render_log.h"
#include "core/project/compression.h"
#include "core/project/tile_format.h"
#include "core/render/render_scene.h"
#include "core/run/run_progress.h"
#include "core/view/pyramid.h"

#include <stop_token>
#include <string>

namespace lumexa
{

struct DeepZoomOptions {
    std::string path; // NAME.dzi
    TileFormat format = TileFormat::Png;
    int quality = kDefaultJpegQuality;
    Compression compression = Compression::Fast;
    int threads = 0; // 0: one per core
    int dpi = 300;   // for the print size the page shows
    // The folder with the page's template (deep_zoom.html) and the viewer's files
    // (openseadragon/): the program's web folder.
    std::string webFolder;
    std::string title; // the page's title; empty: NAME
    RenderLog* log = nullptr;
};

// The log lines that open a tiled run: started, the result's size, its tiles and levels.
void LogPyramidStart(RenderLog& log, const Pyramid& pyramid, int width, int height);

// The files the page needs from the web folder, for a check before any work is done:
// throws an Error naming the first one missing.
void CheckViewerFiles(const std::string& webFolder);

// Writes the export on the calling thread, composing on options.threads threads. True with
// every file in place; false once `stop` is requested, with nothing changed; throws an
// Error naming NAME.dzi (or the missing viewer file) on failure, with nothing changed.
// `progress` counts the tiles' pixels.
bool WriteDeepZoom(const RenderScene& scene, const DeepZoomOptions& options,
                   std::stop_token stop = {}, RunProgress* progress = nullptr);

} // namespace lumexa
