// The inspector's zoom, panning, tile cache and painting.
#include "app/render_window/zoom_view.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPixmap>
#include <QWheelEvent>

#include <algorithm>
#include <cmath>

namespace lumexa
{
namespace
{

// One wheel notch zooms by the square root of two: two notches double the size.
constexpr double kNotchFactor = 1.4142135623730951;

} // namespace

ZoomView::ZoomView(QWidget* parent, int threads, int tileSize) : QWidget(parent)
{
    setObjectName(QStringLiteral("Inspector"));
    setFocusPolicy(Qt::StrongFocus);
    setMouseTracking(true);
    setAttribute(Qt::WA_OpaquePaintEvent);
    grid_ = TileGrid(0, 0, tileSize);
    setBackdrop(Backdrop::Checkerboard);
    workers_ = std::make_unique<TileWorkers>(threads, [this](RenderedTile&& tile) {
        // Handed to the view's thread; Qt drops the call when the view is gone by then.
        auto shared = std::make_shared<RenderedTile>(std::move(tile));
        QMetaObject::invokeMethod(
            this, [this, shared] { accept(std::move(*shared)); }, Qt::QueuedConnection);
    });
}

void ZoomView::setBackdrop(Backdrop backdrop)
{
    if (!backdropBrush_.texture().isNull() && backdrop == backdrop_)
        return;
    backdrop_ = backdrop;
    // One tile of the pattern; a brush repeats it from the view's top-left corner, so each
    // screen pixel gets BackdropAt's colour for its place.
    QImage tile(2 * kCheckerSquare, 2 * kCheckerSquare, QImage::Format_RGB32);
    for (int y = 0; y < tile.height(); ++y)
        for (int x = 0; x < tile.width(); ++x)
            tile.setPixel(x, y, BackdropAt(backdrop, x, y));
    backdropBrush_ = QBrush(QPixmap::fromImage(tile));
    update();
}

ZoomView::~ZoomView()
{
    workers_.reset(); // joins the threads before the cache they deliver to goes
}

void ZoomView::setSource(std::shared_ptr<const DotRenderer> renderer)
{
    const bool sameSize = renderer && renderer_ && renderer->width() == renderer_->width() &&
                          renderer->height() == renderer_->height();
    renderer_ = std::move(renderer);
    ++generation_;
    cache_.clear();
    uses_.clear();
    cacheBytes_ = 0;
    grid_ = renderer_ ? TileGrid(renderer_->width(), renderer_->height(), grid_.tileSize())
                      : TileGrid(0, 0, grid_.tileSize());
    workers_->setSource(renderer_, grid_, generation_);
    if (!sameSize)
        fit();
    else
        requestTiles();
    update();
}

double ZoomView::fitScale() const
{
    if (!renderer_ || grid_.width() == 0 || grid_.height() == 0 || width() <= 0 || height() <= 0)
        return 1.0;
    return std::min(static_cast<double>(width()) / grid_.width(),
                    static_cast<double>(height()) / grid_.height());
}

void ZoomView::fit()
{
    fitted_ = true;
    scale_ = std::min(fitScale(), kMaxScale);
    origin_ =
        QPointF((grid_.width() - width() / scale_) / 2, (grid_.height() - height() / scale_) / 2);
    requestTiles();
    update();
    emit viewChanged();
}

void ZoomView::zoomTo(double scale, QPointF anchor)
{
    if (!renderer_)
        return;
    // Never smaller than the fit view (or 1:1 for results that fit at full size).
    const double least = std::min(fitScale(), 1.0);
    scale = std::clamp(scale, least, kMaxScale);
    const QPointF under = origin_ + anchor / scale_;
    scale_ = scale;
    origin_ = under - anchor / scale_;
    fitted_ = false;
    clampOrigin();
    requestTiles();
    update();
    emit viewChanged();
}

void ZoomView::clampOrigin()
{
    // A result narrower than the view is centred; a wider one cannot leave a gap.
    auto clampAxis = [](double origin, double viewLength, double resultLength) {
        if (viewLength >= resultLength)
            return (resultLength - viewLength) / 2;
        return std::clamp(origin, 0.0, resultLength - viewLength);
    };
    origin_.setX(clampAxis(origin_.x(), width() / scale_, grid_.width()));
    origin_.setY(clampAxis(origin_.y(), height() / scale_, grid_.height()));
}

PixelRect ZoomView::visibleAt(int level) const
{
    const double f = TileGrid::factor(level);
    const double x0 = origin_.x() / f;
    const double y0 = origin_.y() / f;
    const double x1 = (origin_.x() + width() / scale_) / f;
    const double y1 = (origin_.y() + height() / scale_) / f;
    const int left = static_cast<int>(std::floor(x0));
    const int top = static_cast<int>(std::floor(y0));
    return {left, top, static_cast<int>(std::ceil(x1)) - left,
            static_cast<int>(std::ceil(y1)) - top};
}

void ZoomView::requestTiles()
{
    if (!renderer_)
        return;
    const int level = grid_.levelFor(scale_);
    std::vector<TileKey> wanted;
    std::vector<TileKey> drafts;
    for (const TileKey& key : grid_.tilesFor(level, visibleAt(level))) {
        const auto it = cache_.find(key);
        if (it == cache_.end()) {
            wanted.push_back(key);
            // Coarse tiles average many pixels each: a quick draft shows them first.
            if (level >= kFirstDraftLevel)
                drafts.push_back(key);
        } else if (it->second.draft) {
            wanted.push_back(key);
        }
    }
    workers_->want(wanted, drafts);
}

void ZoomView::accept(RenderedTile&& tile)
{
    // Late tiles of an earlier source, a tile asked for again before it arrived, and a draft
    // of a tile that is there already: only an exact tile replaces a draft.
    if (tile.generation != generation_)
        return;
    const auto found = cache_.find(tile.key);
    if (found != cache_.end() && (tile.draft || !found->second.draft))
        return;
    // The engine's bytes as they are: coverage is the alpha the painter lays them over the
    // backdrop with.
    QImage image(tile.width, tile.height, QImage::Format_RGBA8888);
    for (int y = 0; y < tile.height; ++y)
        std::copy_n(tile.rgba.data() + static_cast<size_t>(y) * tile.width * 4,
                    static_cast<size_t>(tile.width) * 4, image.scanLine(y));
    if (found != cache_.end()) {
        cacheBytes_ -= static_cast<size_t>(found->second.image.sizeInBytes());
        uses_.erase(found->second.use);
        cache_.erase(found);
    }
    uses_.push_front(tile.key);
    cacheBytes_ += image.sizeInBytes();
    cache_[tile.key] = {std::move(image), uses_.begin(), tile.draft};
    trimCache();
    update();
    emit tileArrived();
}

const QImage* ZoomView::lookUp(const TileKey& key) const
{
    const auto it = cache_.find(key);
    if (it == cache_.end())
        return nullptr;
    uses_.splice(uses_.begin(), uses_, it->second.use);
    return &it->second.image;
}

void ZoomView::trimCache()
{
    // The tiles drawn longest ago go first; those on screen were drawn last.
    while (cacheBytes_ > kCacheBudget && uses_.size() > 1) {
        const auto it = cache_.find(uses_.back());
        cacheBytes_ -= static_cast<size_t>(it->second.image.sizeInBytes());
        cache_.erase(it);
        uses_.pop_back();
    }
}

QImage ZoomView::cachedTile(const TileKey& key) const
{
    const auto it = cache_.find(key);
    return it == cache_.end() ? QImage() : it->second.image;
}

bool ZoomView::complete() const
{
    if (!renderer_)
        return true;
    const int level = grid_.levelFor(scale_);
    for (const TileKey& key : grid_.tilesFor(level, visibleAt(level))) {
        const auto it = cache_.find(key);
        if (it == cache_.end() || it->second.draft)
            return false;
    }
    return true;
}

void ZoomView::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.fillRect(rect(), QColor(64, 64, 64));
    if (!renderer_)
        return;
    // The backdrop under the result only, so that its edge shows against the surround.
    const QRectF result((0 - origin_.x()) * scale_, (0 - origin_.y()) * scale_,
                        renderer_->width() * scale_, renderer_->height() * scale_);
    painter.fillRect(result.intersected(QRectF(rect())), backdropBrush_);
    const int level = grid_.levelFor(scale_);
    // Past 1:1 every result pixel is a sharp square; below, tiles are averaged already and
    // only the last fraction of a level is smoothed.
    painter.setRenderHint(QPainter::SmoothPixmapTransform, scale_ < 1.0);
    auto place = [&](const PixelRect& source) {
        return QRectF((source.x - origin_.x()) * scale_, (source.y - origin_.y()) * scale_,
                      source.width * scale_, source.height * scale_);
    };
    for (const TileKey& key : grid_.tilesFor(level, visibleAt(level))) {
        if (const QImage* image = lookUp(key)) {
            painter.drawImage(place(grid_.source(key)), *image);
            continue;
        }
        // Until it arrives, the tile's part of a coarser tile stands in for it.
        for (int coarser = level + 1; coarser < grid_.levels(); ++coarser) {
            const int shift = coarser - level;
            const TileKey parent{coarser, key.column >> shift, key.row >> shift};
            const QImage* image = lookUp(parent);
            if (!image)
                continue;
            const PixelRect wanted = grid_.source(key);
            const PixelRect from = grid_.source(parent);
            const double f = TileGrid::factor(coarser);
            const QRectF part((wanted.x - from.x) / f, (wanted.y - from.y) / f, wanted.width / f,
                              wanted.height / f);
            painter.drawImage(place(wanted), *image, part);
            break;
        }
    }
}

void ZoomView::resizeEvent(QResizeEvent*)
{
    if (fitted_)
        fit();
    else {
        clampOrigin();
        requestTiles();
    }
}

void ZoomView::wheelEvent(QWheelEvent* event)
{
    const double notches = event->angleDelta().y() / 120.0;
    if (notches != 0)
        zoomTo(scale_ * std::pow(kNotchFactor, notches), event->position());
    event->accept();
}

void ZoomView::mousePressEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton) {
        dragFrom_ = event->position();
        setCursor(Qt::ClosedHandCursor);
    }
    setFocus(Qt::MouseFocusReason);
}

void ZoomView::mouseMoveEvent(QMouseEvent* event)
{
    if (dragFrom_ && renderer_) {
        const QPointF moved = event->position() - *dragFrom_;
        dragFrom_ = event->position();
        origin_ -= moved / scale_;
        fitted_ = false;
        clampOrigin();
        requestTiles();
        update();
        emit viewChanged();
    }
    reportPointer(event->position());
}

void ZoomView::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton) {
        dragFrom_.reset();
        unsetCursor();
    }
}

void ZoomView::keyPressEvent(QKeyEvent* event)
{
    const QPointF centre(width() / 2.0, height() / 2.0);
    switch (event->key()) {
    case Qt::Key_Plus:
    case Qt::Key_Equal:
        zoomTo(scale_ * 2, centre);
        break;
    case Qt::Key_Minus:
        zoomTo(scale_ / 2, centre);
        break;
    case Qt::Key_0:
        fit();
        break;
    case Qt::Key_1:
        zoomTo(1.0, centre);
        break;
    default:
        QWidget::keyPressEvent(event);
        return;
    }
    event->accept();
}

void ZoomView::leaveEvent(QEvent*)
{
    emit pointerInfo(QString());
}

std::optional<QPoint> ZoomView::resultPixelAt(QPointF p) const
{
    if (!renderer_)
        return std::nullopt;
    const QPointF at = origin_ + p / scale_;
    const int x = static_cast<int>(std::floor(at.x()));
    const int y = static_cast<int>(std::floor(at.y()));
    if (x < 0 || y < 0 || x >= grid_.width() || y >= grid_.height())
        return std::nullopt;
    return QPoint(x, y);
}

QString ZoomView::describePixel(QPoint pixel) const
{
    const double cmPerPixel = 2.54 / ppi_;
    QString text = pixelText_.arg(pixel.x())
                       .arg(pixel.y())
                       .arg(pixel.x() * cmPerPixel, 0, 'f', 2)
                       .arg(pixel.y() * cmPerPixel, 0, 'f', 2)
                       .arg(ppi_, 0, 'g', 6);
    if (renderer_) {
        if (const std::optional<DotAt> dot = renderer_->DotAtPixel(pixel.x(), pixel.y()))
            text += QStringLiteral("  ") + ledText_.arg(dot->led);
    }
    return text;
}

void ZoomView::setStatusTexts(const QString& pixel, const QString& led)
{
    pixelText_ = pixel;
    ledText_ = led;
}

void ZoomView::reportPointer(QPointF p)
{
    const std::optional<QPoint> pixel = resultPixelAt(p);
    emit pointerInfo(pixel ? describePixel(*pixel) : QString());
}

} // namespace lumexa
