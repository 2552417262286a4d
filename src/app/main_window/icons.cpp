// Simple, flat icons: black shapes on a transparent ground, sized for a 16-pixel cell.
#include "app/main_window/icons.h"

#include <QFont>
#include <QPainter>
#include <QPainterPath>

namespace lumexa
{

namespace
{

void drawDots(QPainter& p, const QList<QPointF>& centres, qreal radius)
{
    p.setPen(Qt::NoPen);
    p.setBrush(Qt::black);
    for (const QPointF& c : centres)
        p.drawEllipse(c, radius, radius);
}

void drawLetter(QPainter& p, int pixelSize)
{
    QFont font;
    font.setPixelSize(pixelSize);
    font.setBold(true);
    p.setFont(font);
    p.setPen(Qt::black);
    p.drawText(QRect(0, 0, kIconSize, kIconSize), Qt::AlignCenter, QStringLiteral("A"));
}

void drawGrid(QPainter& p, int cells)
{
    p.setPen(QPen(Qt::black, 1));
    p.setBrush(Qt::NoBrush);
    const qreal step = 14.0 / cells;
    for (int i = 0; i <= cells; ++i) {
        p.drawLine(QPointF(1 + i * step, 1), QPointF(1 + i * step, 15));
        p.drawLine(QPointF(1, 1 + i * step), QPointF(15, 1 + i * step));
    }
}

void drawHalfFilled(QPainter& p, qreal fraction)
{
    // A circle filled from the bottom: how much of the grey scale counts as dark.
    p.setPen(QPen(Qt::black, 1));
    p.setBrush(Qt::white);
    p.drawEllipse(QRectF(1.5, 1.5, 13, 13));
    QPainterPath clip;
    clip.addEllipse(QRectF(1.5, 1.5, 13, 13));
    p.setClipPath(clip);
    p.fillRect(QRectF(0, 16 - 16 * fraction, 16, 16 * fraction), Qt::black);
    p.setClipping(false);
}

void drawLogo(QPainter& p, qreal size)
{
    const qreal o = (16 - size) / 2;
    p.setPen(QPen(Qt::black, 1));
    p.setBrush(Qt::NoBrush);
    p.drawRect(QRectF(o + 0.5, o + 0.5, size - 1, size - 1));
    QPolygonF roof;
    roof << QPointF(o + 1, o + size - 1) << QPointF(o + size / 2, o + 2)
         << QPointF(o + size - 1, o + size - 1);
    p.setBrush(Qt::black);
    p.drawPolygon(roof);
}

void drawDice(QPainter& p)
{
    p.setPen(QPen(Qt::black, 1));
    p.setBrush(Qt::white);
    p.drawRoundedRect(QRectF(1.5, 1.5, 13, 13), 3, 3);
    drawDots(p, {{5, 5}, {8, 8}, {11, 11}, {11, 5}, {5, 11}}, 1.3);
}

} // namespace

QPixmap MakeIcon(IconKind kind)
{
    QPixmap pixmap(kIconSize, kIconSize);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    switch (kind) {
    case IconKind::DotsInLine:
        drawDots(p, {{4, 4}, {12, 4}, {4, 12}, {12, 12}}, 2);
        break;
    case IconKind::DotsScattered:
        drawDots(p, {{3, 6}, {11, 2.5}, {6, 13}, {13.5, 10}}, 2);
        break;
    case IconKind::CellsSmall:
        drawGrid(p, 4);
        break;
    case IconKind::CellsLarge:
        drawGrid(p, 2);
        break;
    case IconKind::LetterSmall:
        drawLetter(p, 8);
        break;
    case IconKind::LetterLarge:
        drawLetter(p, 15);
        break;
    case IconKind::ThresholdLow:
        drawHalfFilled(p, 0.3);
        break;
    case IconKind::ThresholdHigh:
        drawHalfFilled(p, 0.75);
        break;
    case IconKind::DensityLow:
        drawDots(p, {{4, 5}, {11, 11}}, 1.2);
        break;
    case IconKind::DensityHigh:
        drawDots(p, {{3, 3}, {8, 2.5}, {13, 4}, {5, 8}, {10, 8}, {3, 13}, {8, 12}, {13, 13}}, 1.2);
        break;
    case IconKind::LogoSmall:
        drawLogo(p, 8);
        break;
    case IconKind::LogoLarge:
        drawLogo(p, 15);
        break;
    case IconKind::KerningTight:
    case IconKind::KerningWide: {
        QFont font;
        font.setPixelSize(11);
        font.setBold(true);
        p.setFont(font);
        p.setPen(Qt::black);
        const bool wide = kind == IconKind::KerningWide;
        p.drawText(QRect(wide ? -1 : 2, 0, 8, 16), Qt::AlignCenter, QStringLiteral("A"));
        p.drawText(QRect(wide ? 9 : 7, 0, 8, 16), Qt::AlignCenter, QStringLiteral("V"));
        break;
    }
    case IconKind::Dice:
        drawDice(p);
        break;
    }
    return pixmap;
}

} // namespace lumexa
