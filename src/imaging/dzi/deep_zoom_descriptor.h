// The descriptor NAME.dzi of a deep zoom export: the XML file that tells a viewer the
// picture's size, the tiles' size, overlap and format.
#pragma once

#include "core/project/tile_format.h"
#include "core/view/pyramid.h"

#include <string>

namespace lumexa
{

std::string DeepZoomDescriptor(const Pyramid& pyramid, TileFormat format);

} // namespace lumexa
