// The inspector: a zoomable, pannable view of the final picture at any size up to 8:1. It
// opens fitted to its area; the wheel zooms about the pointer, dragging pans, and the keys
// +, -, 0 (fit) and 1 (1:1) step the zoom. Tiles are composed on demand by worker threads,
// those nearest the view's centre first, dropped when they leave the view, kept within a
// memory budget and drawn as they arrive, so that painting never waits for the engine.
#pragma once

#include "app/runs/backdrop.h"
#include "core/project/settings.h"
#include "core/render/dot_renderer.h"
#include "core/view/tile_grid.h"
#include "core/view/tile_workers.h"

#include <QBrush>
#include <QImage>
#include <QPointF>
#include <QString>
#include <QWidget>

#include <cstdint>
#include <list>
#include <memory>
#include <optional>
#include <unordered_map>

namespace lumexa
{

class ZoomView : public QWidget
{
    Q_OBJECT
  public:
    // The largest zoom: 8 screen pixels per result pixel.
    static constexpr double kMaxScale = 8.0;
    // Tiles kept for drawing again, in bytes.
    static constexpr size_t kCacheBudget = size_t{256} << 20;

    explicit ZoomView(QWidget* parent = nullptr, int threads = 2, int tileSize = kDefaultTileSize);
    ~ZoomView() override;

    // Shows another result (new options or a new layout). The view keeps its place when the
    // result has the size it had, and fits the new one otherwise. Null clears the view.
    void setSource(std::shared_ptr<const DotRenderer> renderer);
    bool hasSource() const { return renderer_ != nullptr; }

    // Screen pixels per result pixel, and the result position at the view's top-left corner.
    double scale() const { return scale_; }
    QPointF origin() const { return origin_; }
    double fitScale() const;
    // Shows the whole result, centred.
    void fit();
    // Sets the zoom, keeping the result point under `anchor` (view coordinates) in place.
    void zoomTo(double scale, QPointF anchor);

    // The result pixel under view position `p`, if any.
    std::optional<QPoint> resultPixelAt(QPointF p) const;
    // The status line's text for result pixel `pixel`: pixels, centimetres and the LED.
    QString describePixel(QPoint pixel) const;
    void setPixelsPerInch(double ppi) { ppi_ = ppi; }
    // What shows through the result's transparent pixels: a checkerboard (picture files) or
    // white (paper).
    void setBackdrop(Backdrop backdrop);
    Backdrop backdrop() const { return backdrop_; }
    // The status line's texts: %1, %2 the pixel, %3, %4 in centimetres, %5 the resolution;
    // and the LED image under the pointer, %1 its number.
    void setStatusTexts(const QString& pixel, const QString& led);

    // The tile's pixels as cached (null when it has not arrived), for tests.
    QImage cachedTile(const TileKey& key) const;
    // True when every tile the view shows now has arrived, exact.
    bool complete() const;
    const TileGrid& grid() const { return grid_; }

  signals:
    // The status line's text for the pixel under the pointer (empty when it left the result).
    void pointerInfo(const QString& text);
    // A tile arrived and was drawn.
    void tileArrived();
    // The zoom or place changed.
    void viewChanged();

  protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void leaveEvent(QEvent* event) override;

  private:
    struct CachedTile {
        QImage image;
        std::list<TileKey>::iterator use;
        bool draft = false; // shown until the exact tile replaces it
    };

    // The part of the result in view at `level`, in that level's reduced pixels.
    PixelRect visibleAt(int level) const;
    // Keeps the result within reach: it cannot be pushed out of the view.
    void clampOrigin();
    // Asks the workers for the tiles in view that are not cached yet.
    void requestTiles();
    void accept(RenderedTile&& tile);
    const QImage* lookUp(const TileKey& key) const;
    void trimCache();
    void reportPointer(QPointF p);

    std::shared_ptr<const DotRenderer> renderer_;
    TileGrid grid_;
    uint64_t generation_ = 0;
    std::unique_ptr<TileWorkers> workers_;
    double scale_ = 1.0;
    QPointF origin_;
    bool fitted_ = true; // follows the area's size until the user zooms or pans
    std::optional<QPointF> dragFrom_;
    // The resolution for the centimetre figures when the project names none.
    double ppi_ = kDefaultPrintDpi;
    Backdrop backdrop_ = Backdrop::Checkerboard;
    QBrush backdropBrush_;
    QString pixelText_ = QStringLiteral("x %1, y %2 px  (%3, %4 cm at %5 dpi)");
    QString ledText_ = QStringLiteral("LED %1");

    mutable std::list<TileKey> uses_; // most recently drawn first
    std::unordered_map<TileKey, CachedTile, TileKeyHash> cache_;
    size_t cacheBytes_ = 0;
};

} // namespace lumexa
