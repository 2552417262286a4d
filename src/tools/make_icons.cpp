// Draws the application icon, a dark tile with an "L" of lit LED dots, at the sizes the
// desktop's icon theme asks for. Runs at build time on the offscreen platform.
#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QRadialGradient>

#include <cstdio>

namespace
{

QImage drawIcon(int size)
{
    QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    const qreal margin = size / 16.0;
    const QRectF tile(margin, margin, size - 2 * margin, size - 2 * margin);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(24, 26, 34));
    p.drawRoundedRect(tile, size / 6.0, size / 6.0);

    // A 5 x 5 matrix; the lit dots draw an "L".
    const int n = 5;
    const qreal pitch = tile.width() / n;
    for (int row = 0; row < n; ++row) {
        for (int col = 0; col < n; ++col) {
            const bool lit = col == 1 ? row <= 3 : (row == 3 && col >= 1 && col <= 3);
            const QPointF centre(tile.left() + (col + 0.5) * pitch,
                                 tile.top() + (row + 0.5) * pitch);
            const qreal radius = pitch * 0.38;
            QRadialGradient glow(centre, radius);
            if (lit) {
                glow.setColorAt(0.0, QColor(255, 250, 200));
                glow.setColorAt(0.55, QColor(255, 170, 30));
                glow.setColorAt(1.0, QColor(170, 60, 0));
            } else {
                glow.setColorAt(0.0, QColor(80, 70, 60));
                glow.setColorAt(1.0, QColor(45, 42, 40));
            }
            p.setBrush(glow);
            p.drawEllipse(centre, radius, radius);
        }
    }
    return image;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: make_icons OUTPUT_FOLDER\n");
        return 2;
    }
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    const QString root = QString::fromLocal8Bit(argv[1]);
    for (int size : {16, 24, 32, 48, 64, 128, 256}) {
        const QString path = QString("%1/%2x%2/apps/org.lumexa.Lumexa.png").arg(root).arg(size);
        QDir().mkpath(QFileInfo(path).path());
        if (!drawIcon(size).save(path)) {
            std::fprintf(stderr, "Cannot write file %s\n", qPrintable(path));
            return 1;
        }
    }
    return 0;
}
