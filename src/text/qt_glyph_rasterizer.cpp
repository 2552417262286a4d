// Text glyphs drawn with Qt's fonts.
#include "text/qt_glyph_rasterizer.h"

#include "core/base/error.h"
#include "text/gui_application.h"

#include <QFont>
#include <QFontDatabase>
#include <QFontMetricsF>
#include <QImage>
#include <QPainter>
#include <QRawFont>
#include <QString>

#include <algorithm>
#include <cmath>
#include <unordered_map>

namespace lumexa
{

namespace
{

// At 72 dots per inch a point is a pixel, so a fractional point size gives the exact
// fractional pixel size the font must be drawn at (Qt's pixel sizes are whole numbers).
constexpr int kDotsPerMeterAt72Dpi = 2835;

// The widest scratch image drawn into at once; longer texts are drawn in pieces.
constexpr int kScratchWidth = 4096;

struct ScaledFont {
    QFont font;
    int baseline = 0;
};

// The face scaled so that its design ascent plus descent is `fontSize` pixels.
ScaledFont scaleFont(const std::string& fontName, int fontSize)
{
    QFont font(QString::fromStdString(fontName));
    font.setStyleStrategy(QFont::NoSubpixelAntialias);
    // Left to its default, the hinting follows the screen: Qt drops it on scaled (high
    // density) screens and otherwise takes the desktop's font settings, so the same project
    // would lay out other dots on another desktop. Vertical hinting is what an unscaled
    // screen gets by default.
    font.setHintingPreference(QFont::PreferVerticalHinting);
    QRawFont raw = QRawFont::fromFont(font);
    double unitsPerEm = 0;
    double ascent = 0;
    double descent = 0;
    if (raw.isValid() && raw.unitsPerEm() > 0) {
        // At one pixel per font unit the metrics are the font's own design values.
        unitsPerEm = raw.unitsPerEm();
        raw.setPixelSize(unitsPerEm);
        ascent = raw.ascent();
        descent = raw.descent();
    }
    if (ascent + descent <= 0) {
        // A face without usable design metrics: measure it at a large size instead.
        QFont probe = font;
        probe.setPixelSize(1000);
        const QFontMetricsF m(probe);
        unitsPerEm = 1000;
        ascent = m.ascent();
        descent = m.descent();
    }
    const double extent = ascent + descent > 0 ? ascent + descent : unitsPerEm;
    font.setPointSizeF(fontSize * unitsPerEm / extent);
    return {font, static_cast<int>(std::lround(fontSize * ascent / extent))};
}

QImage scratchImage(int width, int height)
{
    QImage image(width, height, QImage::Format_RGB32);
    image.setDotsPerMeterX(kDotsPerMeterAt72Dpi);
    image.setDotsPerMeterY(kDotsPerMeterAt72Dpi);
    image.fill(Qt::white);
    return image;
}

// Copies columns [0, width) of `image` into `glyph` at column `left`.
void copyInto(const QImage& image, int width, Picture& glyph, int left)
{
    for (int y = 0; y < glyph.height(); ++y) {
        const QRgb* src = reinterpret_cast<const QRgb*>(image.constScanLine(y));
        uint8_t* dst = glyph.row(y) + static_cast<size_t>(left) * 3;
        for (int x = 0; x < width; ++x, dst += 3) {
            dst[0] = static_cast<uint8_t>(qBlue(src[x]));
            dst[1] = static_cast<uint8_t>(qGreen(src[x]));
            dst[2] = static_cast<uint8_t>(qRed(src[x]));
        }
    }
}

} // namespace

QtGlyphRasterizer::QtGlyphRasterizer()
{
    EnsureGuiApplication();
}

Glyph QtGlyphRasterizer::drawText(const std::u32string& text, const std::string& fontName,
                                  int fontSize, int kerning, const std::stop_token& stop)
{
    const int height = std::max(fontSize, 1);
    const ScaledFont scaled = scaleFont(fontName, height);

    // Measure every character alone, on a device of the drawing's resolution. A text
    // repeats few characters, so each is measured once.
    QImage measureDevice = scratchImage(1, 1);
    const QFontMetricsF metrics(scaled.font, &measureDevice);
    std::unordered_map<char32_t, int> advances;
    std::vector<int> cellWidths;
    cellWidths.reserve(text.size());
    int64_t total = 0;
    for (char32_t c : text) {
        auto [it, fresh] = advances.try_emplace(c, 0);
        if (fresh)
            it->second =
                static_cast<int>(std::lround(metrics.horizontalAdvance(QString::fromUcs4(&c, 1))));
        cellWidths.push_back(std::max(it->second + kerning, 0));
        total += cellWidths.back();
    }
    CheckGridSize(total, height);

    Glyph glyph;
    glyph.image = Picture(static_cast<int>(total), height, {255, 255, 255});
    glyph.columnMap.resize(static_cast<size_t>(total));
    if (total == 0)
        return glyph;

    // Characters are drawn into a scratch strip that is copied out whenever the next
    // cell would not fit, so that no text is too long to draw.
    const int widest = *std::max_element(cellWidths.begin(), cellWidths.end());
    QImage scratch = scratchImage(std::max(kScratchWidth, widest), height);
    QPainter painter(&scratch);
    painter.setFont(scaled.font);
    painter.setPen(Qt::black);
    int stripLeft = 0; // glyph column of the scratch strip's column 0
    int used = 0;      // scratch columns holding drawn cells
    int x = 0;
    for (size_t i = 0; i < text.size(); ++i) {
        if (i % 64 == 0)
            CheckStop(stop);
        const int w = cellWidths[i];
        if (used + w > scratch.width()) {
            copyInto(scratch, used, glyph.image, stripLeft);
            painter.setClipping(false);
            painter.fillRect(0, 0, scratch.width(), height, Qt::white);
            stripLeft += used;
            used = 0;
        }
        if (w > 0) {
            painter.setClipRect(used, 0, w, height);
            painter.drawText(QPointF(used, scaled.baseline), QString::fromUcs4(&text[i], 1));
        }
        std::fill_n(glyph.columnMap.begin() + x, w, static_cast<int32_t>(i + 1));
        used += w;
        x += w;
    }
    painter.end();
    copyInto(scratch, used, glyph.image, stripLeft);
    return glyph;
}

std::vector<std::string> InstalledFontNames()
{
    EnsureGuiApplication();
    std::vector<std::string> names;
    for (const QString& family : QFontDatabase::families())
        names.push_back(family.toStdString());
    return names;
}

} // namespace lumexa
