// The File menu's project commands on a real main window: New project's resets, Load
// project with its questions and early ends, Save project, the quit question, and the
// Help menu's documents.
#include "app/scripted_prompts.h"
#include "app/window_fixture.h"

#include "app/main_window/led_strip.h"
#include "app/main_window/main_window.h"
#include "app/program_memory.h"
#include "app/render_window/render_window.h"
#include "app/shared_state.h"
#include "app/window_strings.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>

#include <memory>

using namespace lumexa;

namespace
{

struct Fixture : lumexa::WindowFixture {
    QString file(const QString& name, const QByteArray& content)
    {
        const QString path = folder.filePath(name);
        QFile f(path);
        if (f.open(QIODevice::WriteOnly))
            f.write(content);
        return path;
    }

    // Loads the project `content` through File > Load project.
    void load(const QByteArray& content)
    {
        prompts.files.enqueue(file(QStringLiteral("p%1.led").arg(loads++), content));
        window->Load1Click();
    }

    QString missingQuestion(const QString& path) const
    {
        return text(37) + path + QStringLiteral(". ") + text(38);
    }

    // After any Load the strip is back and recomputes run again.
    bool stripBack() const
    {
        return !window->ScrollBox1->isHidden() && window->Panel1->isHidden() &&
               window->buildPreviewEnabled;
    }

    int loads = 0;
};

// A font family of the list other than the selected one.
QString otherFamily(const TForm1& w)
{
    for (int i = 0; i < w.ListBox1->count(); ++i)
        if (i != w.ListBox1->currentRow())
            return w.ListBox1->item(i)->text();
    return {};
}

} // namespace

class ProjectCommandsTest : public QObject
{
    Q_OBJECT
  private slots:
    // Closing a window must not end the test program.
    void initTestCase() { QApplication::setQuitOnLastWindowClosed(false); }
    void newProjectResetsAndKeeps();
    void loadAppliesEveryKey();
    void renderOptionsGoToTheRenderWindow();
    void loadLeftWithoutFileOnlyRecomputes();
    void missingLedAnsweredCancelKeepsTheOpenProject();
    void missingLedAnsweredYesTakesTheReplacement();
    void missingFontAskedAndChosen();
    void refusedLogoStopsReading();
    void badNumberStopsWithLinesBeforeApplied();
    void saveThenLoadGivesTheSameState();
    void saveConfirmsReplacingAndReportsFailure();
    void saveAsksAboutReadOnlyFilesAndRefusesTheProgramsOwn();
    void quitQuestionAskedOnce_data();
    void quitQuestionAskedOnce();
    void languageFilesOverwriteOnlyTheirStrings();
    void manualFollowsTheAddCaption();
    void manualThatCannotBeOpenedIsReported();
};

void ProjectCommandsTest::newProjectResetsAndKeeps()
{
    Fixture f;
    TForm1& w = *f.window;
    f.prompts.files.enqueue(f.picture(QStringLiteral("a.png"), 20, 10));
    f.prompts.files.enqueue(f.picture(QStringLiteral("b.png"), 20, 10, Qt::green));
    w.Button1Click(w.Button1);
    w.Button1Click(w.Button1);
    QCOMPARE(f.shared.ledImages.count(), 2);
    f.shared.logo.loaded = true;
    w.Edit1->setText(QStringLiteral("abc"));
    w.ScrollBar1->setValue(30);
    w.ScrollBar2->setValue(20);
    w.ScrollBar3->setValue(12);
    w.ScrollBar5->setValue(25);
    w.ScrollBar6->setValue(77);
    w.ScrollBar7->setValue(4);
    w.ScrollBar8->setValue(3);
    w.MaskEdit1->setText(QStringLiteral("12345678"));
    w.CheckBox1->setChecked(true);
    w.SpeedButton4->click();
    QVERIFY(!w.ScrollBar5->isHidden());
    w.PageControl1->setCurrentIndex(1);
    w.ListBox1->setCurrentRow(w.ListBox1->count() - 1);
    ProjectSettings options = w.projectSettings();
    options.renderType = kRandomBitmaps;
    options.useBackground = false;
    w.applyProjectSettings(options);

    w.NewProject1->trigger();

    QCOMPARE(f.shared.ledImages.count(), 0);
    QCOMPARE(w.strip()->entryCount(), 0);
    QVERIFY(!w.Render1->isEnabled());
    for (QToolButton* b : {w.SpeedButton5, w.SpeedButton6, w.SpeedButton7})
        QVERIFY(!b->isEnabled());
    QCOMPARE(w.Edit1->text(), f.text(35));
    QCOMPARE(w.ScrollBar1->value(), 20);
    QCOMPARE(w.ScrollBar2->value(), 128);
    QCOMPARE(w.ScrollBar3->value(), 5);
    QCOMPARE(w.ScrollBar5->value(), 10);
    QCOMPARE(w.ScrollBar4->value(), 0);
    QCOMPARE(w.ListBox1->currentItem()->text(), QFontInfo(w.font()).family());
    QVERIFY(w.ScrollBar5->isHidden());
    QVERIFY(!w.ScrollBar2->isHidden());
    QCOMPARE(w.styleNumber(), 1);
    QVERIFY(!f.shared.logo.loaded);
    QCOMPARE(w.PageControl1->currentIndex(), 0);
    QVERIFY(!w.ScrollBar1->isHidden());
    QVERIFY(!w.CheckBox1->isChecked());
    QVERIFY(w.buildPreviewEnabled);
    QVERIFY(!w.dots().empty());
    // Kept: displacement, kerning, logo size, seed and the render options.
    QCOMPARE(w.ScrollBar6->value(), 77);
    QCOMPARE(w.ScrollBar7->value(), 4);
    QCOMPARE(w.ScrollBar8->value(), 3);
    QCOMPARE(w.MaskEdit1->text(), QStringLiteral("12345678"));
    QCOMPARE(w.projectSettings().renderType, int(kRandomBitmaps));
    QVERIFY(!w.projectSettings().useBackground);
}

void ProjectCommandsTest::loadAppliesEveryKey()
{
    Fixture f;
    TForm1& w = *f.window;
    const QString led0 = f.picture(QStringLiteral("led0.png"), 16, 16, Qt::black);
    const QString led1 = f.picture(QStringLiteral("led1.png"), 16, 16, Qt::red);
    const QString alpha1 = f.picture(QStringLiteral("alpha1.png"), 16, 16, Qt::white);
    // Black and white: a logo of one grey level leaves the threshold no range.
    QImage logoImage(40, 30, QImage::Format_RGB32);
    logoImage.fill(Qt::black);
    for (int y = 0; y < 15; ++y)
        for (int x = 0; x < 40; ++x)
            logoImage.setPixel(x, y, qRgb(255, 255, 255));
    const QString logo = f.folder.filePath(QStringLiteral("logo.png"));
    QVERIFY(logoImage.save(logo));
    const QString family = otherFamily(w);
    QVERIFY(!family.isEmpty());
    QByteArray project = "Scale=9\r\nFontSize=25\r\nBrightnes=140\r\nDensity=17\r\nShufle=33\r\n"
                         "Kerning=6\r\nText=a=b\r\nRenderUseMaskEnabled=1\r\n"
                         "RenderUseMaskChecked=0\r\nRenderUseAddEnabled=0\r\n"
                         "RenderUseAddChecked=1\r\nRenderUseBackground=2\r\n"
                         "RenderRotateBitmaps=1\r\nLogoSize=4\r\nLogoInvert=1\r\n"
                         "Seed=00012345\r\nRenderType=1\r\nActivePage=1\r\nPreviewButton=4\r\n";
    project += "LogoFile=" + logo.toUtf8() + "\r\nFontName=" + family.toUtf8() + "\r\n";
    project += "ImageF[]=000" + led0.toUtf8() + "\r\nImageA[]=000(null)\r\n";
    project += "ImageF[]=001" + led1.toUtf8() + "\r\nImageA[]=001" + alpha1.toUtf8() + "\r\n";
    f.load(project);

    QVERIFY2(f.prompts.messages.isEmpty(), qPrintable(f.prompts.messages.value(0).text));
    QVERIFY(f.prompts.questions.isEmpty());
    QCOMPARE(f.prompts.lastRequest.title, f.text(78));
    QVERIFY(f.stripBack());
    // The loading panel's label was left with the last LED line's file name.
    QCOMPARE(w.Label1->text(), QFileInfo(alpha1).fileName());
    QCOMPARE(w.ScrollBar3->value(), 9);
    QCOMPARE(w.ScrollBar1->value(), 25);
    QCOMPARE(w.ScrollBar5->value(), 17);
    QCOMPARE(w.ScrollBar6->value(), 33);
    QCOMPARE(w.ScrollBar7->value(), 6);
    QCOMPARE(w.ScrollBar8->value(), 4);
    QCOMPARE(w.Edit1->text(), QStringLiteral("a=b"));
    QVERIFY(w.CheckBox1->isChecked());
    QCOMPARE(w.MaskEdit1->text(), QStringLiteral("12345"));
    QCOMPARE(w.PageControl1->currentIndex(), 1);
    QCOMPARE(w.styleNumber(), 4);
    QVERIFY(!w.ScrollBar5->isHidden());
    QCOMPARE(w.ListBox1->currentItem()->text(), family);
    const ProjectSettings s = w.projectSettings();
    QCOMPARE(s.brightnes.position(), 140);
    QVERIFY(s.useMaskEnabled);
    QVERIFY(!s.useMaskChecked);
    QVERIFY(!s.useAddEnabled);
    QVERIFY(s.useAddChecked);
    QVERIFY(s.useBackground);
    QVERIFY(s.rotateBitmaps);
    QCOMPARE(s.renderType, 1);
    QCOMPARE(f.shared.ledImages.count(), 2);
    QCOMPARE(w.strip()->entryCount(), 2);
    QVERIFY(!f.shared.ledImages[0].alphaInUse);
    QVERIFY(f.shared.ledImages[1].alphaInUse);
    QVERIFY(f.shared.logo.loaded);
    QVERIFY(w.SpeedButton5->isEnabled());
    QVERIFY(w.SpeedButton7->isEnabled());
}

void ProjectCommandsTest::renderOptionsGoToTheRenderWindow()
{
    Fixture f;
    TForm1& w = *f.window;
    TForm3 render(f.shared, f.prompts, &w);
    w.setRenderWindow(&render);
    f.load("RenderUseMaskEnabled=0\r\nRenderUseAddChecked=1\r\nRenderUseBackground=0\r\n"
           "RenderRotateBitmaps=1\r\nRenderType=0\r\n");
    QVERIFY(f.prompts.messages.isEmpty());
    QVERIFY(!render.CheckBox1->isEnabled());
    QVERIFY(render.CheckBox2->isChecked());
    QVERIFY(!render.CheckBox4->isChecked());
    QVERIFY(render.CheckBox3->isChecked());

    // New project leaves them; Save writes what the render window shows.
    w.NewProject1->trigger();
    QVERIFY(render.CheckBox3->isChecked());
    const QString path = f.folder.filePath(QStringLiteral("options.led"));
    f.prompts.files.enqueue(path);
    w.Save1Click();
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QByteArray written = file.readAll();
    for (const char* line :
         {"RenderUseMaskEnabled=0\r\n", "RenderUseAddChecked=1\r\n", "RenderUseBackground=0\r\n",
          "RenderRotateBitmaps=1\r\n", "RenderType=0\r\n"})
        QVERIFY2(written.contains(line), line);
}

void ProjectCommandsTest::loadLeftWithoutFileOnlyRecomputes()
{
    Fixture f;
    TForm1& w = *f.window;
    w.ScrollBar3->setValue(11);
    w.Edit1->setText(QStringLiteral("kept"));
    w.Load1Click();
    QCOMPARE(f.prompts.fileDialogs, 1);
    QCOMPARE(w.ScrollBar3->value(), 11);
    QCOMPARE(w.Edit1->text(), QStringLiteral("kept"));
    QVERIFY(f.stripBack());
}

void ProjectCommandsTest::missingLedAnsweredCancelKeepsTheOpenProject()
{
    Fixture f;
    TForm1& w = *f.window;
    f.addLeds(2, 16, 16);
    w.Edit1->setText(QStringLiteral("open work"));
    w.ScrollBar6->setValue(20);
    const QString led0 = f.picture(QStringLiteral("led0.png"), 16, 16, Qt::black);
    const QString gone = f.folder.filePath(QStringLiteral("gone.png"));
    f.prompts.choices.enqueue(2); // Cancel
    f.load("Shufle=50\r\nScale=12\r\nText=abc\r\nImageF[]=000" + led0.toUtf8() +
           "\r\nImageF[]=001" + gone.toUtf8() + "\r\nKerning=9\r\n");
    // The unsaved-changes question (Discard), then the missing picture's.
    QCOMPARE(f.prompts.questions.size(), 2);
    QCOMPARE(f.prompts.questions.at(1).text, f.missingQuestion(gone));
    QVERIFY(f.stripBack());
    QVERIFY(w.projectPath().isEmpty());
    QVERIFY(w.isWindowModified());
    // Cancel keeps the project that was open, untouched by what was read.
    QCOMPARE(f.shared.ledImages.count(), 2);
    QCOMPARE(w.strip()->entryCount(), 2);
    QCOMPARE(w.Edit1->text(), QStringLiteral("open work"));
    QCOMPARE(w.ScrollBar3->value(), 5);
    QCOMPARE(w.ScrollBar6->value(), 20);
    QCOMPARE(w.ScrollBar7->value(), 0);

    // Choosing a file but leaving the LED dialog without one skips the picture.
    f.prompts.questions.clear();
    f.prompts.choices.enqueue(0);
    f.load("Text=abc\r\nImageF[]=000" + gone.toUtf8() + "\r\n");
    QCOMPARE(f.prompts.questions.size(), 2);
    QCOMPARE(f.prompts.lastRequest.title, f.text(77));
    QCOMPARE(w.Edit1->text(), QStringLiteral("abc"));
    QCOMPARE(f.shared.ledImages.count(), 0);
    QVERIFY(f.stripBack());
}

void ProjectCommandsTest::missingLedAnsweredYesTakesTheReplacement()
{
    Fixture f;
    const QString led0 = f.picture(QStringLiteral("led0.png"), 16, 16, Qt::black);
    const QString other = f.picture(QStringLiteral("other.png"), 16, 16, Qt::blue);
    const QString gone = f.folder.filePath(QStringLiteral("gone.png"));
    const QString project =
        f.file(QStringLiteral("p.led"), "ImageF[]=000" + led0.toUtf8() + "\r\nImageF[]=001" +
                                            gone.toUtf8() + "\r\nText=x\r\n");
    f.prompts.files.enqueue(project);
    f.prompts.choices.enqueue(0);
    f.prompts.files.enqueue(other);
    f.window->Load1Click();
    QCOMPARE(f.prompts.questions.size(), 1);
    QCOMPARE(f.shared.ledImages.count(), 2);
    QCOMPARE(QString::fromStdString(f.shared.ledImages[1].fileName), other);
    QCOMPARE(f.window->Edit1->text(), QStringLiteral("x"));
    QVERIFY(f.stripBack());
}

void ProjectCommandsTest::missingFontAskedAndChosen()
{
    Fixture f;
    TForm1& w = *f.window;
    const QString before = w.ListBox1->currentItem()->text();
    const QString family = otherFamily(w);

    // Cancel keeps the font and goes on with the next line.
    f.load("FontName=No Such Font Xq\r\nText=next\r\n");
    QCOMPARE(f.prompts.questions.size(), 1);
    QCOMPARE(f.prompts.questions.at(0).text,
             f.text(39) + QStringLiteral("No Such Font Xq. ") + f.text(38));
    QCOMPARE(f.prompts.fontDialogs, 0);
    QCOMPARE(w.ListBox1->currentItem()->text(), before);
    QCOMPARE(w.Edit1->text(), QStringLiteral("next"));

    // Yes opens the font dialog; the chosen face is selected.
    f.prompts.answers.enqueue(true);
    f.prompts.fonts.enqueue(family);
    f.load("FontName=No Such Font Xq\r\n");
    QCOMPARE(f.prompts.fontDialogs, 1);
    QCOMPARE(w.ListBox1->currentItem()->text(), family);
    QVERIFY(f.stripBack());

    // A name of a megabyte with control characters is asked about short and escaped.
    // (The font chosen above left the project changed, so the load may ask to save first.)
    f.prompts.questions.clear();
    f.load("FontName=\x1B[2J\a" + QByteArray(1'000'000, 'F') + "\r\n");
    QVERIFY(!f.prompts.questions.isEmpty());
    const QString asked = f.prompts.questions.last().text;
    QVERIFY2(asked.startsWith(f.text(39) + QStringLiteral("\\e[2J\\aFFF")), qPrintable(asked));
    QVERIFY(asked.contains(QStringLiteral("F…F")));
    QVERIFY(asked.size() < 400);
}

void ProjectCommandsTest::refusedLogoStopsReading()
{
    Fixture f;
    TForm1& w = *f.window;
    const QString big = f.picture(QStringLiteral("big.png"), 600, 20);
    f.load("Text=before\r\nLogoFile=" + big.toUtf8() + "\r\nText=after\r\n");
    QCOMPARE(f.prompts.messages.size(), 1);
    QCOMPARE(f.prompts.messages.at(0).caption, f.text(30));
    QCOMPARE(f.prompts.messages.at(0).text, f.text(44));
    QCOMPARE(w.Edit1->text(), QStringLiteral("before"));
    QVERIFY(!f.shared.logo.loaded);
    QVERIFY(f.stripBack());
}

void ProjectCommandsTest::badNumberStopsWithLinesBeforeApplied()
{
    Fixture f;
    TForm1& w = *f.window;
    // The file is vetted before anything is reset: the work in hand stays as it was.
    w.ScrollBar6->setValue(12);
    f.load("Shufle=40\r\nText=before\r\nScale=abc\r\nKerning=3\r\nText=after\r\n");
    QCOMPARE(f.prompts.messages.size(), 1);
    QCOMPARE(f.prompts.messages.at(0).caption, f.text(30));
    QVERIFY(f.prompts.messages.at(0).text.contains(QStringLiteral("line 3, Scale: 'abc'")));
    QCOMPARE(w.ScrollBar6->value(), 12);
    QCOMPARE(w.Edit1->text(), f.text(35));
    QCOMPARE(w.ScrollBar7->value(), 0);
    QVERIFY(f.stripBack());

    // A project that cannot be opened is reported naming it, after New project.
    f.prompts.messages.clear();
    const QString gone = f.folder.filePath(QStringLiteral("gone.led"));
    f.prompts.files.enqueue(gone);
    w.Load1Click();
    QCOMPARE(f.prompts.messages.size(), 1);
    QVERIFY(f.prompts.messages.at(0).text.contains(gone));
    QCOMPARE(w.Edit1->text(), f.text(35));
    QVERIFY(f.stripBack());
}

void ProjectCommandsTest::saveThenLoadGivesTheSameState()
{
    Fixture f;
    TForm1& w = *f.window;
    f.prompts.files.enqueue(f.picture(QStringLiteral("a.png"), 16, 16, Qt::black));
    f.prompts.files.enqueue(f.picture(QStringLiteral("b.png"), 16, 16, Qt::red));
    f.prompts.files.enqueue(f.picture(QStringLiteral("b_alpha.png"), 16, 16, Qt::white));
    w.Button1Click(w.Button1);
    w.Button1Click(w.Button1);
    w.Button1Click(w.Button2);
    w.Edit1->setText(QStringLiteral("Hi[&+01]x"));
    w.ScrollBar1->setValue(24);
    w.ScrollBar3->setValue(7);
    w.ScrollBar6->setValue(120);
    w.ScrollBar7->setValue(2);
    w.ScrollBar8->setValue(6);
    w.MaskEdit1->setText(QStringLiteral("00000042"));
    w.ListBox1->setCurrentRow(w.ListBox1->count() - 1);
    w.SpeedButton3->click();
    ProjectSettings options = w.projectSettings();
    options.renderType = kRandomPoints;
    options.rotateBitmaps = true;
    options.setUseMaskChecked(true);
    options.printDpi = 720;
    w.applyProjectSettings(options);
    const ProjectSettings saved = w.projectSettings();

    const QString path = f.folder.filePath(QStringLiteral("round.led"));
    f.prompts.files.enqueue(path);
    w.SaveProject1->trigger();
    QCOMPARE(f.prompts.lastRequest.title, f.text(80));
    QCOMPARE(f.prompts.lastRequest.fileName, f.text(108) + QStringLiteral(".led"));
    QVERIFY(QFileInfo::exists(path));
    QVERIFY(f.prompts.messages.isEmpty());

    w.NewProject1->trigger();
    QCOMPARE(f.shared.ledImages.count(), 0);
    f.prompts.files.enqueue(path);
    w.LoadProject1->trigger();
    QVERIFY(f.prompts.messages.isEmpty());
    QVERIFY(f.prompts.questions.isEmpty());
    ProjectSettings loaded = w.projectSettings();
    // The seed is written as the number it stands for.
    QCOMPARE(loaded.seedText, std::string("42"));
    loaded.seedText = saved.seedText;
    QVERIFY(loaded == saved);
    QCOMPARE(f.shared.ledImages.count(), 2);
    QVERIFY(f.shared.ledImages[1].alphaInUse);
    QCOMPARE(QFileInfo(QString::fromStdString(f.shared.ledImages[1].alphaFileName)).fileName(),
             QStringLiteral("b_alpha.png"));
}

void ProjectCommandsTest::saveConfirmsReplacingAndReportsFailure()
{
    Fixture f;
    TForm1& w = *f.window;
    const QString path = f.file(QStringLiteral("old.led"), "Text=old\r\n");

    // No keeps the earlier file.
    f.prompts.files.enqueue(path);
    w.Save1Click();
    QCOMPARE(f.prompts.questions.size(), 1);
    QCOMPARE(f.prompts.questions.at(0).text, f.text(0) + QLatin1Char(' ') + path);
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.readAll(), QByteArray("Text=old\r\n"));
    file.close();

    // Yes replaces it.
    f.prompts.files.enqueue(path);
    f.prompts.answers.enqueue(true);
    w.Save1Click();
    QVERIFY(file.open(QIODevice::ReadOnly));
    QVERIFY(file.readAll().contains("Scale=5\r\n"));
    file.close();

    // A file that cannot be written is reported naming it.
    const QString unwritable = f.folder.filePath(QStringLiteral("no/such/folder/p.led"));
    f.prompts.files.enqueue(unwritable);
    w.SaveAs1Click();
    QCOMPARE(f.prompts.messages.size(), 1);
    QVERIFY(f.prompts.messages.at(0).text.contains(unwritable));
    QVERIFY(!QFileInfo::exists(unwritable));

    // Leaving the dialog writes nothing and asks nothing.
    const qsizetype questions = f.prompts.questions.size();
    w.SaveAs1Click();
    QCOMPARE(f.prompts.questions.size(), questions);
}

void ProjectCommandsTest::saveAsksAboutReadOnlyFilesAndRefusesTheProgramsOwn()
{
    Fixture f;
    TForm1& w = *f.window;
    const QString kept = f.file(QStringLiteral("kept.led"), "Text=old\r\n");
    QVERIFY(QFile::setPermissions(kept, QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther));
    const auto contents = [](const QString& path) {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    };

    // A read-only file is asked about by name; No keeps it as it was.
    f.prompts.files.enqueue(kept);
    w.SaveAs1Click();
    QCOMPARE(f.prompts.questions.size(), 1);
    QCOMPARE(f.prompts.questions.at(0).text, f.text(kStringReplaceReadOnly).arg(kept));
    QCOMPARE(contents(kept), QByteArray("Text=old\r\n"));
    // Yes replaces it, and it stays read-only.
    f.prompts.files.enqueue(kept);
    f.prompts.answers.enqueue(true);
    w.SaveAs1Click();
    QVERIFY(contents(kept).contains("Scale=5\r\n"));
    QCOMPARE(QFileInfo(kept).permissions() &
                 (QFile::WriteOwner | QFile::WriteGroup | QFile::WriteOther),
             QFile::Permissions());
    QVERIFY(f.prompts.messages.isEmpty());

    // The program's own settings file is no place for a project, whatever the answer.
    RememberWindowGeometry(QByteArray("geometry"));
    const QString settings = SettingsFileName();
    QVERIFY(QFileInfo::exists(settings));
    f.prompts.files.enqueue(settings);
    f.prompts.answers.enqueue(true);
    w.SaveAs1Click();
    QCOMPARE(f.prompts.messages.size(), 1);
    QCOMPARE(f.prompts.messages.at(0).text,
             QStringLiteral("Cannot write file ") + settings +
                 QStringLiteral(": it is the program's settings file"));
    // The settings stay settings (the dialog's folder is remembered in them).
    QVERIFY(contents(settings).contains("geometry=@ByteArray(geometry)"));
    QVERIFY(!contents(settings).contains("Scale="));
}

void ProjectCommandsTest::quitQuestionAskedOnce_data()
{
    QTest::addColumn<bool>("fromMenu");
    QTest::newRow("File > Exit") << true;
    QTest::newRow("closing the window") << false;
}

void ProjectCommandsTest::quitQuestionAskedOnce()
{
    QFETCH(bool, fromMenu);
    Fixture f;
    TForm1& w = *f.window;
    w.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w));
    const auto quit = [&] {
        if (fromMenu)
            w.Exit1->trigger();
        else
            w.close();
    };

    quit();
    QCOMPARE(f.prompts.questions.size(), 1);
    QCOMPARE(f.prompts.questions.at(0).text, f.text(34));
    QVERIFY(w.isVisible());
    QVERIFY(w.buildPreviewEnabled);

    f.prompts.answers.enqueue(true);
    quit();
    QCOMPARE(f.prompts.questions.size(), 2);
    QVERIFY(!w.isVisible());
    QVERIFY(!w.buildPreviewEnabled);
    // The handlers are detached: a change no longer reaches the recompute.
    f.shared.saveQuestionAsked = true;
    w.ScrollBar3->setValue(w.ScrollBar3->value() + 1);
    w.Edit1->setText(QStringLiteral("gone"));
    QVERIFY(f.shared.saveQuestionAsked);
    // The close that ends the program does not ask again.
    w.close();
    QCOMPARE(f.prompts.questions.size(), 2);
}

void ProjectCommandsTest::languageFilesOverwriteOnlyTheirStrings()
{
    Fixture f;
    TForm1& w = *f.window;
    w.Edit1->setText(QStringLiteral("recomputed"));
    QVERIFY(w.StatusPanel0->text() != f.text(85));
    const QString first = f.file(QStringLiteral("First.lng"),
                                 "First\r\n54=[Dodaj]\r\n85=(Kropki)\r\n34=\"Koniec?\"\r\n");
    const QString second = f.file(QStringLiteral("Second.lng"), "Second\r\n85=[Dots]\r\n");
    f.prompts.files.enqueue(first);
    w.Language1->trigger();
    QCOMPARE(f.prompts.lastRequest.folder, QStringLiteral(LUMEXA_BIN));
    QCOMPARE(w.Button1->text(), QStringLiteral("Dodaj"));
    QCOMPARE(f.text(34), QStringLiteral("Koniec?"));
    // The recompute that follows a language fills the status bar again.
    QVERIFY(w.StatusPanel0->text() != QStringLiteral("Kropki"));
    QVERIFY(!w.StatusPanel0->text().isEmpty());

    // Each file goes over English: what the second lacks is English, not the first's.
    f.prompts.files.enqueue(second);
    w.Language1->trigger();
    QCOMPARE(w.Button1->text(), QStringLiteral("Add"));
    QVERIFY(w.StatusPanel0->text() != QStringLiteral("Dots"));

    // The next start keeps the chosen language.
    w.FormActivate();
    QCOMPARE(f.text(85), QStringLiteral("Dots"));
}

void ProjectCommandsTest::manualFollowsTheAddCaption()
{
    Fixture f;
    TForm1& w = *f.window;
    QList<QUrl> opened;
    w.openDocument = [&opened](const QUrl& url) {
        opened.append(url);
        return true;
    };
    // Stand-in manuals in a program folder of the test's own, so that the test does not
    // depend on a build that made the real ones.
    w.setProgramFolder(f.folder.path());
    const QUrl english = QUrl::fromLocalFile(f.file(QStringLiteral("lumexa_TesselEN.pdf"), "%PDF"));
    const QUrl polish = QUrl::fromLocalFile(f.file(QStringLiteral("lumexa_TesselPL.pdf"), "%PDF"));

    w.Manual1->trigger();
    w.Button1->setText(QStringLiteral("Dodaj"));
    w.Manual1->trigger();
    // Only the exact caption chooses Polish.
    w.Button1->setText(QStringLiteral("dodaj"));
    w.Manual1->trigger();
    w.Button1->setText(QString());
    w.Manual1->trigger();
    QCOMPARE(opened, (QList<QUrl>{english, polish, english, english}));
    QVERIFY(f.prompts.messages.isEmpty());
}

void ProjectCommandsTest::manualThatCannotBeOpenedIsReported()
{
    Fixture f;
    TForm1& w = *f.window;
    w.show();
    QVERIFY(QTest::qWaitForWindowActive(&w));
    w.openDocument = [](const QUrl&) { return false; };
    QTest::keyClick(&w, Qt::Key_F1);
    QCOMPARE(f.prompts.messages.size(), 1);
    QVERIFY(f.prompts.messages.at(0).text.contains(
        QDir::toNativeSeparators(QStringLiteral(LUMEXA_BIN "/lumexa_TesselEN.pdf"))));

    // Home page is no second way to the manual: without examples it shows the about window.
    QSignalSpy about(&w, &TForm1::aboutRequested);
    QList<QUrl> opened;
    w.openDocument = [&opened](const QUrl& url) {
        opened.append(url);
        return true;
    };
    w.Webpage1->trigger();
    QVERIFY(opened.isEmpty() || !opened.at(0).toLocalFile().endsWith(QStringLiteral(".pdf")));
    QCOMPARE(about.size() + opened.size(), 1);
}

QTEST_MAIN(ProjectCommandsTest)
#include "project_commands_test.moc"
