// The product's logo picture for the splash and about windows: the name spelt in lit
// LED dots on a dark ground, drawn in code.
#pragma once

#include <QImage>
#include <QSize>

namespace lumexa
{

QImage DrawProductLogo(QSize size);

} // namespace lumexa
