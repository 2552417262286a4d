// The preview drawing: where a dot lands, the scroll range, the style backgrounds and
// the Points marker, and the status texts in each unit.
#include "app/main_window/built_in_pictures.h"
#include "app/main_window/preview_painter.h"
#include "app/main_window/status_texts.h"

#include <QTest>

using namespace lumexa;

namespace
{

TDotRecord dotAt(int x, int y, int kind)
{
    TDotRecord d;
    d.x = x;
    d.y = y;
    d.width = 16;
    d.height = 16;
    d.kind = kind;
    return d;
}

} // namespace

class PreviewTest : public QObject
{
    Q_OBJECT
  private slots:
    void dotIsScaledAndCentred();
    void cellsOfOtherSizesKeepTheirProportions();
    void narrowPictureGetsScrollMaximumOne();
    void builtInPicturesGiveTheBackgrounds();
    void pointsWithoutLedsDrawWhiteCrossedBoxes();
    void ledDotsAreDrawnWithTheirPictures();
    void statusTextsInEachUnit_data();
    void statusTextsInEachUnit();
};

void PreviewTest::dotIsScaledAndCentred()
{
    // Scale 5, cells of 16: the dot at (32, 48) lands at (10 - scroll, 15 + offset).
    const DotList dots{dotAt(32, 48, -1)};
    PreviewScene scene;
    scene.dots = &dots;
    scene.cellWidth = 16;
    scene.rows = 20;
    scene.scale = 5;
    scene.box = QSize(200, 160);
    scene.scrollOffset = 3;
    const int offset = PreviewVerticalOffset(160, 20, 5);
    QCOMPARE(offset, 30);
    const QImage canvas = PaintPreview(scene);
    QCOMPARE(canvas.size(), QSize(200, 160));
    QCOMPARE(canvas.pixelColor(7, 45), QColor(Qt::black));
    QCOMPARE(canvas.pixelColor(11, 49), QColor(Qt::black));
    QCOMPARE(canvas.pixelColor(6, 45), QColor(Qt::white));
    QCOMPARE(canvas.pixelColor(7, 44), QColor(Qt::white));
    QCOMPARE(canvas.pixelColor(12, 50), QColor(Qt::white));
}

void PreviewTest::cellsOfOtherSizesKeepTheirProportions()
{
    // LED image 0 of 20 x 10 at Scale 10: squares 10 apart across and 5 apart down.
    const DotList dots{dotAt(20, 10, 1), dotAt(40, 10, 1), dotAt(20, 20, 1)};
    QImage led(20, 10, QImage::Format_RGB888);
    led.fill(Qt::green);
    PreviewScene scene;
    scene.dots = &dots;
    scene.style = 7;
    scene.cellWidth = 20;
    scene.rows = 0;
    scene.ledCount = 2;
    scene.ledPictures = {led, led};
    scene.scale = 10;
    scene.box = QSize(100, 100);
    const QImage canvas = PaintPreview(scene);
    const int top = PreviewVerticalOffset(100, 0, 10);
    QCOMPARE(canvas.pixelColor(10, top + 5), QColor(Qt::green));
    QCOMPARE(canvas.pixelColor(29, top + 14), QColor(Qt::green));
    QCOMPARE(canvas.pixelColor(19, top + 19), QColor(Qt::green));
    QCOMPARE(canvas.pixelColor(20, top + 19), QColor(Qt::white));
    QCOMPARE(canvas.pixelColor(30, top + 5), QColor(Qt::white));
    QCOMPARE(canvas.pixelColor(9, top + 5), QColor(Qt::white));
}

void PreviewTest::narrowPictureGetsScrollMaximumOne()
{
    QCOMPARE(PreviewScrollMaximum(160, 5, 16, 400, 0), 1);
    QCOMPARE(PreviewScrollMaximum(3200, 5, 16, 400, 0), 600);
}

void PreviewTest::builtInPicturesGiveTheBackgrounds()
{
    for (int style = 1; style <= 7; ++style)
        QCOMPARE(PreviewBackground(style), style == 4 ? QColor(Qt::black) : QColor(Qt::white));
    const QImage flat = BuiltInPicture(0);
    QCOMPARE(flat.size(), QSize(16, 16));
    QCOMPARE(flat.pixelColor(14, 14), QColor(Qt::black));
    QCOMPARE(flat.pixelColor(15, 3), QColor(Qt::white));
    QCOMPARE(flat.pixelColor(3, 15), QColor(Qt::white));
}

void PreviewTest::pointsWithoutLedsDrawWhiteCrossedBoxes()
{
    const DotList dots{dotAt(0, 0, 0)};
    PreviewScene scene;
    scene.dots = &dots;
    scene.style = 4;
    scene.cellWidth = 16;
    scene.rows = 0;
    scene.scale = 10;
    scene.box = QSize(40, 40);
    const QImage canvas = PaintPreview(scene);
    const int top = PreviewVerticalOffset(40, 0, 10);
    QCOMPARE(canvas.pixelColor(0, top), QColor(Qt::white));     // outline
    QCOMPARE(canvas.pixelColor(5, top + 5), QColor(Qt::white)); // diagonal
    QCOMPARE(canvas.pixelColor(5, top + 2), QColor(Qt::black)); // ground shows through
    QCOMPARE(canvas.pixelColor(30, 30), QColor(Qt::black));
}

void PreviewTest::ledDotsAreDrawnWithTheirPictures()
{
    // A tag naming an LED image that is not loaded shows red.
    const DotList dots{dotAt(0, 0, 1), dotAt(16, 0, 9)};
    QImage led(16, 16, QImage::Format_RGB888);
    led.fill(Qt::blue);
    PreviewScene scene;
    scene.dots = &dots;
    scene.style = 6;
    scene.cellWidth = 16;
    scene.rows = 1;
    scene.ledCount = 2;
    scene.ledPictures = {led, led};
    scene.scale = 8;
    scene.box = QSize(40, 8);
    const QImage canvas = PaintPreview(scene);
    QCOMPARE(canvas.pixelColor(3, 3), QColor(Qt::blue));
    QCOMPARE(canvas.pixelColor(11, 3), QColor(255, 0, 0));
    QCOMPARE(canvas.pixelColor(20, 3), QColor(Qt::white));
}

void PreviewTest::statusTextsInEachUnit_data()
{
    QTest::addColumn<int>("unit");
    QTest::addColumn<int>("dpi");
    QTest::addColumn<QString>("panel2");
    QTest::newRow("pixels") << int(SizeUnit::Pixels) << 300 << "S24: 1600 x 320 S25";
    QTest::newRow("pixels, resolution unused")
        << int(SizeUnit::Pixels) << 72 << "S24: 1600 x 320 S25";
    QTest::newRow("inch") << int(SizeUnit::Inch) << 300 << "S24: 5.33 x 1.07 S26";
    QTest::newRow("cm") << int(SizeUnit::Cm) << 300 << "S24: 13.55 x 2.71 S27";
    QTest::newRow("inch at 160") << int(SizeUnit::Inch) << 160 << "S24: 10.00 x 2.00 S26";
    QTest::newRow("cm at 1000") << int(SizeUnit::Cm) << 1000 << "S24: 4.06 x 0.81 S27";
}

void PreviewTest::statusTextsInEachUnit()
{
    QFETCH(int, unit);
    QFETCH(int, dpi);
    QFETCH(QString, panel2);
    const auto text = [](int n) { return QStringLiteral("S%1").arg(n); };
    StatusValues v;
    v.fontDots = 13;
    v.columns = 100;
    v.rows = 20;
    v.ledCount = 2;
    v.ledWidth = 16;
    v.ledHeight = 16;
    v.dpi = dpi;
    const QStringList panels = StatusTexts(text, v, static_cast<SizeUnit>(unit));
    QCOMPARE(panels.at(0), QStringLiteral("S22: 13"));
    QCOMPARE(panels.at(1), QStringLiteral("S23: 100 x 20 S153"));
    QCOMPARE(panels.at(2), panel2);
    // A language file without the unit's string keeps the English unit.
    const auto older = [&text](int n) { return n == 153 ? QString() : text(n); };
    QCOMPARE(StatusTexts(older, v, static_cast<SizeUnit>(unit)).at(1),
             QStringLiteral("S23: 100 x 20 dots"));
    v.ledCount = 0;
    QCOMPARE(StatusTexts(text, v, static_cast<SizeUnit>(unit)).at(2), QStringLiteral("S28"));
}

QTEST_MAIN(PreviewTest)
#include "preview_test.moc"
