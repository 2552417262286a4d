// The inspector in the render window, reached as a user reaches it: the Inspect button and
// File > Inspect... (Ctrl+I) show the final picture fitted to the preview area; the status
// line names the pixel under the pointer; an option clicked on the window is drawn at once;
// a run puts the reduced picture back.
#include "app/window_fixture.h"

#include "app/render_window/render_window.h"
#include "app/render_window/zoom_view.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QTest>
#include <QTimer>

#include <cmath>
#include <optional>

using namespace lumexa;

namespace
{

struct InspectFixture : WindowFixture {
    InspectFixture() : render(shared, prompts, window.get())
    {
        window->setRenderWindow(&render);
        addLeds(3, 12, 12);
        window->Edit1->setText(QStringLiteral("Lu"));
        window->ScrollBar1->setValue(12);
        render.prepareForCommand(window->settingsFromControls());
    }

    // The view's tile that shows the whole result, once it has arrived.
    QImage wholeResult()
    {
        ZoomView& view = *render.Inspector;
        const TileKey top{view.grid().levels() - 1, 0, 0};
        if (!QTest::qWaitFor([&] { return !view.cachedTile(top).isNull(); }, 10000))
            return {};
        return view.cachedTile(top);
    }

    TForm3 render;
};

} // namespace

class RenderWindowZoomTest : public QObject
{
    Q_OBJECT
  private slots:
    void inspectButtonShowsTheResultAndFollowsTheOptions();
    void fileInspectOpensTheWindowOnTheInspector();
};

void RenderWindowZoomTest::inspectButtonShowsTheResultAndFollowsTheOptions()
{
    InspectFixture f;
    TForm3& w = f.render;
    w.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w));
    QVERIFY(w.InspectButton->isVisible());
    QVERIFY(!w.Inspector->isVisible());
    QTest::mouseClick(w.InspectButton, Qt::LeftButton);
    // The scene is laid out on a run of its own: Cancel is offered meanwhile.
    QCOMPARE(w.activity(), TForm3::Activity::Inspecting);
    QVERIFY(w.Button3->isVisible());
    QTRY_VERIFY_WITH_TIMEOUT(w.Inspector->isVisible(), 20000);
    QCOMPARE(w.activity(), TForm3::Activity::Idle);
    QVERIFY(!w.Image1->isVisible());
    ZoomView& view = *w.Inspector;
    QVERIFY(view.hasSource());
    QCOMPARE(view.scale(), std::min(view.fitScale(), ZoomView::kMaxScale));
    QVERIFY(view.hasFocus()); // the keys work at once

    // The status line follows the pointer: the middle of the view is the middle of the result.
    QTest::mouseMove(&view, view.rect().center());
    const std::optional<QPoint> middle = view.resultPixelAt(view.rect().center());
    QVERIFY(middle);
    QVERIFY(std::abs(middle->x() - view.grid().width() / 2) <= 1 / view.scale() + 1);
    QVERIFY(std::abs(middle->y() - view.grid().height() / 2) <= 1 / view.scale() + 1);
    const QString status = w.InspectorStatus->text();
    QVERIFY2(status.startsWith(QStringLiteral("x %1, y %2 px").arg(middle->x()).arg(middle->y())),
             qPrintable(status));
    QVERIFY2(status.contains(QStringLiteral(" cm at 300 dpi)")), qPrintable(status));

    // Keys and the wheel reach the view in the window.
    QTest::keyClick(&view, Qt::Key_1);
    QCOMPARE(view.scale(), 1.0);
    QTest::keyClick(&view, Qt::Key_0);
    QCOMPARE(view.scale(), std::min(view.fitScale(), ZoomView::kMaxScale));

    // Clicking "background" off draws the result without its background cells.
    const QImage with = f.wholeResult();
    QVERIFY(!with.isNull());
    QTest::mouseClick(w.CheckBox4, Qt::LeftButton);
    QVERIFY(!w.CheckBox4->isChecked());
    const QImage without = f.wholeResult();
    QVERIFY(!without.isNull());
    QCOMPARE(without.size(), with.size());
    QVERIFY(without != with);
    QTest::mouseClick(w.CheckBox4, Qt::LeftButton);
    QCOMPARE(f.wholeResult(), with);

    // A preview run shows its reduced picture in place of the inspector.
    QTest::mouseClick(w.Button4, Qt::LeftButton);
    QVERIFY(!w.Inspector->isVisible());
    QVERIFY(!w.InspectButton->isVisible());
    QVERIFY(QTest::qWaitFor(
        [&] { return w.activity() == TForm3::Activity::Idle && !w.runActive(); }, 20000));
    QVERIFY(w.Image1->isVisible());
    QVERIFY(w.InspectButton->isVisible());
}

void RenderWindowZoomTest::fileInspectOpensTheWindowOnTheInspector()
{
    InspectFixture f;
    f.window->show();
    QVERIFY(QTest::qWaitForWindowActive(f.window.get()));
    QVERIFY(f.window->Inspect1->isEnabled());
    bool shown = false;
    bool fitted = false;
    QTimer::singleShot(0, &f.render, [&] {
        TForm3& w = f.render;
        shown = QTest::qWaitFor([&] { return w.Inspector->isVisible(); }, 5000);
        fitted = w.Inspector->hasSource() &&
                 w.Inspector->scale() == std::min(w.Inspector->fitScale(), ZoomView::kMaxScale);
        QTest::mouseClick(w.Button1, Qt::LeftButton);
    });
    QTest::keyClick(f.window.get(), Qt::Key_I, Qt::ControlModifier);
    QVERIFY(shown);
    QVERIFY(fitted);
    // Closing lets go of the picture: the LED images may change before the next render.
    QVERIFY(!f.render.Inspector->hasSource());
}

QTEST_MAIN(RenderWindowZoomTest)
#include "render_window_zoom_test.moc"
