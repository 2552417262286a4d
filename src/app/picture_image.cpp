// The engine keeps its rows blue, green, red, which is Qt's BGR888 layout.
#include "app/picture_image.h"

namespace lumexa
{

QImage ToQImage(const Picture& picture)
{
    if (picture.empty())
        return {};
    const QImage view(picture.row(0), picture.width(), picture.height(),
                      static_cast<qsizetype>(picture.stride()), QImage::Format_BGR888);
    return view.convertToFormat(QImage::Format_RGB888);
}

} // namespace lumexa
