// Conversion of the engine's pictures to Qt images for drawing.
#pragma once

#include "core/pictures/picture.h"

#include <QImage>

namespace lumexa
{

// A deep copy of `picture` as a 24-bit image; a null image for an empty picture.
QImage ToQImage(const Picture& picture);

} // namespace lumexa
