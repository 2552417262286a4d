// The main window's start-up state, page switching, "Clear", the style rules and the
// showing of recompute errors and the preview drawn by the window.
#include "app/window_fixture.h"

#include "app/main_window/preview_box.h"

#include <QAction>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QScrollBar>
#include <QTabWidget>
#include <QTest>
#include <QToolButton>

using namespace lumexa;

class MainWindowTest : public QObject
{
    Q_OBJECT
  private slots:
    void startsWithDesignDefaults();
    void startsWithLedCommandsDisabledAndSixteenPixelCells();
    void returningFromWindowsKeepsTheTextAndBringsEnglishBack();
    void firstShowingActivates();
    void logoPageTakesPreviewAwayAndBackOnlyWithTwoLeds();
    void clearRemovesEveryTagOpening_data();
    void clearRemovesEveryTagOpening();
    void randomAndPreviewNeedTwoLeds_data();
    void randomAndPreviewNeedTwoLeds();
    void pointsShowsDensityInPlaceOfThreshold();
    void recomputeErrorIsShownOncePerNewError();
    void statusBarIsFilledByTheRecompute();
    void controlChangesClearTheSaveQuestion();
    void newSeedFillsTheSeedField();
    void previewDrawsEveryDotWhereTheScaleSays();
    void changeTheLanguageAppliesItsCaptions();
};

void MainWindowTest::startsWithDesignDefaults()
{
    WindowFixture f;
    TForm1& w = *f.window;
    QCOMPARE(w.size(), QSize(640, 578));
    QCOMPARE(w.minimumSize(), QSize(640, 540));
    QCOMPARE(w.windowTitle(), f.text(108) + QStringLiteral("[*] — LUMEXA•••"));
    const struct {
        QScrollBar* bar;
        int min, max, value;
    } bars[] = {{w.ScrollBar6, 0, 200, 0}, {w.ScrollBar3, 2, 16, 5},  {w.ScrollBar1, 6, 32, 20},
                {w.ScrollBar5, 1, 30, 10}, {w.ScrollBar8, 1, 10, 10}, {w.ScrollBar7, 0, 10, 0}};
    for (const auto& b : bars) {
        QCOMPARE(b.bar->minimum(), b.min);
        QCOMPARE(b.bar->maximum(), b.max);
        QCOMPARE(b.bar->value(), b.value);
    }
    // The threshold keeps its default; its range is narrowed by the text's grey levels.
    QCOMPARE(w.ScrollBar2->value(), 128);
    QCOMPARE(w.ScrollBar2->pageStep(), 25);
    QCOMPARE(w.ScrollBar4->value(), 0);
    QCOMPARE(w.MaskEdit1->text(), QStringLiteral("25071971"));
    QVERIFY(w.SpeedButton1->isChecked());
    QCOMPARE(w.styleNumber(), 1);
    QCOMPARE(w.PageControl1->currentIndex(), 0);
    QVERIFY(w.ListBox1->currentRow() >= 0);
    QVERIFY(w.Inf1->isChecked());
    QVERIFY(w.ScrollBar5->isHidden());
    QVERIFY(w.ScrollBar8->isHidden());
    QVERIFY(w.buildPreviewEnabled);
    // Every control can be found under its design name.
    for (const char* name : {"ScrollBar2", "Edit1", "SpeedButton4", "BitBtn1", "PaintBox1",
                             "ScrollBox1", "Image13", "Button7", "CheckBox1", "StatusBar1"})
        QVERIFY2(w.findChild<QObject*>(QString::fromLatin1(name)) != nullptr, name);
    // Captions come from the language file.
    QCOMPARE(w.Button1->text(), f.text(54));
    QCOMPARE(w.SpeedButton7->text(), f.text(52));
}

void MainWindowTest::startsWithLedCommandsDisabledAndSixteenPixelCells()
{
    WindowFixture f;
    TForm1& w = *f.window;
    QVERIFY(!w.Render1->isEnabled());
    QVERIFY(!w.SpeedButton5->isEnabled());
    QVERIFY(!w.SpeedButton6->isEnabled());
    QVERIFY(!w.SpeedButton7->isEnabled());
    w.PrewkaS();
    QVERIFY(!w.dots().empty());
    QCOMPARE(w.cellWidth(), 16);
    for (const TDotRecord& dot : w.dots()) {
        QCOMPARE(dot.width, 16);
        QCOMPARE(dot.height, 16);
        QCOMPARE(dot.kind, -1);
    }
}

void MainWindowTest::returningFromWindowsKeepsTheTextAndBringsEnglishBack()
{
    WindowFixture f;
    QVERIFY(!f.text(35).isEmpty());
    TForm1& w = *f.window;
    w.Edit1->setText(QStringLiteral("something else"));
    // A file dialog or a message box hands the focus back without an activation.
    w.Button1Click(w.Button1);
    w.Button1Click(w.Button3);
    QCOMPARE(w.Edit1->text(), QStringLiteral("something else"));
    // Closing the about window brings English back but keeps the user's text.
    int abouts = 0;
    connect(&w, &TForm1::aboutRequested, this, [&abouts] { ++abouts; });
    w.Button1->setText(QStringLiteral("changed"));
    w.About1->trigger();
    QCOMPARE(abouts, 1);
    QCOMPARE(w.Button1->text(), f.text(54));
    QCOMPARE(w.Edit1->text(), QStringLiteral("something else"));
}

void MainWindowTest::firstShowingActivates()
{
    TForm4 shared;
    ScriptedPrompts prompts;
    TForm1 w(shared, prompts);
    w.setProgramFolder(QStringLiteral(LUMEXA_BIN));
    QVERIFY(w.Button1->text() == QStringLiteral("Add"));
    w.show();
    QCOMPARE(w.Button1->text(), shared.text(54));
    QCOMPARE(w.Edit1->text(), shared.text(35));
    QVERIFY(!w.dots().empty());
}

void MainWindowTest::logoPageTakesPreviewAwayAndBackOnlyWithTwoLeds()
{
    WindowFixture f;
    TForm1& w = *f.window;
    f.addLeds(2);
    QVERIFY(w.SpeedButton6->isEnabled());
    w.SpeedButton6->click();
    QCOMPARE(w.styleNumber(), 6);

    w.PageControl1->setCurrentIndex(1);
    QVERIFY(w.SpeedButton1->isChecked());
    QVERIFY(!w.SpeedButton6->isEnabled());
    QVERIFY(w.ScrollBar1->isHidden());
    QVERIFY(!w.ScrollBar8->isHidden());
    QVERIFY(!w.Image14->isHidden());
    QVERIFY(!w.Render1->isEnabled());

    w.PageControl1->setCurrentIndex(0);
    QVERIFY(w.SpeedButton6->isEnabled());
    QVERIFY(!w.ScrollBar1->isHidden());
    QVERIFY(w.ScrollBar8->isHidden());
    QVERIFY(w.Render1->isEnabled());

    // With one LED image the Text page leaves "Preview" disabled.
    WindowFixture one;
    one.addLeds(1);
    one.window->PageControl1->setCurrentIndex(1);
    one.window->PageControl1->setCurrentIndex(0);
    QVERIFY(!one.window->SpeedButton6->isEnabled());
}

void MainWindowTest::clearRemovesEveryTagOpening_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("cleared");
    QTest::newRow("tags") << "ab[&+05]cd[&-05]e"
                          << "abcde";
    QTest::newRow("not a tag") << "[&zzzzX"
                               << "[&zzzzX";
    QTest::newRow("no tags") << "plain"
                             << "plain";
}

void MainWindowTest::clearRemovesEveryTagOpening()
{
    QFETCH(QString, text);
    QFETCH(QString, cleared);
    WindowFixture f;
    f.window->Edit1->setText(text);
    f.window->Button4->click();
    QCOMPARE(f.window->Edit1->text(), cleared);
}

void MainWindowTest::randomAndPreviewNeedTwoLeds_data()
{
    QTest::addColumn<int>("style");
    QTest::addColumn<int>("message");
    QTest::newRow("Random") << 5 << 40;
    QTest::newRow("Preview") << 6 << 41;
}

void MainWindowTest::randomAndPreviewNeedTwoLeds()
{
    QFETCH(int, style);
    QFETCH(int, message);
    WindowFixture f;
    TForm1& w = *f.window;
    f.addLeds(1);
    // The buttons are disabled; a project or a keyboard can still put them down.
    (style == 5 ? w.SpeedButton5 : w.SpeedButton6)->setChecked(true);
    w.SpeedButton1Click();
    QCOMPARE(f.prompts.messages.size(), 1);
    QCOMPARE(f.prompts.messages.at(0).caption, f.text(30));
    QCOMPARE(f.prompts.messages.at(0).text, f.text(message));
    QVERIFY(w.SpeedButton1->isChecked());

    f.addLeds(1);
    (style == 5 ? w.SpeedButton5 : w.SpeedButton6)->click();
    QCOMPARE(f.prompts.messages.size(), 1);
    QCOMPARE(w.styleNumber(), style);
}

void MainWindowTest::pointsShowsDensityInPlaceOfThreshold()
{
    WindowFixture f;
    TForm1& w = *f.window;
    w.SpeedButton4->click();
    QVERIFY(!w.ScrollBar5->isHidden());
    QVERIFY(!w.Image7->isHidden());
    QVERIFY(w.ScrollBar2->isHidden());
    QVERIFY(w.Image4->isHidden());
    w.SpeedButton3->click();
    QVERIFY(w.ScrollBar5->isHidden());
    QVERIFY(!w.ScrollBar2->isHidden());
}

void MainWindowTest::recomputeErrorIsShownOncePerNewError()
{
    WindowFixture f;
    TForm1& w = *f.window;
    // "5]" does not read as a number: the recompute fails, and says so in the preview.
    w.Edit1->setText(QStringLiteral("ab[&+5]c"));
    QVERIFY(f.prompts.messages.isEmpty());
    QVERIFY(w.PaintBox1->problem().contains(QStringLiteral("[&+5]c")));
    w.PrewkaS();
    w.ScrollBar3->setValue(7);
    QVERIFY(f.prompts.messages.isEmpty());
    // A good text clears the line; spaces alone have nothing to draw.
    w.Edit1->setText(QStringLiteral("abc"));
    QVERIFY(w.PaintBox1->problem().isEmpty());
    w.Edit1->setText(QStringLiteral("   "));
    QCOMPARE(w.PaintBox1->problem(), f.text(105));
    QVERIFY(f.prompts.messages.isEmpty());
}

void MainWindowTest::statusBarIsFilledByTheRecompute()
{
    WindowFixture f;
    TForm1& w = *f.window;
    w.Edit1->setText(QStringLiteral("AB"));
    QVERIFY(w.StatusPanel0->text().startsWith(f.text(22) + QStringLiteral(": ")));
    QVERIFY(w.StatusPanel1->text().startsWith(f.text(23) + QStringLiteral(": ")));
    QVERIFY(w.StatusPanel1->text().endsWith(QStringLiteral(" dots")));
    QCOMPARE(w.StatusPanel2->text(), f.text(28));
    f.addLeds(1, 16, 16);
    QVERIFY(w.StatusPanel2->text().endsWith(f.text(25)));
    w.Inf3->trigger();
    QVERIFY(w.StatusPanel2->text().endsWith(f.text(27)));
}

void MainWindowTest::controlChangesClearTheSaveQuestion()
{
    WindowFixture f;
    f.shared.saveQuestionAsked = true;
    f.window->ScrollBar6->setValue(50);
    QVERIFY(!f.shared.saveQuestionAsked);
}

void MainWindowTest::newSeedFillsTheSeedField()
{
    WindowFixture f;
    TForm1& w = *f.window;
    w.BitBtn1->click();
    const QString seed = w.MaskEdit1->text();
    QCOMPARE(seed.size(), 8);
    for (const QChar c : seed)
        QVERIFY(c.isDigit());
    QVERIFY(f.prompts.messages.isEmpty());
}

void MainWindowTest::changeTheLanguageAppliesItsCaptions()
{
    WindowFixture f;
    TForm1& w = *f.window;
    const QString path = f.folder.filePath(QStringLiteral("Other.lng"));
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("Other\r\n54=[Dodaj]\r\n81=[Tekst]\r\n");
    file.close();
    f.prompts.files.enqueue(path);
    w.Language1->trigger();
    // The menu's mnemonic and ellipsis are no part of the dialog's title.
    QCOMPARE(f.prompts.lastRequest.title, QStringLiteral("Change the language"));
    QCOMPARE(w.Button1->text(), QStringLiteral("Dodaj"));
    QCOMPARE(w.PageControl1->tabText(0), QStringLiteral("Tekst"));
    QCOMPARE(w.Button3->text(), f.text(56));

    // A file that cannot be read is reported and changes nothing.
    f.prompts.files.enqueue(f.folder.filePath(QStringLiteral("missing.lng")));
    w.Language1->trigger();
    QCOMPARE(f.prompts.messages.size(), 1);
    QVERIFY(f.prompts.messages.at(0).text.contains(QStringLiteral("missing.lng")));
    QCOMPARE(w.Button1->text(), QStringLiteral("Dodaj"));
}

void MainWindowTest::previewDrawsEveryDotWhereTheScaleSays()
{
    WindowFixture f;
    TForm1& w = *f.window;
    w.PaintBox1->resize(400, 150);
    w.ScrollBar3->setValue(4);
    w.Edit1->setText(QStringLiteral("IL"));
    const QImage canvas = w.PaintBox1->canvas();
    QCOMPARE(canvas.size(), QSize(400, 150));
    QVERIFY(!w.dots().empty());
    // Flat dots: a black 4 x 4 square whose last column and row come from the white
    // edge of the built-in picture.
    for (const TDotRecord& dot : w.dots()) {
        const int x = dot.x * 4 / w.cellWidth() - w.ScrollBar4->value();
        const int y = dot.y * 4 / w.cellWidth() + w.verticalOffset();
        QCOMPARE(canvas.pixelColor(x, y), QColor(Qt::black));
    }
    QCOMPARE(canvas.pixelColor(399, 0), QColor(Qt::white));
    // A picture narrower than the box scrolls no further than 1.
    QCOMPARE(w.ScrollBar4->maximum(), 1);
}

QTEST_MAIN(MainWindowTest)
#include "main_window_test.moc"
