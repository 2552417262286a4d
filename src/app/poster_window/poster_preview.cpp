// Sampling the poster window's picture and drawing the sheet grid over it.
#include "app/poster_window/poster_preview.h"

#include "core/render/dot_renderer.h"

#include <QPainter>
#include <QPainterPath>

#include <algorithm>
#include <cmath>
#include <vector>

namespace lumexa
{

namespace
{

// Samples across and down each preview pixel, averaged: enough to keep the LED pattern
// from turning into noise, few enough for a gigapixel result to show in a moment.
constexpr int kSamples = 2;

QSize fitted(int64_t width, int64_t height, QSize box)
{
    if (width <= 0 || height <= 0 || box.isEmpty())
        return {1, 1};
    const double scale =
        std::min(double(box.width()) / double(width), double(box.height()) / double(height));
    // A result smaller than the box is shown pixel for pixel, never enlarged.
    const double s = std::min(1.0, scale);
    return {std::max(1, static_cast<int>(std::lround(double(width) * s))),
            std::max(1, static_cast<int>(std::lround(double(height) * s)))};
}

} // namespace

bool PosterPicture::takeIfChanged(QImage& out)
{
    std::lock_guard lock(mutex_);
    if (!changed_)
        return false;
    out = picture_.copy();
    changed_ = false;
    return true;
}

bool PosterPicture::sample(const RenderScene& scene, std::stop_token stop)
{
    // As the sheets print it: the unlit LEDs on paper wherever the background is drawn.
    const DotRenderer renderer(scene, PrintedOptions(scene.options), kDefaultSampleTableBudget,
                               stop);
    QImage picture(fitted(scene.width, scene.height, box_), QImage::Format_RGB32);
    picture.fill(Qt::white);
    {
        std::lock_guard lock(mutex_);
        picture_ = picture;
        changed_ = true;
    }
    const int outWidth = picture.width();
    const int outHeight = picture.height();
    const double stepX = double(scene.width) / outWidth / kSamples;
    const double stepY = double(scene.height) / outHeight / kSamples;
    std::vector<QRgb> row(static_cast<size_t>(outWidth));
    uint8_t rgba[4];
    for (int y = 0; y < outHeight; ++y) {
        if (stop.stop_requested())
            return false;
        for (int x = 0; x < outWidth; ++x) {
            // Weighted by coverage over white paper, as the poster's pages print them.
            int sum[3] = {0, 0, 0};
            int coverage = 0;
            for (int sy = 0; sy < kSamples; ++sy) {
                const int py =
                    std::min(scene.height - 1, static_cast<int>((y * kSamples + sy + 0.5) * stepY));
                for (int sx = 0; sx < kSamples; ++sx) {
                    const int px = std::min(scene.width - 1,
                                            static_cast<int>((x * kSamples + sx + 0.5) * stepX));
                    renderer.RenderSpan(py, px, px + 1, rgba);
                    for (int c = 0; c < 3; ++c)
                        sum[c] += rgba[c] * rgba[3];
                    coverage += rgba[3];
                }
            }
            constexpr int full = kSamples * kSamples * 255;
            const int paper = 255 * (full - coverage);
            row[static_cast<size_t>(x)] =
                qRgb((sum[0] + paper) / full, (sum[1] + paper) / full, (sum[2] + paper) / full);
        }
        std::lock_guard lock(mutex_);
        std::copy(row.begin(), row.end(), reinterpret_cast<QRgb*>(picture_.scanLine(y)));
        changed_ = true;
    }
    return true;
}

QImage DrawPosterPreview(const QImage& picture, const PosterPlan& plan, double overlapMm, QSize box)
{
    QImage canvas(box, QImage::Format_RGB32);
    canvas.fill(QColor(72, 72, 72));
    if (plan.columns < 1 || plan.rows < 1 || !(plan.gridWidthMm > 0) || !(plan.gridHeightMm > 0))
        return canvas;

    // Millimetres to canvas pixels, a little room kept around the grid.
    const double scale =
        std::min((box.width() - 8) / plan.gridWidthMm, (box.height() - 8) / plan.gridHeightMm);
    const double left = (box.width() - plan.gridWidthMm * scale) / 2;
    const double top = (box.height() - plan.gridHeightMm * scale) / 2;
    const double stepX = (plan.gridWidthMm - overlapMm) / plan.columns;
    const double stepY = (plan.gridHeightMm - overlapMm) / plan.rows;
    const auto sheetRect = [&](const PosterSheet& s) {
        return QRectF(left + s.column * stepX * scale, top + s.row * stepY * scale,
                      (stepX + overlapMm) * scale, (stepY + overlapMm) * scale);
    };

    QPainter p(&canvas);
    p.setRenderHint(QPainter::Antialiasing, false);
    p.setRenderHint(QPainter::SmoothPixmapTransform, true);
    for (const PosterSheet& s : plan.sheets)
        p.fillRect(sheetRect(s), Qt::white);
    const QRectF pictureRect(left + (plan.gridWidthMm - plan.widthMm) / 2 * scale,
                             top + (plan.gridHeightMm - plan.heightMm) / 2 * scale,
                             plan.widthMm * scale, plan.heightMm * scale);
    p.drawImage(pictureRect, picture);

    // Overlaps are where two sheets' areas meet: shaded so that the gluing strips show.
    const QColor overlapShade(0, 120, 255, 70);
    for (const PosterSheet& s : plan.sheets) {
        const QRectF r = sheetRect(s);
        if (s.column > 0)
            p.fillRect(QRectF(r.left(), r.top(), overlapMm * scale, r.height()), overlapShade);
        if (s.row > 0)
            p.fillRect(QRectF(r.left(), r.top(), r.width(), overlapMm * scale), overlapShade);
    }
    p.setPen(QPen(QColor(0, 90, 220), 1));
    for (const PosterSheet& s : plan.sheets)
        p.drawRect(sheetRect(s).adjusted(0, 0, -1, -1));

    // Labels only while they fit their sheets.
    QFont font = p.font();
    font.setPixelSize(std::clamp(static_cast<int>(stepY * scale / 4), 8, 14));
    font.setBold(true);
    p.setFont(font);
    const QFontMetrics metrics(font);
    for (const PosterSheet& s : plan.sheets) {
        const QString label = QString::fromStdString(s.label).section(QLatin1Char(' '), 0, 0);
        const QRectF r = sheetRect(s);
        if (metrics.horizontalAdvance(label) + 4 > r.width() || metrics.height() > r.height())
            continue;
        QPainterPath path;
        path.addText(r.center().x() - metrics.horizontalAdvance(label) / 2.0,
                     r.center().y() + metrics.ascent() / 2.0 - 1, font, label);
        p.setRenderHint(QPainter::Antialiasing, true);
        p.strokePath(path, QPen(Qt::white, 3));
        p.fillPath(path, QColor(0, 60, 160));
        p.setRenderHint(QPainter::Antialiasing, false);
    }
    return canvas;
}

} // namespace lumexa
