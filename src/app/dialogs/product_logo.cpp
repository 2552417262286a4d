// The logo is made the way the program makes its pictures: the word is drawn small,
// and every dark pixel of it becomes a round LED.
#include "app/dialogs/product_logo.h"

#include <QFont>
#include <QFontMetrics>
#include <QPainter>
#include <QRadialGradient>

namespace lumexa
{

QImage DrawProductLogo(QSize size)
{
    QImage image(size, QImage::Format_RGB32);
    image.fill(QColor(12, 14, 24));

    const QString word = QStringLiteral("LUMEXA");
    QFont font;
    font.setPixelSize(11);
    font.setBold(true);
    const QFontMetrics metrics(font);
    QImage glyph(metrics.horizontalAdvance(word) + 2, metrics.height(), QImage::Format_RGB32);
    glyph.fill(Qt::white);
    {
        QPainter p(&glyph);
        p.setFont(font);
        p.setPen(Qt::black);
        p.drawText(1, metrics.ascent(), word);
    }

    const double cell = std::min(double(size.width() - 8) / glyph.width(),
                                 double(size.height() - 8) / glyph.height());
    const double left = (size.width() - cell * glyph.width()) / 2;
    const double top = (size.height() - cell * glyph.height()) / 2;
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(Qt::NoPen);
    for (int y = 0; y < glyph.height(); ++y) {
        for (int x = 0; x < glyph.width(); ++x) {
            const QPointF centre(left + (x + 0.5) * cell, top + (y + 0.5) * cell);
            const bool lit = qRed(glyph.pixel(x, y)) < 128;
            QRadialGradient g(centre, cell * 0.48, centre - QPointF(cell * 0.12, cell * 0.12));
            if (lit) {
                g.setColorAt(0, QColor(255, 250, 200));
                g.setColorAt(0.5, QColor(255, 170, 20));
                g.setColorAt(1, QColor(150, 60, 0));
            } else {
                g.setColorAt(0, QColor(60, 60, 70));
                g.setColorAt(1, QColor(30, 30, 40));
            }
            p.setBrush(g);
            p.drawEllipse(centre, cell * 0.42, cell * 0.42);
        }
    }
    return image;
}

} // namespace lumexa
