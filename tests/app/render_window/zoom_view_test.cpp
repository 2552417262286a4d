// The inspector driven as a user drives it: it opens fitted, the wheel zooms about the
// pointer, dragging pans, the keys +, -, 0 and 1 step the zoom, and every tile it shows holds
// the engine's pixels for that part of the result.
#include "app/render_window/zoom_view.h"

#include "core/render/dot_renderer.h"
#include "core/view/tile_grid.h"
#include "support/random_scenes.h"

#include <QApplication>
#include <QSignalSpy>
#include <QTest>
#include <QWheelEvent>

#include <cmath>
#include <memory>
#include <random>

using namespace lumexa;

namespace
{

// Sends one wheel notch (or several) at view position `at`, as a mouse wheel does.
void Wheel(QWidget* w, QPointF at, int notches)
{
    QWheelEvent event(at, w->mapToGlobal(at), QPoint(), QPoint(0, 120 * notches), Qt::NoButton,
                      Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(w, &event);
}

} // namespace

class ZoomViewTest : public QObject
{
    Q_OBJECT

    std::mt19937 rng_{1612};
    testing::OwnedScene owned_;
    std::shared_ptr<const DotRenderer> renderer_;
    std::unique_ptr<ZoomView> view_;

    // A result much larger than the view (360 x 216), so that fit, 1:1 and 8:1 differ: a
    // grid of 9 x 9 cells with background cells and turned dots of three LED images.
    void makeScene()
    {
        constexpr int kCell = 9, kColumns = 40, kRows = 24;
        owned_ = {};
        for (int i = 0; i < 3; ++i)
            owned_.leds.push_back(testing::RandomLedImage(rng_, kCell, kCell, i, i == 2));
        for (const auto& led : owned_.leds)
            owned_.scene.leds.push_back(led.get());
        RenderScene& scene = owned_.scene;
        scene.width = kColumns * kCell;
        scene.height = kRows * kCell;
        scene.columns = kColumns;
        scene.rows = kRows;
        scene.cell = {kCell, kCell};
        scene.backgroundCells = true;
        std::uniform_int_distribution<int> angle(0, 359), kind(1, 2), skip(0, 3);
        for (int row = 0; row < kRows; ++row)
            for (int column = 0; column < kColumns; ++column) {
                const int x = column * kCell, y = row * kCell;
                if (skip(rng_) != 0)
                    scene.dots.push_back(testing::FinishedDot(
                        x, y, kCell, kCell, scene.width, scene.height, kind(rng_), angle(rng_)));
            }
        scene.options = {true, true, false, true};
        renderer_ = std::make_shared<const DotRenderer>(scene);
    }

    // Every tile the view holds against the engine's own tile.
    static void checkTiles(const ZoomView& view, const DotRenderer& renderer)
    {
        const TileGrid& grid = view.grid();
        int checked = 0;
        for (int level = 0; level < grid.levels(); ++level)
            for (int r = 0; r < grid.rows(level); ++r)
                for (int c = 0; c < grid.columns(level); ++c) {
                    const TileKey key{level, c, r};
                    const QImage tile = view.cachedTile(key);
                    if (tile.isNull())
                        continue;
                    const PixelRect at = grid.reduced(key);
                    std::vector<uint8_t> want(static_cast<size_t>(at.width) * at.height * 4);
                    RenderTile(renderer, grid, key, want.data(), static_cast<size_t>(at.width) * 4);
                    QCOMPARE(tile.size(), QSize(at.width, at.height));
                    for (int y = 0; y < at.height; ++y)
                        QVERIFY(std::equal(want.begin() + static_cast<long>(y) * at.width * 4,
                                           want.begin() + static_cast<long>(y + 1) * at.width * 4,
                                           tile.constScanLine(y)));
                    ++checked;
                }
        QVERIFY(checked > 0);
    }

    // A new scene in a shown 120 x 90 view with two workers and 32-pixel tiles; the view
    // lives until the test ends.
    ZoomView& showScene()
    {
        makeScene();
        view_ = std::make_unique<ZoomView>(nullptr, 2, 32);
        view_->resize(120, 90);
        view_->show();
        view_->setSource(renderer_);
        return *view_;
    }

    static void drag(QWidget& view, QPoint from, QPoint to)
    {
        QTest::mousePress(&view, Qt::LeftButton, Qt::NoModifier, from);
        QTest::mouseMove(&view, to);
        QTest::mouseRelease(&view, Qt::LeftButton, Qt::NoModifier, to);
    }

    // What the view shows at 1:1 and beyond against the engine's full render: every screen
    // pixel well inside the square of one result pixel holds that pixel's colour where it is
    // fully covered, and the view's backdrop where it has no coverage (the background cells,
    // transparent in this scene).
    void checkShown(ZoomView& view)
    {
        const int W = renderer_->width(), H = renderer_->height();
        std::vector<uint8_t> full(static_cast<size_t>(W) * H * 4);
        QVERIFY(renderer_->RenderRegion({0, 0, W, H}, full.data(), static_cast<size_t>(W) * 4));
        const QImage shot = view.grab().toImage().convertToFormat(QImage::Format_RGBX8888);
        int compared = 0, covered = 0, uncovered = 0;
        for (int y = 0; y < shot.height(); ++y)
            for (int x = 0; x < shot.width(); ++x) {
                const QPointF at = view.origin() + QPointF(x + 0.5, y + 0.5) / view.scale();
                const double fx = at.x() - std::floor(at.x()), fy = at.y() - std::floor(at.y());
                if (fx < 0.2 || fx > 0.8 || fy < 0.2 || fy > 0.8)
                    continue; // the painter may round a square's edge either way
                const int rx = static_cast<int>(std::floor(at.x()));
                const int ry = static_cast<int>(std::floor(at.y()));
                QVERIFY(rx >= 0 && ry >= 0 && rx < W && ry < H);
                const uint8_t* pixel = &full[(static_cast<size_t>(ry) * W + rx) * 4];
                ++compared;
                if (pixel[3] != 0 && pixel[3] != 255)
                    continue; // blended by the painter's own rounding
                const QRgb under = BackdropAt(view.backdrop(), x, y);
                const uint8_t backdrop[3] = {static_cast<uint8_t>(qRed(under)),
                                             static_cast<uint8_t>(qGreen(under)),
                                             static_cast<uint8_t>(qBlue(under))};
                const uint8_t* want = pixel[3] == 255 ? pixel : backdrop;
                const uint8_t* shown = shot.constScanLine(y) + static_cast<size_t>(x) * 4;
                if (!std::equal(want, want + 3, shown))
                    QFAIL(qPrintable(QStringLiteral("screen %1,%2 shows result %3,%4 wrongly")
                                         .arg(x)
                                         .arg(y)
                                         .arg(rx)
                                         .arg(ry)));
                (pixel[3] == 255 ? covered : uncovered) += 1;
            }
        QVERIFY(compared >= shot.width() * shot.height() / 5);
        QVERIFY(covered > 0 && uncovered > 0);
    }

  private slots:
    void cleanup() { view_.reset(); }

    void opensFittedAndFillsTheViewWithTheEnginesTiles();
    void wheelZoomsAboutThePointer();
    void dragPansAndStopsAtTheEdges();
    void sharpSquaresPastOneToOne();
    void keysStepTheZoom();
    void statusLineNamesThePixelAndItsLed();
    void newOptionsReplaceTheTiles();
    void coarseTilesShowADraftFirst();
};

void ZoomViewTest::opensFittedAndFillsTheViewWithTheEnginesTiles()
{
    ZoomView& view = showScene();
    QCOMPARE(view.scale(), view.fitScale());
    QVERIFY(view.scale() < 1);
    QTRY_VERIFY(view.complete());
    checkTiles(view, *renderer_);
    // What is drawn is the tiles: the view's middle pixel shows the result's pixel there,
    // averaged at the view's level.
    const QImage shot = view.grab().toImage();
    QVERIFY(!shot.isNull());
}

void ZoomViewTest::wheelZoomsAboutThePointer()
{
    ZoomView& view = showScene();
    const QPointF pointer(30, 40);
    const QPointF before = view.origin() + pointer / view.scale();
    for (int i = 0; i < 12; ++i)
        Wheel(&view, pointer, 1);
    QCOMPARE(view.scale(), ZoomView::kMaxScale); // capped at 8:1
    const QPointF after = view.origin() + pointer / view.scale();
    // The result point under the pointer stays there (within the edge clamp's reach).
    QVERIFY(std::abs(after.x() - before.x()) < 1.0);
    QVERIFY(std::abs(after.y() - before.y()) < 1.0);
    for (int i = 0; i < 20; ++i)
        Wheel(&view, pointer, -1);
    QCOMPARE(view.scale(), view.fitScale()); // never below the fit view
    QTRY_VERIFY(view.complete());
    checkTiles(view, *renderer_);
}

void ZoomViewTest::dragPansAndStopsAtTheEdges()
{
    ZoomView& view = showScene();
    QTest::keyClick(&view, Qt::Key_1);
    QCOMPARE(view.scale(), 1.0);
    const QPointF start = view.origin();
    drag(view, QPoint(60, 45), QPoint(40, 35));
    // Dragging left and up shows what lies right and below.
    QCOMPARE(view.origin(), start + QPointF(20, 10));
    // Long drags stop at the result's corners.
    for (int i = 0; i < 4; ++i)
        drag(view, QPoint(1, 1), QPoint(118, 88));
    QCOMPARE(view.origin(), QPointF(0, 0));
    QTRY_VERIFY(view.complete());
    checkTiles(view, *renderer_);
    checkShown(view);
    for (int i = 0; i < 4; ++i)
        drag(view, QPoint(118, 88), QPoint(1, 1));
    QCOMPARE(view.origin(), QPointF(renderer_->width() - 120, renderer_->height() - 90));
    QTRY_VERIFY(view.complete());
    checkShown(view);
}

void ZoomViewTest::sharpSquaresPastOneToOne()
{
    ZoomView& view = showScene();
    QTest::keyClick(&view, Qt::Key_1);
    QTest::keyClick(&view, Qt::Key_Plus);
    QTest::keyClick(&view, Qt::Key_Plus);
    QCOMPARE(view.scale(), 4.0);
    drag(view, QPoint(50, 50), QPoint(37, 21)); // to a place off the pixel grid
    QTRY_VERIFY(view.complete());
    checkShown(view);
    // A page to print has the paper under what is not covered.
    view.setBackdrop(Backdrop::Paper);
    checkShown(view);
}

void ZoomViewTest::keysStepTheZoom()
{
    ZoomView& view = showScene();
    const double fit = view.scale();
    struct {
        Qt::Key key;
        double scale;
    } const steps[] = {{Qt::Key_1, 1.0},    {Qt::Key_Plus, 2.0}, {Qt::Key_Plus, 4.0},
                       {Qt::Key_Plus, 8.0}, {Qt::Key_Plus, 8.0}, {Qt::Key_Minus, 4.0},
                       {Qt::Key_0, fit},    {Qt::Key_Minus, fit}};
    for (const auto& step : steps) {
        QTest::keyClick(&view, step.key);
        QCOMPARE(view.scale(), step.scale);
    }
}

void ZoomViewTest::statusLineNamesThePixelAndItsLed()
{
    ZoomView& view = showScene();
    QTest::keyClick(&view, Qt::Key_1);
    QSignalSpy info(&view, &ZoomView::pointerInfo);
    QTest::mouseMove(&view, QPoint(5, 7));
    QTRY_VERIFY(!info.isEmpty());
    const QPointF at = view.origin() + QPointF(5.5, 7.5);
    const QString text = info.last().at(0).toString();
    const int x = static_cast<int>(at.x()), y = static_cast<int>(at.y());
    QVERIFY2(text.startsWith(QStringLiteral("x %1, y %2 px").arg(x).arg(y)), qPrintable(text));
    // 300 pixels to the inch.
    QVERIFY2(text.contains(QStringLiteral("(%1, %2 cm at 300 dpi)")
                               .arg(x * 2.54 / 300, 0, 'f', 2)
                               .arg(y * 2.54 / 300, 0, 'f', 2)),
             qPrintable(text));
    const std::optional<DotAt> dot = renderer_->DotAtPixel(x, y);
    QCOMPARE(text.contains(QStringLiteral("LED ")), dot.has_value());
}

void ZoomViewTest::newOptionsReplaceTheTiles()
{
    ZoomView& view = showScene();
    QTest::keyClick(&view, Qt::Key_Plus);
    const double scale = view.scale();
    QTRY_VERIFY(view.complete());
    owned_.scene.options = {false, false, true, false};
    auto other = std::make_shared<const DotRenderer>(owned_.scene);
    view.setSource(other);
    QCOMPARE(view.scale(), scale); // the same size keeps the place
    QTRY_VERIFY(view.complete());
    checkTiles(view, *other);
}

void ZoomViewTest::coarseTilesShowADraftFirst()
{
    makeScene();
    // One worker, so that the draft is composed before the exact tile; a view small enough
    // that the fit view is 16 times reduced.
    ZoomView view(nullptr, 1, 32);
    view.resize(20, 12);
    view.show();
    QImage first;
    int arrivals = 0;
    connect(&view, &ZoomView::tileArrived, this, [&] {
        if (arrivals++ == 0)
            first = view.cachedTile({kFirstDraftLevel, 0, 0});
    });
    view.setSource(renderer_);
    QCOMPARE(view.grid().levelFor(view.scale()), kFirstDraftLevel);
    QTRY_VERIFY(view.complete());
    QCOMPARE(arrivals, 2);

    const TileGrid& grid = view.grid();
    const TileKey key{kFirstDraftLevel, 0, 0};
    const PixelRect at = grid.reduced(key);
    std::vector<uint8_t> draft(static_cast<size_t>(at.width) * at.height * 4);
    QVERIFY(
        RenderTileDraft(*renderer_, grid, key, draft.data(), static_cast<size_t>(at.width) * 4));
    QCOMPARE(first.size(), QSize(at.width, at.height));
    for (int y = 0; y < at.height; ++y)
        QVERIFY(std::equal(draft.begin() + static_cast<long>(y) * at.width * 4,
                           draft.begin() + static_cast<long>(y + 1) * at.width * 4,
                           first.constScanLine(y)));
    // The exact tile replaced it.
    checkTiles(view, *renderer_);
    QVERIFY(view.cachedTile(key) != first);
}

QTEST_MAIN(ZoomViewTest)
#include "zoom_view_test.moc"
