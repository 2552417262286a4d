// The viewer page NAME.html of a deep zoom export. It is made from the page template the
// program ships (web/deep_zoom.html) and works opened from the disk as it is, with no
// server and no network: the tile source is written into the page, so the viewer needs no
// request for the descriptor, and fetches the tiles as plain pictures from NAME_files/.
#pragma once

#include "core/project/tile_format.h"
#include "core/view/pyramid.h"

#include <string>

namespace lumexa
{

// The files of an export named by its descriptor's path, NAME.dzi: NAME_files/ for the
// tiles (and the viewer's script in NAME_files/viewer/) and NAME.html.
struct DeepZoomPaths {
    std::string descriptor;
    std::string tiles;
    std::string page;
    // NAME without the folder, as the page names the tiles' folder.
    std::string name;
};
DeepZoomPaths DeepZoomPathsFor(const std::string& descriptor);

// The folder inside NAME_files/ that holds the viewer's script, pictures and licence.
inline constexpr const char* kViewerFolder = "viewer";

struct PageFacts {
    std::string title;
    std::string name; // NAME: the tiles are in NAME_files/
    TileFormat format = TileFormat::Png;
    int dpi = 300;
};

// The page: the template with its @TITLE@, @CAPTION@ (the size in pixels and in print),
// @VIEWER@ (the viewer folder's address, ending in /) and @SOURCE@ (the tile source)
// filled in.
std::string ViewerPage(const std::string& pageTemplate, const Pyramid& pyramid,
                       const PageFacts& facts);

// `text` percent-encoded as one segment of a URL: everything but letters, digits and
// "-._~".
std::string UrlSegment(const std::string& text);
// `text` with &, <, >, " and ' written as HTML entities.
std::string HtmlText(const std::string& text);

} // namespace lumexa
