// The render window's frame.
#include "render_window.h"

namespace lumexa
{

TForm3::TForm3(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("Form3"));
    setModal(true);
}

} // namespace lumexa
