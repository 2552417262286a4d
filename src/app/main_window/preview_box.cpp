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

void PreviewBox::setProblem(const QString& text)
{
    if (text == problem_)
        return;
    problem_ = text;
    setToolTip(problem_);
    update();
}

void PreviewBox::setHint(const QString& text)
{
    if (text == hint_)
        return;
    hint_ = text;
    update();
}

void PreviewBox::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    if (canvas_.size() != size())
        p.fillRect(rect(), Qt::white);
    p.drawImage(0, 0, canvas_);
    if (!hint_.isEmpty()) {
        const QFontMetrics metrics(font());
        const int margin = metrics.height() / 2;
        const QRect textBox = rect().adjusted(margin, 0, -margin, 0);
        const QRect needed = metrics.boundingRect(textBox, Qt::TextWordWrap | Qt::AlignLeft, hint_);
        const QRect band(0, 0, width(), needed.height() + margin);
        p.fillRect(band, QColor(220, 234, 250));
        p.setPen(QColor(20, 50, 100));
        p.drawText(band.adjusted(margin, 0, -margin, 0),
                   Qt::TextWordWrap | Qt::AlignLeft | Qt::AlignVCenter, hint_);
    }
    if (problem_.isEmpty())
        return;
    p.fillRect(rect(), QColor(128, 128, 128, 160));
    const QFontMetrics metrics(font());
    const int margin = metrics.height() / 2;
    const QRect textBox = rect().adjusted(margin, 0, -margin, 0);
    const QRect needed = metrics.boundingRect(textBox, Qt::TextWordWrap | Qt::AlignLeft, problem_);
    const int lineHeight = needed.height() + margin;
    const QRect band(0, height() - lineHeight, width(), lineHeight);
    p.fillRect(band, QColor(255, 244, 200));
    p.setPen(QColor(90, 40, 0));
    p.drawText(band.adjusted(margin, 0, -margin, 0),
               Qt::TextWordWrap | Qt::AlignLeft | Qt::AlignVCenter, problem_);
}

void PreviewBox::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    emit resized();
}

} // namespace lumexa
