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

void PreviewBox::setNotice(const QString& text)
{
    if (text == notice_)
        return;
    notice_ = text;
    update();
}

void PreviewBox::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    if (canvas_.size() != size())
        p.fillRect(rect(), Qt::white);
    p.drawImage(0, 0, canvas_);
    if (!hint_.isEmpty())
        drawBand(p, hint_, true, QColor(220, 234, 250), QColor(20, 50, 100));
    if (!notice_.isEmpty())
        drawBand(p, notice_, true, QColor(220, 236, 255), QColor(0, 40, 90));
    if (problem_.isEmpty())
        return;
    p.fillRect(rect(), QColor(128, 128, 128, 160));
    drawBand(p, problem_, false, QColor(255, 244, 200), QColor(90, 40, 0));
}

void PreviewBox::drawBand(QPainter& p, const QString& text, bool top, QColor fill, QColor ink)
{
    const QFontMetrics metrics(font());
    const int margin = metrics.height() / 2;
    const QRect textBox = rect().adjusted(margin, 0, -margin, 0);
    const QRect needed = metrics.boundingRect(textBox, Qt::TextWordWrap | Qt::AlignLeft, text);
    const int lineHeight = needed.height() + margin;
    const QRect band(0, top ? 0 : height() - lineHeight, width(), lineHeight);
    p.fillRect(band, fill);
    p.setPen(ink);
    p.drawText(band.adjusted(margin, 0, -margin, 0),
               Qt::TextWordWrap | Qt::AlignLeft | Qt::AlignVCenter, text);
}

void PreviewBox::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    emit resized();
}

} // namespace lumexa
