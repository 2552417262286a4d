// The picture tour's drawing: cut screenshots with numbered callouts, labelled samples,
// PDF pages as paper, and the crops of rendered results.
#include "tools/manual_picture_drawing.h"

#include "app/runs/backdrop.h"

#include <QFont>
#include <QPainter>
#include <QWidget>

#include <algorithm>
#include <cstdint>

namespace lumexa
{
namespace
{

// Room around a cut screenshot's area, where the numbers beside its edge stand.
constexpr int kRoom = 28;
constexpr int kRadius = 11;
// Orange-red: it stands out from every colour the windows use.
const QColor kAccent(214, 64, 18);

QFont LabelFont(int pixels)
{
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setPixelSize(pixels);
    font.setBold(true);
    return font;
}

QPointF NumberCentre(const QRect& r, CalloutSide side)
{
    switch (side) {
    case CalloutSide::Right:
        return QPointF(r.right() + kRadius + 6, r.center().y());
    case CalloutSide::Above:
        return QPointF(r.left() + kRadius + 4, r.top() - kRadius - 5);
    case CalloutSide::Below:
        return QPointF(r.left() + kRadius + 4, r.bottom() + kRadius + 6);
    case CalloutSide::Left:
        break;
    }
    return QPointF(r.left() - kRadius - 5, r.center().y());
}

// A check box as the caption of an option's result: ticked or empty.
void DrawBox(QPainter& p, const QRectF& box, bool ticked)
{
    p.setPen(QPen(QColor(60, 60, 60), 1.5));
    p.setBrush(Qt::white);
    p.drawRect(box);
    if (!ticked)
        return;
    p.setPen(QPen(kAccent, 2.5, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    const QPointF tick[] = {{box.left() + box.width() * 0.2, box.top() + box.height() * 0.55},
                            {box.left() + box.width() * 0.42, box.top() + box.height() * 0.78},
                            {box.left() + box.width() * 0.82, box.top() + box.height() * 0.22}};
    p.drawPolyline(tick, 3);
}

} // namespace

QRect RectIn(const QWidget* window, const QWidget* control)
{
    return QRect(control->mapTo(window, QPoint(0, 0)), control->size());
}

QRect RectIn(const QWidget* window, const std::vector<const QWidget*>& controls)
{
    QRect all;
    for (const QWidget* c : controls)
        all |= RectIn(window, c);
    return all;
}

QImage WithCallouts(const QImage& screenshot, const QRect& area,
                    const std::vector<Callout>& callouts)
{
    // Around a whole window the room is white paper; around a part, the window beside it.
    const QRect cut = area.adjusted(-kRoom, -kRoom, kRoom, kRoom)
                          .intersected(screenshot.rect().adjusted(-kRoom, -kRoom, kRoom, kRoom));
    QImage out(cut.size(), QImage::Format_RGB32);
    out.fill(Qt::white);
    QPainter p(&out);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);
    p.translate(-cut.topLeft());
    p.drawImage(0, 0, screenshot);
    p.setFont(LabelFont(13));
    int number = 1;
    for (const Callout& callout : callouts) {
        p.setPen(QPen(kAccent, 2));
        p.setBrush(Qt::NoBrush);
        p.drawRoundedRect(QRectF(callout.rect).adjusted(-1.5, -1.5, 1.5, 1.5), 3, 3);
        // A number that would leave the picture moves in over its part's edge.
        QPointF c = NumberCentre(callout.rect, callout.side);
        c.setX(std::clamp<double>(c.x(), cut.left() + kRadius + 1, cut.right() - kRadius - 1));
        c.setY(std::clamp<double>(c.y(), cut.top() + kRadius + 1, cut.bottom() - kRadius - 1));
        p.setPen(QPen(Qt::white, 2));
        p.setBrush(kAccent);
        p.drawEllipse(c, kRadius, kRadius);
        p.setPen(Qt::white);
        p.drawText(QRectF(c.x() - kRadius, c.y() - kRadius, 2 * kRadius, 2 * kRadius),
                   Qt::AlignCenter, QString::number(number++));
    }
    return out;
}

QImage Labelled(const QImage& sample, const QString& label, int scale)
{
    constexpr int kBand = 28;
    const QSize size = sample.size() * scale;
    QImage out(size.width(), size.height() + kBand, QImage::Format_RGB32);
    out.fill(Qt::white);
    QPainter p(&out);
    p.setRenderHint(QPainter::TextAntialiasing);
    p.setFont(LabelFont(16));
    p.setPen(Qt::black);
    p.drawText(QRect(2, 0, size.width() - 2, kBand - 4), Qt::AlignLeft | Qt::AlignVCenter, label);
    // Without smoothing, each pixel becomes a square of scale x scale.
    p.drawImage(QRect(QPoint(0, kBand), size), sample);
    return out;
}

QImage OffAndOn(const QImage& off, const QImage& on, const QString& caption, int scale)
{
    constexpr int kBand = 30;
    constexpr int kGap = 16;
    constexpr int kBox = 16;
    const QSize s = off.size() * scale;
    QImage out(s.width() * 2 + kGap, s.height() + kBand, QImage::Format_RGB32);
    out.fill(Qt::white);
    QPainter p(&out);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);
    p.setFont(LabelFont(15));
    for (int half = 0; half < 2; ++half) {
        const int left = half * (s.width() + kGap);
        DrawBox(p, QRectF(left + 2.5, (kBand - 6 - kBox) / 2.0 + 0.5, kBox, kBox), half == 1);
        p.setPen(Qt::black);
        p.drawText(QRect(left + kBox + 10, 0, s.width() - kBox - 10, kBand - 6),
                   Qt::AlignLeft | Qt::AlignVCenter, caption);
        p.drawImage(QRect(QPoint(left, kBand), s), half == 0 ? off : on);
    }
    return out;
}

QImage AsPaper(const QImage& page)
{
    constexpr int kPad = 6;
    constexpr int kShadow = 4;
    QImage out(page.width() + 2 * kPad + kShadow, page.height() + 2 * kPad + kShadow,
               QImage::Format_RGB32);
    out.fill(Qt::white);
    QPainter p(&out);
    p.fillRect(QRect(kPad + kShadow, kPad + kShadow, page.width(), page.height()),
               QColor(190, 190, 190));
    p.drawImage(kPad, kPad, page);
    p.setPen(QColor(140, 140, 140));
    p.drawRect(QRect(kPad - 1, kPad - 1, page.width() + 1, page.height() + 1));
    return out;
}

QImage Opaque(const QImage& image)
{
    QImage out = image.convertToFormat(QImage::Format_ARGB32);
    for (int y = 0; y < out.height(); ++y) {
        auto* row = reinterpret_cast<QRgb*>(out.scanLine(y));
        for (int x = 0; x < out.width(); ++x)
            row[x] |= 0xff000000u;
    }
    return out.convertToFormat(QImage::Format_RGB32);
}

QImage OverCheckerboard(const QImage& image, int scale)
{
    const QImage argb = image.convertToFormat(QImage::Format_ARGB32);
    QImage out(argb.size() * scale, QImage::Format_RGB32);
    for (int y = 0; y < out.height(); ++y) {
        auto* row = reinterpret_cast<QRgb*>(out.scanLine(y));
        for (int x = 0; x < out.width(); ++x) {
            const QRgb c = argb.pixel(x / scale, y / scale);
            const uint8_t rgba[4] = {static_cast<uint8_t>(qRed(c)), static_cast<uint8_t>(qGreen(c)),
                                     static_cast<uint8_t>(qBlue(c)),
                                     static_cast<uint8_t>(qAlpha(c))};
            row[x] = OverBackdrop(rgba, BackdropAt(Backdrop::Checkerboard, x, y));
        }
    }
    return out;
}

QImage TrimRows(const QImage& image)
{
    constexpr int kMargin = 6;
    const QImage rgb = image.convertToFormat(QImage::Format_RGB32);
    const QRgb ground = rgb.pixel(0, 0);
    int top = rgb.height(), bottom = -1;
    for (int y = 0; y < rgb.height(); ++y) {
        const auto* row = reinterpret_cast<const QRgb*>(rgb.constScanLine(y));
        for (int x = 0; x < rgb.width(); ++x)
            if (row[x] != ground) {
                top = std::min(top, y);
                bottom = y;
                break;
            }
    }
    if (bottom < 0)
        return rgb;
    top = std::max(0, top - kMargin);
    bottom = std::min(rgb.height() - 1, bottom + kMargin);
    return rgb.copy(0, top, rgb.width(), bottom - top + 1);
}

} // namespace lumexa
