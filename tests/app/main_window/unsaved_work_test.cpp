// The project as a user keeps it safe: the title marks unsaved changes, New, Load and Exit
// offer to save them, a file that is no project or cannot load leaves the work as it was,
// missing pictures can be skipped (and the project then counts as changed), Cancel keeps the
// open project, Render asks to save only unsaved changes, Save keeps the pictures' paths
// portable, dropped files open, and the dialogs, recent projects and window place are
// remembered.
#include "app/window_fixture.h"

#include "app/main_window/led_strip.h"
#include "app/main_window/preview_box.h"
#include "app/program_memory.h"
#include "app/render_window/render_window.h"
#include "app/window_strings.h"
#include "core/project/project_file.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMimeData>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QStandardPaths>
#include <QTabBar>
#include <QTabWidget>
#include <QTest>
#include <QTimer>

using namespace lumexa;

namespace
{

struct Fixture : WindowFixture {
    Fixture()
    {
        activate();
    }

    QString file(const QString& name, const QByteArray& content)
    {
        const QString path = folder.filePath(name);
        QFile f(path);
        if (f.open(QIODevice::WriteOnly))
            f.write(content);
        return path;
    }

    void key(int key, Qt::KeyboardModifiers modifiers = Qt::ControlModifier)
    {
        QTest::keyClick(window.get(), Qt::Key(key), modifiers);
    }

    void type(const QString& text)
    {
        QTest::mouseClick(window->Edit1, Qt::LeftButton);
        QTest::keyClick(window->Edit1, Qt::Key_End);
        QTest::keyClicks(window->Edit1, text);
    }

    // Drops local files on `target` at its middle.
    void drop(QWidget* target, const QStringList& files)
    {
        QMimeData data;
        QList<QUrl> urls;
        for (const QString& f : files)
            urls.append(QUrl::fromLocalFile(f));
        data.setUrls(urls);
        const QPointF at = target->mapTo(window.get(), target->rect().center());
        QDragEnterEvent enter(at.toPoint(), Qt::CopyAction, &data, Qt::LeftButton, {});
        QApplication::sendEvent(window.get(), &enter);
        QVERIFY(enter.isAccepted());
        QDropEvent dropped(at, Qt::CopyAction, &data, Qt::LeftButton, {});
        QApplication::sendEvent(window.get(), &dropped);
    }
};

} // namespace

class UnsavedWorkTest : public QObject
{
    Q_OBJECT
  private slots:
    void initTestCase() { QApplication::setQuitOnLastWindowClosed(false); }
    void titleMarksChangesUntilSaved();
    void newLoadAndExitOfferToSave_data();
    void newLoadAndExitOfferToSave();
    void refusedProjectLeavesTheWorkAsItWas_data();
    void refusedProjectLeavesTheWorkAsItWas();
    void missingPictureIsSkippedByDefault();
    void loadThatSkippedOrReplacedCountsAsChanged();
    void cancelAtAMissingPictureKeepsTheOpenProject();
    void renderAsksToSaveOnlyUnsavedChanges();
    void saveKeepsPicturePathsPortable();
    void droppedFilesOpenWhereTheyLand();
    void projectNamedOnTheCommandLineOpens();
    void dialogsStartWhereTheLastOfTheirKindEnded();
    void recentProjectsAndWindowPlaceAreRemembered();
    void storedRecentListIsTrimmedToTheMenuWhenRead();
};

void UnsavedWorkTest::titleMarksChangesUntilSaved()
{
    Fixture f;
    TForm1& w = *f.window;
    QVERIFY(!w.isWindowModified());
    QVERIFY(w.windowTitle().startsWith(f.text(kStringUntitled) + QStringLiteral("[*]")));
    f.type(QStringLiteral("x"));
    QVERIFY(w.isWindowModified());

    const QString path = f.folder.filePath(QStringLiteral("text.led"));
    f.prompts.files.enqueue(path);
    f.key(Qt::Key_S);
    QVERIFY(QFileInfo::exists(path));
    QVERIFY(!w.isWindowModified());
    QCOMPARE(w.windowTitle(), QStringLiteral("text.led[*] — LUMEXA•••"));

    // Once the project has a file, Save writes it without a dialog; Save As asks again.
    f.type(QStringLiteral("y"));
    QVERIFY(w.isWindowModified());
    const int dialogs = f.prompts.fileDialogs;
    f.key(Qt::Key_S);
    QCOMPARE(f.prompts.fileDialogs, dialogs);
    QVERIFY(!w.isWindowModified());
    f.key(Qt::Key_S, Qt::ControlModifier | Qt::ShiftModifier);
    QCOMPARE(f.prompts.fileDialogs, dialogs + 1);
    QCOMPARE(f.prompts.lastRequest.folder, f.folder.path());
    QCOMPARE(f.prompts.lastRequest.fileName, QStringLiteral("text.led"));

    // Turning a bar and back leaves nothing unsaved.
    const int scale = w.ScrollBar3->value();
    w.ScrollBar3->setValue(scale + 1);
    QVERIFY(w.isWindowModified());
    w.ScrollBar3->setValue(scale);
    QVERIFY(!w.isWindowModified());
}

void UnsavedWorkTest::newLoadAndExitOfferToSave_data()
{
    QTest::addColumn<int>("key");
    QTest::addColumn<bool>("change");
    QTest::addColumn<int>("answer");
    QTest::addColumn<bool>("workKept");
    QTest::addColumn<bool>("saved");
    const int save = int(SaveAnswer::Save), discard = int(SaveAnswer::Discard),
              cancel = int(SaveAnswer::Cancel);
    QTest::newRow("New, unchanged") << int(Qt::Key_N) << false << -1 << false << false;
    QTest::newRow("New, Cancel") << int(Qt::Key_N) << true << cancel << true << false;
    QTest::newRow("New, Discard") << int(Qt::Key_N) << true << discard << false << false;
    QTest::newRow("New, Save") << int(Qt::Key_N) << true << save << false << true;
    QTest::newRow("Load, Cancel") << int(Qt::Key_O) << true << cancel << true << false;
    QTest::newRow("Exit, Cancel") << int(Qt::Key_Q) << true << cancel << true << false;
    QTest::newRow("Exit, Discard") << int(Qt::Key_Q) << true << discard << false << false;
    QTest::newRow("Exit, Save") << int(Qt::Key_Q) << true << save << false << true;
}

void UnsavedWorkTest::newLoadAndExitOfferToSave()
{
    QFETCH(int, key);
    QFETCH(bool, change);
    QFETCH(int, answer);
    QFETCH(bool, workKept);
    QFETCH(bool, saved);
    Fixture f;
    TForm1& w = *f.window;
    if (change)
        f.type(QStringLiteral("abc"));
    const QString typed = w.Edit1->text();
    if (answer >= 0)
        f.prompts.saveAnswers.enqueue(SaveAnswer(answer));
    const QString target = f.folder.filePath(QStringLiteral("saved.led"));
    f.prompts.files.enqueue(target);
    f.prompts.answers.enqueue(true); // the quit question, when it comes
    const int dialogs = f.prompts.fileDialogs;
    f.key(key);

    if (change) {
        QCOMPARE(f.prompts.questions.size(), 1);
        QCOMPARE(f.prompts.questions.at(0).text,
                 f.text(kStringSaveChanges).arg(f.text(kStringUntitled)));
    } else {
        QVERIFY(f.prompts.questions.isEmpty());
    }
    QCOMPARE(QFileInfo::exists(target), saved);
    if (key == Qt::Key_Q) {
        QCOMPARE(w.isVisible(), workKept);
    } else if (workKept) {
        QCOMPARE(w.Edit1->text(), typed);
        QCOMPARE(f.prompts.fileDialogs, dialogs); // Cancel asks for no file
    } else {
        QCOMPARE(w.Edit1->text(), f.text(35));
        QVERIFY(!w.isWindowModified());
    }
}

void UnsavedWorkTest::refusedProjectLeavesTheWorkAsItWas_data()
{
    QTest::addColumn<QByteArray>("content"); // empty: no such file
    QTest::addColumn<QString>("message");    // %1: the file
    QTest::newRow("not a project") << QByteArray("hello\r\ncolour=red\r\n") << QString();
    QTest::newRow("bad value") << QByteArray("Text=new\r\nScale=5\r\nKerning=x\r\n")
                               << QStringLiteral("%1, line 3, Kerning: 'x'");
    QTest::newRow("no such file") << QByteArray() << QStringLiteral("Cannot open file %1");
}

void UnsavedWorkTest::refusedProjectLeavesTheWorkAsItWas()
{
    QFETCH(QByteArray, content);
    QFETCH(QString, message);
    Fixture f;
    TForm1& w = *f.window;
    f.addLeds(2);
    f.type(QStringLiteral("work"));
    const QString text = w.Edit1->text();
    const QString path = content.isEmpty() ? f.folder.filePath(QStringLiteral("gone.led"))
                                           : f.file(QStringLiteral("p.led"), content);
    f.prompts.saveAnswers.enqueue(SaveAnswer::Discard);
    f.prompts.files.enqueue(path);
    f.key(Qt::Key_O);
    QCOMPARE(f.prompts.messages.size(), 1);
    if (message.isEmpty())
        QCOMPARE(f.prompts.messages.at(0).text, f.text(kStringNotAProject).arg(path));
    else
        QVERIFY2(f.prompts.messages.at(0).text.contains(message.arg(path)),
                 qPrintable(f.prompts.messages.at(0).text));
    QCOMPARE(w.Edit1->text(), text);
    QCOMPARE(f.shared.ledImages.count(), 2);
    QVERIFY(w.isWindowModified());
    QVERIFY(!w.ScrollBox1->isHidden());
}

void UnsavedWorkTest::missingPictureIsSkippedByDefault()
{
    Fixture f;
    TForm1& w = *f.window;
    const QString led = f.picture(QStringLiteral("led.png"), 20, 10);
    const QString wide = f.picture(QStringLiteral("wide.png"), 30, 10);
    const QString alpha = f.picture(QStringLiteral("alpha.png"), 20, 10, Qt::gray);
    const QString gone = f.folder.filePath(QStringLiteral("gone.png"));
    const QByteArray project = "Text=Ab\r\nImageF[]=000" + led.toUtf8() +
                               "\r\nImageA[]=000(null)\r\n" + "ImageF[]=001" + gone.toUtf8() +
                               "\r\nImageA[]=001" + alpha.toUtf8() + "\r\nImageF[]=002" +
                               wide.toUtf8() + "\r\nImageA[]=002" + alpha.toUtf8() +
                               "\r\nImageF[]=003" + led.toUtf8() + "\r\nImageA[]=003(null)\r\n";
    f.prompts.files.enqueue(f.file(QStringLiteral("p.led"), project));
    f.key(Qt::Key_O);
    // Asked once, with Skip as the default: the rest of the project loads.
    QCOMPARE(f.prompts.questions.size(), 1);
    QCOMPARE(f.prompts.choiceButtons,
             QStringList({f.text(kStringChooseFile), f.text(kStringSkip), f.text(90)}));
    QCOMPARE(w.Edit1->text(), QStringLiteral("Ab"));
    QCOMPARE(f.shared.ledImages.count(), 2);
    // The refused wide picture's alpha line went with it, not to the LED before.
    QVERIFY(!f.shared.ledImages[0].alphaInUse);
    QVERIFY(!f.shared.ledImages[1].alphaInUse);
    QCOMPARE(w.Label1->text(), QStringLiteral("led.png"));
    QVERIFY(w.windowTitle().startsWith(QStringLiteral("p.led")));
}

void UnsavedWorkTest::loadThatSkippedOrReplacedCountsAsChanged()
{
    Fixture f;
    TForm1& w = *f.window;
    const QString unlit = f.picture(QStringLiteral("unlit.png"), 20, 10, Qt::darkGray);
    const QString blue = f.picture(QStringLiteral("blue.png"), 20, 10, Qt::blue);
    const QString gone = f.folder.filePath(QStringLiteral("red.png"));
    // LED 1 is gone: its letters lose their tags, LED 2's tags become LED 1's so that
    // they keep the blue picture.
    const QByteArray project = "Text=a[&+01]b[&-01]c[&+02]d[&-02]\r\nImageF[]=000" +
                               unlit.toUtf8() + "\r\nImageF[]=001" + gone.toUtf8() +
                               "\r\nImageF[]=002" + blue.toUtf8() + "\r\n";
    f.prompts.files.enqueue(f.file(QStringLiteral("p.led"), project));
    f.key(Qt::Key_O);
    QCOMPARE(f.shared.ledImages.count(), 2);
    QCOMPARE(w.Edit1->text(), QStringLiteral("abc[&+01]d[&-01]"));
    QVERIFY(w.isWindowModified());
    QCOMPARE(f.prompts.messages.size(), 1);
    const QString told = f.prompts.messages.at(0).text;
    QVERIFY2(told.contains(QStringLiteral("LED 1 (red.png)")), qPrintable(told));
    QVERIFY2(told.startsWith(QStringLiteral("Not loaded:")), qPrintable(told));
    // Saved, the project is what the file now says.
    f.key(Qt::Key_S);
    QVERIFY(!w.isWindowModified());

    // A font that is missing and replaced changes the project as well.
    f.prompts.answers.enqueue(true);
    f.prompts.fonts.enqueue(QStringLiteral("DejaVu Sans"));
    f.prompts.files.enqueue(
        f.file(QStringLiteral("font.led"), "Text=abc\r\nFontName=No Such Font Family\r\n"));
    f.key(Qt::Key_O);
    QCOMPARE(f.prompts.fontDialogs, 1);
    QVERIFY(w.isWindowModified());
    // A project read as its file says is unchanged.
    f.prompts.files.enqueue(f.file(QStringLiteral("plain.led"), "Text=abc\r\n"));
    f.prompts.saveAnswers.enqueue(SaveAnswer::Discard);
    f.key(Qt::Key_O);
    QVERIFY(!w.isWindowModified());
}

void UnsavedWorkTest::cancelAtAMissingPictureKeepsTheOpenProject()
{
    Fixture f;
    TForm1& w = *f.window;
    const QString led = f.picture(QStringLiteral("led.png"), 20, 10);
    f.prompts.files.enqueue(f.file(QStringLiteral("open.led"),
                                   "Text=open\r\nScale=9\r\nImageF[]=000" + led.toUtf8() + "\r\n"));
    f.key(Qt::Key_O);
    const QString open = w.projectPath();
    QVERIFY(!open.isEmpty());

    f.prompts.choices.enqueue(2); // Cancel at the missing picture
    f.prompts.files.enqueue(f.file(QStringLiteral("other.led"),
                                   "Text=other\r\nScale=20\r\nImageF[]=000" +
                                       f.folder.filePath(QStringLiteral("gone.png")).toUtf8() +
                                       "\r\n"));
    f.key(Qt::Key_O);
    QCOMPARE(f.prompts.questions.size(), 1);
    QCOMPARE(w.projectPath(), open);
    QCOMPARE(w.Edit1->text(), QStringLiteral("open"));
    QCOMPARE(w.ScrollBar3->value(), 9);
    QCOMPARE(f.shared.ledImages.count(), 1);
    QVERIFY(!w.isWindowModified());
    QVERIFY(w.windowTitle().startsWith(QStringLiteral("open.led")));
}

void UnsavedWorkTest::renderAsksToSaveOnlyUnsavedChanges()
{
    Fixture f;
    TForm1& w = *f.window;
    TForm3 render(f.shared, f.prompts, &w);
    w.setRenderWindow(&render);
    // Each of Render and Inspect opens the render window, which is left at once.
    int shown = 0;
    const auto open = [&f, &w, &render, &shown](Qt::Key key) {
        // Left as soon as it shows, from inside its own event loop.
        bool seen = false;
        QTimer closer;
        QObject::connect(&closer, &QTimer::timeout, &render, [&render, &seen] {
            if (!render.isVisible())
                return;
            seen = true;
            render.reject();
        });
        closer.start(5);
        f.key(key);
        shown += seen;
        QApplication::setActiveWindow(&w);
        QVERIFY(QTest::qWaitForWindowActive(&w));
    };
    const QString saveFirst = f.text(42);
    const auto asked = [&f, &saveFirst] {
        int n = 0;
        for (const auto& q : f.prompts.questions)
            n += q.text == saveFirst;
        return n;
    };
    const QString unlit = f.picture(QStringLiteral("unlit.png"), 20, 10, Qt::darkGray);
    const QString red = f.picture(QStringLiteral("red.png"), 20, 10);
    f.prompts.files.enqueue(
        f.file(QStringLiteral("p.led"), "Text=abc\r\nImageF[]=000" + unlit.toUtf8() +
                                            "\r\nImageF[]=001" + red.toUtf8() + "\r\n"));
    f.key(Qt::Key_O);
    // Right after Load nothing is unsaved.
    open(Qt::Key_R);
    QCOMPARE(asked(), 0);
    // Changed: Inspect writes nothing and does not ask; Render does.
    f.type(QStringLiteral("d"));
    open(Qt::Key_I);
    QCOMPARE(asked(), 0);
    open(Qt::Key_R);
    QCOMPARE(asked(), 1);
    // Right after Save nothing is unsaved again.
    f.key(Qt::Key_S);
    f.type(QStringLiteral("e"));
    f.key(Qt::Key_S);
    open(Qt::Key_R);
    QCOMPARE(asked(), 1);
    QCOMPARE(shown, 4);
}

void UnsavedWorkTest::saveKeepsPicturePathsPortable()
{
    Fixture f;
    TForm1& w = *f.window;
    const QDir root(f.folder.path());
    root.mkpath(QStringLiteral("work/leds"));
    root.mkpath(QStringLiteral("elsewhere"));
    f.picture(QStringLiteral("work/leds/unlit.png"), 20, 10, Qt::darkGray);
    const QString outside = f.picture(QStringLiteral("red.png"), 20, 10);
    const QString project = f.file(QStringLiteral("work/p.led"),
                                   "Text=abc\r\nImageF[]=000leds/unlit.png\r\nImageF[]=001" +
                                       outside.toUtf8() + "\r\n");
    const auto lines = [](const QString& path) {
        QFile file(path);
        if (!file.open(QIODevice::ReadOnly))
            return QStringList();
        return QString::fromUtf8(file.readAll()).split(QStringLiteral("\r\n"));
    };
    f.prompts.files.enqueue(project);
    f.key(Qt::Key_O);
    QCOMPARE(f.shared.ledImages.count(), 2);

    // Saved where it was read: the path stays as the file gave it.
    f.type(QStringLiteral("d"));
    f.key(Qt::Key_S);
    QVERIFY(lines(project).contains(QStringLiteral("ImageF[]=000leds/unlit.png")));
    QVERIFY(lines(project).contains(QStringLiteral("ImageF[]=001") + outside));

    // Saved as a file above the pictures: relative to the new file; in a folder beside
    // them, in full.
    const QString above = root.filePath(QStringLiteral("above.led"));
    f.prompts.files.enqueue(above);
    f.key(Qt::Key_S, Qt::ControlModifier | Qt::ShiftModifier);
    QVERIFY(lines(above).contains(QStringLiteral("ImageF[]=000work/leds/unlit.png")));
    QVERIFY(lines(above).contains(QStringLiteral("ImageF[]=001red.png")));
    const QString beside = root.filePath(QStringLiteral("elsewhere/beside.led"));
    f.prompts.files.enqueue(beside);
    f.key(Qt::Key_S, Qt::ControlModifier | Qt::ShiftModifier);
    QVERIFY(lines(beside).contains(QStringLiteral("ImageF[]=000") +
                                   root.filePath(QStringLiteral("work/leds/unlit.png"))));
    QCOMPARE(w.projectPath(), beside);
}

void UnsavedWorkTest::droppedFilesOpenWhereTheyLand()
{
    Fixture f;
    TForm1& w = *f.window;
    const QStringList pictures{f.picture(QStringLiteral("one.png"), 20, 10),
                               f.picture(QStringLiteral("two.png"), 20, 10, Qt::green)};
    f.drop(w.ScrollBox1, pictures);
    QCOMPARE(f.shared.ledImages.count(), 2);
    QCOMPARE(QFileInfo(QString::fromStdString(f.shared.ledImages[1].fileName)).fileName(),
             QStringLiteral("two.png"));

    QTest::mouseClick(w.PageControl1->tabBar(), Qt::LeftButton, {},
                      w.PageControl1->tabBar()->tabRect(1).center());
    QCOMPARE(w.PageControl1->currentIndex(), 1);
    f.drop(w.TabSheet2, {f.picture(QStringLiteral("logo.png"), 40, 20)});
    QVERIFY(f.shared.logo.loaded);

    const QString project = f.file(QStringLiteral("dropped.led"), "Text=dropped\r\n");
    f.prompts.saveAnswers.enqueue(SaveAnswer::Discard);
    f.drop(w.PaintBox1, {project});
    QCOMPARE(w.Edit1->text(), QStringLiteral("dropped"));
    QCOMPARE(w.projectPath(), QFileInfo(project).absoluteFilePath());
}

void UnsavedWorkTest::projectNamedOnTheCommandLineOpens()
{
    Fixture f;
    TForm1& w = *f.window;
    const QString project = f.file(QStringLiteral("started.led"), "Text=started\r\n");
    // A file manager passes the path as it knows it: relative to the program's folder.
    const QString before = QDir::currentPath();
    QDir::setCurrent(f.folder.path());
    w.openStartupArguments({QStringLiteral("lumexa"), QStringLiteral("started.led")});
    QDir::setCurrent(before);
    // The project opens once the event loop runs, over the shown window.
    QCOMPARE(w.Edit1->text(), QStringLiteral("1234567890"));
    QTRY_COMPARE(w.Edit1->text(), QStringLiteral("started"));
    QCOMPARE(w.projectPath(), QFileInfo(project).absoluteFilePath());
    QVERIFY(w.windowTitle().startsWith(QStringLiteral("started.led[*]")));

    // A file that is gone is named in a box and the window stays as it is.
    w.openStartupArguments(
        {QStringLiteral("lumexa"), f.folder.filePath(QStringLiteral("gone.led"))});
    QTRY_COMPARE(f.prompts.messages.size(), 1);
    QVERIFY(f.prompts.messages.last().text.contains(QStringLiteral("gone.led")));
    QCOMPARE(w.Edit1->text(), QStringLiteral("started"));
    // Without an argument nothing opens.
    w.openStartupArguments({QStringLiteral("lumexa")});
    QTest::qWait(20);
    QCOMPARE(f.prompts.messages.size(), 1);
}

void UnsavedWorkTest::dialogsStartWhereTheLastOfTheirKindEnded()
{
    Fixture f;
    TForm1& w = *f.window;
    QDir(f.folder.path()).mkdir(QStringLiteral("leds"));
    const QString led = f.picture(QStringLiteral("leds/a.png"), 20, 10);
    f.prompts.files.enqueue(led);
    QTest::mouseClick(w.Button1, Qt::LeftButton);
    // Every picture type is offered first: PNG pictures are not hidden.
    QVERIFY(f.prompts.lastRequest.filters.at(f.prompts.lastRequest.selectedFilter)
                .contains(QStringLiteral("*.png")));
    QTest::mouseClick(w.Button1, Qt::LeftButton);
    QCOMPARE(f.prompts.lastRequest.folder, QFileInfo(led).absolutePath());

    // A new project is proposed in the documents folder, not the program's.
    f.prompts.files.enqueue(f.folder.filePath(QStringLiteral("p.led")));
    f.key(Qt::Key_S);
    QCOMPARE(f.prompts.lastRequest.folder,
             QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation));

    // A later start remembers the folder.
    TForm4 shared;
    ScriptedPrompts prompts;
    TForm1 second(shared, prompts);
    second.setProgramFolder(QStringLiteral(LUMEXA_BIN));
    second.FormActivate();
    QTest::mouseClick(second.Button1, Qt::LeftButton);
    QCOMPARE(prompts.lastRequest.folder, QFileInfo(led).absolutePath());
}

void UnsavedWorkTest::recentProjectsAndWindowPlaceAreRemembered()
{
    Fixture f;
    TForm1& w = *f.window;
    QStringList written;
    for (int i = 0; i < kRecentProjectCount + 2; ++i) {
        written.prepend(f.file(QStringLiteral("r%1.led").arg(i), "Text=r\r\n"));
        f.prompts.files.enqueue(written.constFirst());
        f.key(Qt::Key_O);
    }
    const QList<QAction*> recent = w.Recent1->actions();
    QCOMPARE(recent.size(), kRecentProjectCount);
    QCOMPARE(recent.at(0)->data().toString(), written.at(0));
    QCOMPARE(recent.last()->data().toString(), written.at(kRecentProjectCount - 1));
    recent.at(2)->trigger();
    QCOMPARE(w.projectPath(), written.at(2));

    // A size that fits the test screen (800 x 600): the window is kept on the screen.
    w.resize(700, 560);
    f.prompts.answers.enqueue(true);
    f.key(Qt::Key_Q);
    QVERIFY(!w.isVisible());

    TForm4 shared;
    ScriptedPrompts prompts;
    TForm1 second(shared, prompts);
    second.setProgramFolder(QStringLiteral(LUMEXA_BIN));
    second.FormActivate();
    QCOMPARE(second.size(), QSize(700, 560));
    QCOMPARE(second.Recent1->actions().size(), kRecentProjectCount);
}

void UnsavedWorkTest::storedRecentListIsTrimmedToTheMenuWhenRead()
{
    // A settings file written by another program or by hand: the menu and the file keep
    // the first entries, each once, whatever the file held (200,000 entries cost 200 MB
    // of menu entries when they were all shown).
    const auto paths = [](int from, int count) {
        QStringList list;
        for (int i = from; i < from + count; ++i)
            list.append(QStringLiteral("/projects/p%1.led").arg(i));
        return list;
    };
    const struct {
        const char* what;
        QStringList stored;
        QStringList kept;
    } cases[] = {
        {"20,000 entries", paths(0, 20000), paths(0, kRecentProjectCount)},
        {"doubled and empty entries", QStringList{"/a.led", "", "/a.led", "/b.led", "/b.led"},
         QStringList{"/a.led", "/b.led"}},
        {"as many as the menu shows", paths(5, kRecentProjectCount), paths(5, kRecentProjectCount)},
    };
    for (const auto& c : cases) {
        QStandardPaths::setTestModeEnabled(true);
        UseOwnSettingsFolder();
        ForgetEverything();
        QSettings(QStringLiteral("Lumexa"), QStringLiteral("lumexa"))
            .setValue(QStringLiteral("projects/recent"), c.stored);
        WindowFixture f(true);
        QStringList shown;
        for (const QAction* a : f.window->Recent1->actions())
            shown.append(a->data().toString());
        QVERIFY2(shown == c.kept, c.what);
        QVERIFY2(QSettings(QStringLiteral("Lumexa"), QStringLiteral("lumexa"))
                         .value(QStringLiteral("projects/recent"))
                         .toStringList() == c.kept,
                 c.what);
    }
}

QTEST_MAIN(UnsavedWorkTest)
#include "unsaved_work_test.moc"
