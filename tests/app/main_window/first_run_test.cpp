// The first run from a build tree, as scripts/run starts it: the shipped examples are found
// in the source tree, Add and Load start there until the user takes a file from a folder
// of their own, an empty start tells the next step in the preview, File > Open example
// opens the examples, and Help > Examples folder opens their folder.
#include "app/window_fixture.h"

#include "app/main_window/led_strip.h"
#include "app/main_window/preview_box.h"
#include "app/window_strings.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QTest>

using namespace lumexa;

namespace
{

struct Fixture : WindowFixture {
    Fixture()
    {
        activate();
    }

    void key(int key, Qt::KeyboardModifiers modifiers = Qt::ControlModifier)
    {
        activate();
        QTest::keyClick(window.get(), Qt::Key(key), modifiers);
    }

    // A menu command through the menu bar and the menu, as the mouse reaches it.
    void choose(QMenu* menu, QAction* action)
    {
        QMenuBar* bar = window->menuBar();
        QTest::mouseClick(bar, Qt::LeftButton, {},
                          bar->actionGeometry(menu->menuAction()).center());
        QVERIFY(QTest::qWaitFor([menu] { return menu->isVisible(); }));
        QTest::mouseClick(menu, Qt::LeftButton, {}, menu->actionGeometry(action).center());
    }
};

} // namespace

class FirstRunTest : public QObject
{
    Q_OBJECT
  private slots:
    void initTestCase() { QApplication::setQuitOnLastWindowClosed(false); }
    void addAndLoadStartInTheExamplesUntilTheUserChoosesAFolder();
    void emptyStartTellsTheNextStep();
    void openExampleListsAndOpensTheShippedExamples();
    void examplesFolderOpensFromTheHelpMenu();
};

void FirstRunTest::addAndLoadStartInTheExamplesUntilTheUserChoosesAFolder()
{
    Fixture f;
    TForm1& w = *f.window;
    // The program runs from the build tree's bin folder, which holds no examples: they are
    // the source tree's.
    const QString examples = w.examplesFolder();
    QVERIFY(!examples.isEmpty());
    QVERIFY(QFileInfo::exists(QDir(examples).filePath(QStringLiteral("text.led"))));
    QVERIFY(!QFileInfo::exists(QStringLiteral(LUMEXA_BIN "/examples")));

    QTest::mouseClick(w.Button1, Qt::LeftButton);
    QCOMPARE(f.prompts.lastRequest.folder, examples);
    f.key(Qt::Key_O);
    QCOMPARE(f.prompts.lastRequest.folder, examples);

    // An LED picture taken from a folder of the user's: Add starts there from now on, Load
    // still in the examples.
    QDir(f.folder.path()).mkdir(QStringLiteral("mine"));
    f.prompts.files.enqueue(f.picture(QStringLiteral("mine/led.png"), 20, 10));
    QTest::mouseClick(w.Button1, Qt::LeftButton);
    QTest::mouseClick(w.Button1, Qt::LeftButton);
    QCOMPARE(QDir(f.prompts.lastRequest.folder), QDir(f.folder.filePath(QStringLiteral("mine"))));
    f.key(Qt::Key_O);
    QCOMPARE(f.prompts.lastRequest.folder, examples);
}

void FirstRunTest::emptyStartTellsTheNextStep()
{
    Fixture f;
    TForm1& w = *f.window;
    const QString hint = f.text(kStringEmptyStartHint);
    QVERIFY(hint.contains(QStringLiteral("File > Open example")));
    QCOMPARE(w.PaintBox1->hint(), hint);
    // The band is drawn across the preview's head.
    const QImage shown = w.PaintBox1->grab().toImage();
    QCOMPARE(shown.pixelColor(2, 2), QColor(220, 234, 250));

    f.prompts.files.enqueue(f.picture(QStringLiteral("led.png"), 20, 10));
    QTest::mouseClick(w.Button1, Qt::LeftButton);
    QVERIFY(w.PaintBox1->hint().isEmpty());
    // Undone, the start is empty again; New project begins one.
    f.key(Qt::Key_Z);
    QCOMPARE(w.PaintBox1->hint(), hint);
    f.key(Qt::Key_Y);
    QVERIFY(w.PaintBox1->hint().isEmpty());
    f.key(Qt::Key_N);
    QCOMPARE(w.PaintBox1->hint(), hint);

    // In Polish, in Polish.
    f.prompts.files.enqueue(QStringLiteral(LUMEXA_BIN "/Polski.lng"));
    w.Language1->trigger();
    QVERIFY(w.PaintBox1->hint().contains(QStringLiteral("Plik > Otwórz przykład")));
}

void FirstRunTest::openExampleListsAndOpensTheShippedExamples()
{
    Fixture f;
    TForm1& w = *f.window;
    // The project dialog was last left elsewhere: Open example still shows the examples.
    f.prompts.files.enqueue(f.folder.filePath(QStringLiteral("elsewhere.led")));
    f.key(Qt::Key_S);
    const QString example = QDir(w.examplesFolder()).filePath(QStringLiteral("text.led"));
    f.prompts.files.enqueue(example);
    f.choose(w.File1, w.OpenExample1);
    QCOMPARE(f.prompts.lastRequest.folder, w.examplesFolder());
    QCOMPARE(f.prompts.lastRequest.title, QStringLiteral("Open example"));
    QVERIFY(f.prompts.lastRequest.filters.at(f.prompts.lastRequest.selectedFilter)
                .contains(QStringLiteral("*.led")));

    // The example opens whole: its pictures lie beside it, named relative to it.
    QVERIFY2(f.prompts.messages.isEmpty(), qPrintable(f.prompts.messages.value(0).text));
    QCOMPARE(w.projectPath(), QFileInfo(example).absoluteFilePath());
    QCOMPARE(w.Edit1->text(), QStringLiteral("Lum[&+02]exa[&-02] LED"));
    QCOMPARE(f.shared.ledImages.count(), 3);
    QCOMPARE(w.strip()->entryCount(), 3);
    QVERIFY(!w.isWindowModified());
    QVERIFY(w.PaintBox1->hint().isEmpty());
    QVERIFY(w.Render1->isEnabled());
}

void FirstRunTest::examplesFolderOpensFromTheHelpMenu()
{
    Fixture f;
    TForm1& w = *f.window;
    QStringList handed;
    w.openDocument = [&](const QUrl& url) {
        handed.append(url.toLocalFile());
        return true;
    };
    bool about = false;
    QObject::connect(&w, &TForm1::aboutRequested, &w, [&about] { about = true; });
    f.choose(w.Help1, w.Webpage1);
    QCOMPARE(handed, QStringList{w.examplesFolder()});
    QVERIFY(!about);
}

QTEST_MAIN(FirstRunTest)
#include "first_run_test.moc"
