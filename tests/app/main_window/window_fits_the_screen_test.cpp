// The main window on a screen with less room than its designed size: a 1600 x 1000 screen
// at a scale factor of 2 leaves 800 x 500. The window opens inside the screen, title bar
// and menu on it, also when a larger size was remembered from a bigger screen.
#include "app/window_fixture.h"

#include <QApplication>
#include <QFile>
#include <QMenuBar>
#include <QScreen>
#include <QTemporaryDir>
#include <QTest>

using namespace lumexa;

class WindowFitsTheScreenTest : public QObject
{
    Q_OBJECT
  private slots:
    void initTestCase() { QApplication::setQuitOnLastWindowClosed(false); }
    void windowOpensInsideTheScreen_data();
    void windowOpensInsideTheScreen();
};

void WindowFitsTheScreenTest::windowOpensInsideTheScreen_data()
{
    QTest::addColumn<QSize>("remembered"); // empty: nothing remembered
    QTest::newRow("first start") << QSize();
    QTest::newRow("remembered from a bigger screen") << QSize(1200, 900);
}

void WindowFitsTheScreenTest::windowOpensInsideTheScreen()
{
    QFETCH(QSize, remembered);
    const QRect available = QGuiApplication::primaryScreen()->availableGeometry();
    QCOMPARE(available.size(), QSize(800, 500));
    if (remembered.isValid()) {
        WindowFixture earlier;
        earlier.window->setMinimumSize(0, 0);
        earlier.window->resize(remembered);
        earlier.window->move(300, 200);
        earlier.window->show();
        QVERIFY(QTest::qWaitForWindowExposed(earlier.window.get()));
        earlier.prompts.saveAnswers.enqueue(SaveAnswer::Discard);
        earlier.window->close();
    }
    WindowFixture f(true);
    TForm1& w = *f.window;
    w.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w));
    const QRect frame = w.frameGeometry();
    QVERIFY2(available.contains(frame), qPrintable(QStringLiteral("%1,%2 %3x%4")
                                                       .arg(frame.x())
                                                       .arg(frame.y())
                                                       .arg(frame.width())
                                                       .arg(frame.height())));
    // The menu bar is on the screen, where the mouse reaches it.
    const QPoint menu = w.menuBar()->mapToGlobal(QPoint(0, 0));
    QVERIFY(available.contains(menu));
}

int main(int argc, char* argv[])
{
    // A 1600 x 1000 screen at twice the scale, set up before the application starts.
    QTemporaryDir folder;
    const QString config = folder.filePath(QStringLiteral("screen.json"));
    QFile file(config);
    if (!file.open(QIODevice::WriteOnly))
        return 1;
    file.write(R"({"screens": [{"name": "large", "x": 0, "y": 0, "width": 1600, "height": 1000,
                  "logicalDpi": 96, "logicalBaseDpi": 96, "dpr": 1}]})");
    file.close();
    qputenv("QT_QPA_PLATFORM", "offscreen:configfile=" + QFile::encodeName(config));
    qputenv("QT_SCALE_FACTOR", "2");
    QApplication app(argc, argv);
    WindowFitsTheScreenTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "window_fits_the_screen_test.moc"
