// The preview area shows the last drawn canvas; the area outside it stays white.
#include "app/main_window/preview_box.h"

#include <QPainter>

namespace lumexa
{

PreviewBox::PreviewBox(QWidget* parent) : QWidget(parent)
{
    setAttribute(Qt::WA_OpaquePaintEvent);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
}

void PreviewBox::setCanvas(QImage canvas)
{
    canvas_ = std::move(canvas);
    update();
}

void PreviewBox::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    if (canvas_.size() != size())
        p.fillRect(rect(), Qt::white);
    p.drawImage(0, 0, canvas_);
}

void PreviewBox::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    emit resized();
}

} // namespace lumexa
