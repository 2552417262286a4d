// The about window: the scroller's endless run, its stop and start, and the hidden
// history box behind the logo.
#include "app/dialogs/about_window.h"

#include <QLabel>
#include <QPlainTextEdit>
#include <QTest>

using namespace lumexa;

class AboutWindowTest : public QObject
{
    Q_OBJECT
  private slots:
    void scrollerRunsOneToFourteenTimesTheLines();
    void clickStopsAndStartsTheScroller();
    void closingStopsTheScroller();
    void historyBoxTogglesOnlyAtItsSpot();
};

void AboutWindowTest::scrollerRunsOneToFourteenTimesTheLines()
{
    TFormInfo about;
    QCOMPARE(about.size(), QSize(392, 261));
    const int n = about.aboutLineCount();
    QVERIFY(n >= 3 && n <= 20);
    QCOMPARE(about.scrollerPosition(), 0);
    for (int i = 1; i <= 14 * n; ++i) {
        about.Timer1Timer();
        QCOMPARE(about.scrollerPosition(), i);
    }
    about.Timer1Timer();
    QCOMPARE(about.scrollerPosition(), 1);
    QCOMPARE(about.scrollerBox()->pixmap().size(), QSize(289, 40));
}

void AboutWindowTest::clickStopsAndStartsTheScroller()
{
    TFormInfo about;
    about.Image2Click();
    about.Timer1Timer();
    QCOMPARE(about.scrollerPosition(), 0);
    QTest::mouseClick(about.scrollerBox(), Qt::LeftButton);
    about.Timer1Timer();
    QCOMPARE(about.scrollerPosition(), 1);
}

void AboutWindowTest::closingStopsTheScroller()
{
    TFormInfo about;
    QVERIFY(about.scrollerRunning());
    about.accept();
    QVERIFY(!about.scrollerRunning());
}

void AboutWindowTest::historyBoxTogglesOnlyAtItsSpot()
{
    TFormInfo about;
    QVERIFY(about.historyBox()->isHidden());
    about.Image1MouseDown(Qt::LeftButton, QPoint(277, 100));
    QVERIFY(!about.historyBox()->isHidden());
    about.Image1MouseDown(Qt::RightButton, QPoint(277, 100));
    QVERIFY(!about.historyBox()->isHidden());
    about.Image1MouseDown(Qt::LeftButton, QPoint(277, 100));
    QVERIFY(about.historyBox()->isHidden());
    about.Image1MouseDown(Qt::LeftButton, QPoint(269, 100));
    about.Image1MouseDown(Qt::LeftButton, QPoint(277, 107));
    QVERIFY(about.historyBox()->isHidden());
}

QTEST_MAIN(AboutWindowTest)
#include "about_window_test.moc"
