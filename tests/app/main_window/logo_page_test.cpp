// The Logo page: the question before loading, the refusal of large logos, the logo's
// rectangle in Image13, the prompt in the preview and the status bar without the text's
// figures when no logo is loaded, and the logo's own file dialog.
#include "app/window_fixture.h"

#include "app/main_window/preview_box.h"

#include <QAction>
#include <QApplication>
#include <QFile>
#include <QLabel>
#include <QPushButton>
#include <QTabBar>
#include <QTabWidget>
#include <QTest>

using namespace lumexa;

class LogoPageTest : public QObject
{
    Q_OBJECT
  private slots:
    void answeringNoChangesNothing();
    void refusedLogoKeepsTheOneInUse();
    void logoIsShownInItsRectangle();
    void largeLogoIsRefused();
    void previewShowsThePromptWithoutALogo();
    void statusBarShowsNoTextFiguresWithoutALogo();
    void logoDialogHasItsOwnTitleAndKeepsTheChosenType();
};

void LogoPageTest::answeringNoChangesNothing()
{
    WindowFixture f;
    TForm1& w = *f.window;
    // Nothing to replace yet: the dialog comes without a question.
    f.prompts.files.enqueue(f.picture(QStringLiteral("first.png"), 40, 20));
    QTest::mouseClick(w.Button7, Qt::LeftButton);
    QVERIFY(f.prompts.questions.isEmpty());
    QVERIFY(f.shared.logo.loaded);

    f.prompts.answers.enqueue(false);
    QTest::mouseClick(w.Button7, Qt::LeftButton);
    QCOMPARE(f.prompts.questions.size(), 1);
    QCOMPARE(f.prompts.questions.at(0).text, f.text(45));
    QCOMPARE(f.prompts.fileDialogs, 1);
}

void LogoPageTest::refusedLogoKeepsTheOneInUse()
{
    WindowFixture f;
    TForm1& w = *f.window;
    w.show();
    QTest::mouseClick(w.PageControl1->tabBar(), Qt::LeftButton, {},
                      w.PageControl1->tabBar()->tabRect(1).center());
    const QString first = f.picture(QStringLiteral("first.png"), 40, 20);
    f.prompts.files.enqueue(first);
    QTest::mouseClick(w.Button7, Qt::LeftButton);
    const QImage shown = w.PaintBox1->canvas();
    for (const QString& refused : {f.picture(QStringLiteral("big.png"), 513, 10),
                                   f.folder.filePath(QStringLiteral("broken.png"))}) {
        QFile(refused).open(QIODevice::Append);
        f.prompts.answers.enqueue(true);
        f.prompts.files.enqueue(refused);
        QTest::mouseClick(w.Button7, Qt::LeftButton);
        QVERIFY(f.shared.logo.loaded);
        QCOMPARE(QString::fromStdString(f.shared.logo.fileName), first);
        QCOMPARE(f.shared.logo.picture.width(), 40);
        QCOMPARE(w.PaintBox1->canvas(), shown);
    }
}

void LogoPageTest::logoIsShownInItsRectangle()
{
    WindowFixture f;
    TForm1& w = *f.window;
    w.PageControl1->setCurrentIndex(1);
    f.prompts.answers.enqueue(true);
    f.prompts.files.enqueue(f.picture(QStringLiteral("logo.png"), 100, 50, Qt::blue));
    w.Button7Click();
    QVERIFY(f.shared.logo.loaded);
    const QImage shown = w.Image13->pixmap().toImage();
    QCOMPARE(shown.size(), QSize(204, 103));
    // From (52, 26) to (152, 76), right and bottom exclusive; button face around it.
    const QColor face = w.palette().color(QPalette::Button);
    QCOMPARE(shown.pixelColor(52, 26), QColor(Qt::blue));
    QCOMPARE(shown.pixelColor(151, 75), QColor(Qt::blue));
    QCOMPARE(shown.pixelColor(51, 26), face);
    QCOMPARE(shown.pixelColor(152, 76), face);
    QCOMPARE(shown.pixelColor(100, 25), face);
    // A logo of one colour has no threshold range, which the preview reports inline; one
    // with light and dark parts is laid out.
    QVERIFY(f.prompts.messages.isEmpty());
    QVERIFY(!w.PaintBox1->problem().isEmpty());
    QImage pattern(40, 20, QImage::Format_RGB32);
    pattern.fill(Qt::white);
    for (int y = 5; y < 15; ++y)
        for (int x = 5; x < 35; ++x)
            pattern.setPixelColor(x, y, Qt::black);
    const QString patternFile = f.folder.filePath(QStringLiteral("pattern.png"));
    QVERIFY(pattern.save(patternFile));
    f.prompts.answers.enqueue(true);
    f.prompts.files.enqueue(patternFile);
    w.Button7Click();
    QVERIFY(f.prompts.messages.isEmpty());
    QVERIFY(w.PaintBox1->problem().isEmpty());
    QVERIFY(!w.dots().empty());

    // No to the next question keeps the logo.
    f.prompts.answers.enqueue(false);
    w.Button7Click();
    QVERIFY(f.shared.logo.loaded);
}

void LogoPageTest::largeLogoIsRefused()
{
    WindowFixture f;
    TForm1& w = *f.window;
    for (const QSize size : {QSize(513, 10), QSize(10, 513)}) {
        f.prompts.files.enqueue(f.picture(QStringLiteral("big.png"), size.width(), size.height()));
        w.Button7Click();
        QCOMPARE(f.prompts.messages.last().text, f.text(44));
        QCOMPARE(f.prompts.messages.last().caption, f.text(30));
        QVERIFY(!f.shared.logo.loaded);
    }
    f.prompts.files.enqueue(f.picture(QStringLiteral("edge.png"), 512, 512));
    w.Button7Click();
    QVERIFY(f.shared.logo.loaded);
}

void LogoPageTest::previewShowsThePromptWithoutALogo()
{
    WindowFixture f;
    TForm1& w = *f.window;
    w.PaintBox1->resize(300, 200);
    f.addLeds(2);
    QVERIFY(w.Render1->isEnabled());
    w.PageControl1->setCurrentIndex(1);
    const QImage canvas = w.PaintBox1->canvas();
    QCOMPARE(canvas.size(), QSize(300, 200));
    QCOMPARE(canvas.pixelColor(0, 0), QColor(Qt::black));
    bool anyWhite = false;
    for (int x = 0; x < canvas.width() && !anyWhite; ++x)
        anyWhite = canvas.pixelColor(x, 100) == QColor(Qt::white);
    QVERIFY(anyWhite);
    QVERIFY(!w.Render1->isEnabled());
}

void LogoPageTest::statusBarShowsNoTextFiguresWithoutALogo()
{
    WindowFixture f;
    TForm1& w = *f.window;
    w.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w));
    f.addLeds(2);
    const QString textFigures = w.StatusPanel0->text();
    QVERIFY(textFigures != f.text(85));
    QTabBar* tabs = w.PageControl1->tabBar();
    QTest::mouseClick(tabs, Qt::LeftButton, {}, tabs->tabRect(1).center());
    QCOMPARE(w.PageControl1->currentIndex(), 1);
    // The panels' own captions while there is no logo to measure.
    QCOMPARE(w.StatusPanel0->text(), f.text(85));
    QCOMPARE(w.StatusPanel1->text(), f.text(86));
    QCOMPARE(w.StatusPanel2->text(), f.text(87));
    // A logo has figures of its own; the Text page has the text's again.
    QImage logo(40, 20, QImage::Format_RGB32);
    logo.fill(Qt::white);
    for (int y = 5; y < 15; ++y)
        for (int x = 5; x < 35; ++x)
            logo.setPixelColor(x, y, Qt::black);
    const QString logoFile = f.folder.filePath(QStringLiteral("logo.png"));
    QVERIFY(logo.save(logoFile));
    f.prompts.files.enqueue(logoFile);
    QTest::mouseClick(w.Button7, Qt::LeftButton);
    QVERIFY(f.shared.logo.loaded);
    QVERIFY2(w.StatusPanel1->text() != f.text(86), qPrintable(w.StatusPanel1->text()));
    QTest::mouseClick(tabs, Qt::LeftButton, {}, tabs->tabRect(0).center());
    QCOMPARE(w.StatusPanel0->text(), textFigures);
}

void LogoPageTest::logoDialogHasItsOwnTitleAndKeepsTheChosenType()
{
    WindowFixture f;
    TForm1& w = *f.window;
    w.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w));
    QTabBar* tabs = w.PageControl1->tabBar();
    QTest::mouseClick(tabs, Qt::LeftButton, {}, tabs->tabRect(1).center());
    // PNG chosen in the dialog (type 6) and a PNG logo taken.
    f.prompts.filters.enqueue(6);
    f.prompts.files.enqueue(f.picture(QStringLiteral("logo.png"), 40, 20, Qt::black));
    QTest::mouseClick(w.Button7, Qt::LeftButton);
    QCOMPARE(f.prompts.lastRequest.title, QStringLiteral("Open logo picture"));
    QVERIFY(f.prompts.lastRequest.filters.at(4).startsWith(QStringLiteral("RLE file")));
    f.prompts.answers.enqueue(true); // replace the logo
    QTest::mouseClick(w.Button7, Qt::LeftButton);
    QCOMPARE(f.prompts.lastRequest.selectedFilter, 6);
    // The LED pictures' dialog keeps its own title and type.
    QTest::mouseClick(tabs, Qt::LeftButton, {}, tabs->tabRect(0).center());
    QTest::mouseClick(w.Button1, Qt::LeftButton);
    QCOMPARE(f.prompts.lastRequest.title, f.text(77));
    QCOMPARE(f.prompts.lastRequest.selectedFilter, 8);
    f.prompts.filters.enqueue(6);
    f.prompts.files.enqueue(f.picture(QStringLiteral("led.png"), 20, 10));
    QTest::mouseClick(w.Button1, Qt::LeftButton);
    QTest::mouseClick(w.Button1, Qt::LeftButton);
    QCOMPARE(f.prompts.lastRequest.selectedFilter, 6);
    // "All files" stays chosen, whatever the picture taken.
    f.prompts.filters.enqueue(9);
    f.prompts.files.enqueue(f.picture(QStringLiteral("led2.png"), 20, 10));
    QTest::mouseClick(w.Button1, Qt::LeftButton);
    QTest::mouseClick(w.Button1, Qt::LeftButton);
    QCOMPARE(f.prompts.lastRequest.selectedFilter, 9);
}

QTEST_MAIN(LogoPageTest)
#include "logo_page_test.moc"
