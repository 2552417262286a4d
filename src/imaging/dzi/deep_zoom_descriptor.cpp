// The deep zoom descriptor.
#include "imaging/dzi/deep_zoom_descriptor.h"

#include "imaging/dzi/deep_zoom_tiles.h"

namespace lumexa
{

std::string DeepZoomDescriptor(const Pyramid& pyramid, TileFormat format)
{
    return std::string("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                       "<Image xmlns=\"http://schemas.microsoft.com/deepzoom/2008\"\n"
                       "  Format=\"") +
           TileExtension(format) + "\"\n  Overlap=\"" + std::to_string(pyramid.overlap()) +
           "\"\n  TileSize=\"" + std::to_string(pyramid.tileSize()) +
           "\">\n  <Size Width=\"" + std::to_string(pyramid.width()) + "\" Height=\"" +
           std::to_string(pyramid.height()) + "\"/>\n</Image>\n";
}

} // namespace lumexa
