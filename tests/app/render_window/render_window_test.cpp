// The render window and File > Render: the options, the destination and its questions,
// the save question, whole renders compared with lumexa-render's file, Cancel of a render
// and of a preview, refused destinations, the progress labels, where the destination
// dialog starts (the project's folder and name, the file type chosen last) and the log
// that shows its last line.
#include "app/window_fixture.h"

#include "app/render_window/print_size_box.h"
#include "app/render_window/render_window.h"
#include "app/runs/backdrop.h"
#include "app/runs/render_preview_canvas.h"
#include "app/window_strings.h"
#include "core/project/project_file.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGroupBox>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProcess>
#include <QProgressBar>
#include <QPushButton>
#include <QRegularExpression>
#include <QScrollBar>
#include <QSpinBox>
#include <QStandardPaths>
#include <QTest>
#include <QTextCursor>
#include <QTextDocument>
#include <QTimer>
#include <QToolButton>

#include <functional>
#include <sys/stat.h>
#include <utility>

using namespace lumexa;

namespace
{

// Milliseconds a run may take in the slowest (sanitizer) builds.
constexpr int kRunTimeout = 60000;

// A main window with its render window, LED images and a project ready to render.
struct RenderFixture : WindowFixture {
    explicit RenderFixture(int ledWidth = 12, int ledHeight = 12, int leds = 3)
        : render(shared, prompts, window.get())
    {
        window->setRenderWindow(&render);
        addLeds(leds, ledWidth, ledHeight);
        window->Edit1->setText(QStringLiteral("Lu"));
        window->ScrollBar1->setValue(12);
        render.prepareForCommand(window->settingsFromControls());
    }

    // Chooses `path` as the destination through the destination button.
    void choose(const QString& path)
    {
        prompts.files.enqueue(path);
        render.BitBtn1Click();
    }

    // True once the run's thread has ended and the window is idle again.
    bool idle() const { return !render.runActive() && render.activity() == TForm3::Activity::Idle; }

    QStringList logLines() const { return render.Memo1->toPlainText().split(QLatin1Char('\n')); }

    // Runs File > Render; `inside` sees the window while it is shown, then closes it.
    void renderCommand(const std::function<void()>& inside = {})
    {
        QTimer::singleShot(0, &render, [this, inside] {
            if (inside)
                inside();
            render.Button1Click();
        });
        window->Render1Click();
    }

    QByteArray bytes(const QString& path) const
    {
        QFile f(path);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }

    TForm3 render;
};

} // namespace

class RenderWindowTest : public QObject
{
    Q_OBJECT
  private slots:
    void hasEveryControlAndItsDefaults();
    void maskOptionsExcludeEachOther();
    void renderCommandPreparesTheWindow();
    void useMaskIsOfferedOnlyWithAlphaPictures();
    void saveQuestionIsAskedOnceUntilASettingChanges();
    void existingDestinationAnsweredNoChangesNothing();
    void renderWritesWhatLumexaRenderWrites_data();
    void renderWritesWhatLumexaRenderWrites();
    void compressionIsChosenForPngAndTiff();
    void deepZoomExportOffersItsPage();
    void cancelledRenderLeavesTheEarlierFile();
    void cancelStopsALayoutInProgress();
    void unwritableDestinationIsReported();
    void destinationStartsAtTheProjectWithTheChosenType();
    void logShowsItsLastLineAfterWrappedLines();
    void destinationThatIsAnInputOrNoFileIsRefused();
    void readOnlyDestinationIsAskedAboutByName();
    void targaSizeLimitIsReportedBeforeWriting();
    void previewRunsToTheEndAndCancels();
    void previewPlacement_data();
    void previewPlacement();
    void previewAndRenderShowTheResultAveraged();
    void backgroundChoiceFollowsTheBox();
    void previewShowsWhatTheDestinationHolds();
    void printSizeFollowsResolutionAndTypedLengths();
};

void RenderWindowTest::hasEveryControlAndItsDefaults()
{
    RenderFixture f;
    TForm3& w = f.render;
    QCOMPARE(w.size(), QSize(745, 427 + 84));
    QCOMPARE(w.windowTitle(), QStringLiteral("Render panel"));
    QVERIFY(w.isModal());
    for (const char* name :
         {"GroupBox2", "CheckBox1",    "CheckBox2",     "CheckBox3", "CheckBox4", "RadioGroup1",
          "Label2",    "Edit1",        "BitBtn1",       "Memo1",     "GroupBox1", "Label1",
          "Label3",    "ProgressBar1", "Panel1",        "Image1",    "Button1",   "Button2",
          "Button3",   "Button4",      "CompressionBox"})
        QVERIFY2(w.findChild<QObject*>(QString::fromLatin1(name)) != nullptr, name);
    QVERIFY(!w.CheckBox1->isChecked());
    QVERIFY(!w.CheckBox2->isChecked());
    QVERIFY(!w.CheckBox3->isChecked());
    QVERIFY(w.CheckBox4->isChecked());
    QCOMPARE(w.renderType(), 2);
    QVERIFY(w.Button3->isHidden());
    QVERIFY(w.Label3->isHidden());
    QCOMPARE(w.ProgressBar1->maximum(), 100);
    QCOMPARE(w.Image1->size(), QSize(455, 321));
    // The log is lime on black in a fixed-width face.
    QCOMPARE(w.Memo1->palette().color(QPalette::Base), QColor(Qt::black));
    QCOMPARE(w.Memo1->palette().color(QPalette::Text), QColor(0, 255, 0));
    QVERIFY(w.Memo1->font().fixedPitch());
    QCOMPARE(w.SaveDialog1.filters.first(), QStringLiteral("Targa file (*.tga)"));
    QCOMPARE(w.SaveDialog1.selectedFilter, 0);
    QCOMPARE(w.SaveDialog1.filters.last(), QStringLiteral("All files (*)"));
    QCOMPARE(w.SaveDialog1.defaultSuffix, QStringLiteral("tga"));
    // Options go to a project and come back.
    ProjectSettings s;
    s.renderType = 0;
    s.useAddChecked = true;
    s.useBackground = false;
    s.rotateBitmaps = true;
    w.applyOptions(s);
    ProjectSettings back;
    w.readOptions(back);
    QCOMPARE(back.renderType, 0);
    QVERIFY(back.useAddChecked && !back.useMaskChecked && !back.useBackground &&
            back.rotateBitmaps);
}

void RenderWindowTest::maskOptionsExcludeEachOther()
{
    RenderFixture f;
    TForm3& w = f.render;
    w.CheckBox2->click();
    QVERIFY(w.CheckBox2->isChecked());
    w.CheckBox1->click();
    QVERIFY(w.CheckBox1->isChecked());
    QVERIFY(!w.CheckBox2->isChecked());
    w.CheckBox2->click();
    QVERIFY(w.CheckBox2->isChecked());
    QVERIFY(!w.CheckBox1->isChecked());
}

void RenderWindowTest::renderCommandPreparesTheWindow()
{
    RenderFixture f;
    TForm3& w = f.render;
    f.choose(f.folder.filePath(QStringLiteral("a.tga")));
    QVERIFY(w.Button2->isEnabled());
    w.ProgressBar1->setValue(40);
    w.Label1->setText(QStringLiteral("40.0%"));
    bool previewOff = false;
    f.renderCommand([&] {
        previewOff = !f.window->buildPreviewEnabled;
        QVERIFY(w.isVisible());
        QVERIFY(w.Edit1->text().isEmpty());
        QVERIFY(!w.Button2->isEnabled());
        QCOMPARE(w.Memo1->toPlainText(), f.text(43));
        QCOMPARE(w.ProgressBar1->value(), 0);
        QCOMPARE(w.Label1->text(), QStringLiteral("0%"));
        QVERIFY(w.Label3->isHidden());
        // Captions 88 to 103.
        QCOMPARE(w.Button1->text(), f.text(88));
        QCOMPARE(w.Button2->text(), f.text(89));
        QCOMPARE(w.Button3->text(), f.text(90));
        QCOMPARE(w.Button4->text(), f.text(91));
        QCOMPARE(w.CheckBox1->text(), f.text(94));
        QCOMPARE(w.CheckBox4->text(), f.text(97));
        QCOMPARE(w.SaveDialog1.title, f.text(103));
    });
    QVERIFY(previewOff);
    QVERIFY(f.window->buildPreviewEnabled);
    QVERIFY(!w.isVisible());
    QCOMPARE(f.shared.ledImages.sharedCount, 3);
    // Closing the window keeps the user's text, and the status bar keeps its figures
    // rather than the placeholders that the captions bring back.
    QCOMPARE(f.window->Edit1->text(), QStringLiteral("Lu"));
    QVERIFY(f.window->StatusPanel0->text() != f.text(85));
    QVERIFY(f.window->StatusPanel1->text() != f.text(86));
    QVERIFY(f.window->StatusPanel2->text() != f.text(87));
}

void RenderWindowTest::useMaskIsOfferedOnlyWithAlphaPictures()
{
    RenderFixture f;
    TForm3& w = f.render;
    w.CheckBox1->setChecked(true);
    w.CheckBox3->setChecked(true);
    f.renderCommand();
    QVERIFY(!w.CheckBox1->isChecked());
    QVERIFY(!w.CheckBox1->isEnabled());

    // With an alpha picture the box is offered again; the other options stay as left.
    f.prompts.files.enqueue(f.picture(QStringLiteral("alpha.png"), 12, 12, Qt::black));
    f.window->Button1Click(f.window->Button2);
    QVERIFY(f.shared.ledImages.anyAlphaInUse());
    f.renderCommand();
    QVERIFY(w.CheckBox1->isEnabled());
    QVERIFY(!w.CheckBox1->isChecked());
    QVERIFY(w.CheckBox3->isChecked());
}

void RenderWindowTest::saveQuestionIsAskedOnceUntilASettingChanges()
{
    RenderFixture f;
    const auto asked = [&] {
        int n = 0;
        for (const auto& q : f.prompts.questions)
            n += q.text == f.text(42);
        return n;
    };
    // Yes saves the project first.
    const QString project = f.folder.filePath(QStringLiteral("before-render.led"));
    f.prompts.answers.enqueue(true);
    f.prompts.files.enqueue(project);
    f.renderCommand();
    QCOMPARE(asked(), 1);
    QVERIFY(QFile::exists(project));
    f.renderCommand();
    QCOMPARE(asked(), 1);
    f.window->ScrollBar6->setValue(30);
    f.renderCommand();
    QCOMPARE(asked(), 2);
}

void RenderWindowTest::existingDestinationAnsweredNoChangesNothing()
{
    RenderFixture f;
    TForm3& w = f.render;
    const QString earlier = f.folder.filePath(QStringLiteral("earlier.tga"));
    {
        QFile file(earlier);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("earlier");
    }
    // The destination button: No keeps the field, the Render button and the log.
    w.Memo1->setPlainText(QStringLiteral("kept"));
    f.prompts.answers.enqueue(false);
    f.choose(earlier);
    QCOMPARE(f.prompts.questions.last().text, f.text(0) + QStringLiteral(" earlier.tga?"));
    QVERIFY(w.Edit1->text().isEmpty());
    QVERIFY(!w.Button2->isEnabled());
    QCOMPARE(w.Memo1->toPlainText(), QStringLiteral("kept"));

    // Yes takes it, and the Render button overwrites it without asking again.
    f.prompts.answers.enqueue(true);
    f.choose(earlier);
    QCOMPARE(w.Edit1->text(), earlier);
    QVERIFY(w.Button2->isEnabled());
    const qsizetype asked = f.prompts.questions.size();
    QTest::mouseClick(w.Button2, Qt::LeftButton);
    QTRY_VERIFY_WITH_TIMEOUT(f.idle(), kRunTimeout);
    QCOMPARE(f.prompts.questions.size(), asked);
    QVERIFY(f.bytes(earlier).size() > 1000);
}

void RenderWindowTest::renderWritesWhatLumexaRenderWrites_data()
{
    QTest::addColumn<int>("type");
    QTest::addColumn<bool>("rotate");
    QTest::addColumn<bool>("background");
    QTest::addColumn<int>("mask"); // 0 none, 1 use mask, 2 additive
    QTest::addColumn<bool>("opaque");
    QTest::newRow("random bitmaps, rotated") << 1 << true << true << 0 << false;
    QTest::newRow("full render, masks") << 2 << true << true << 1 << false;
    QTest::newRow("full render, masks, opaque panel") << 2 << true << true << 1 << true;
    QTest::newRow("random points, additive, no background") << 0 << false << false << 2 << false;
}

void RenderWindowTest::renderWritesWhatLumexaRenderWrites()
{
    QFETCH(int, type);
    QFETCH(bool, rotate);
    QFETCH(bool, background);
    QFETCH(int, mask);
    QFETCH(bool, opaque);
    RenderFixture f;
    TForm3& w = f.render;
    if (opaque) {
        w.BackgroundBox->setFocus();
        QTest::keyClick(w.BackgroundBox, Qt::Key_End);
    }
    if (mask == 1) {
        f.prompts.files.enqueue(f.picture(QStringLiteral("alpha.png"), 12, 12, Qt::gray));
        f.window->Button1Click(f.window->Button2);
    }
    w.CheckBox3->setChecked(rotate);
    w.CheckBox4->setChecked(background);
    w.CheckBox1->setChecked(mask == 1);
    w.CheckBox2->setChecked(mask == 2);
    w.setRenderType(type);
    f.window->ScrollBar6->setValue(40);

    // The same project through lumexa-render.
    ProjectSettings settings = f.window->settingsFromControls();
    w.readOptions(settings);
    const std::vector<std::string> fonts;
    ProjectState state{settings, f.shared.ledImages, f.shared.logo, fonts};
    const QString project = f.folder.filePath(QStringLiteral("same.led"));
    WriteProjectFile(project.toStdString(), state);
    const QString fromCli = f.folder.filePath(QStringLiteral("cli.tga"));
    QProcess cli;
    cli.start(QStringLiteral(LUMEXA_BIN "/lumexa-render"),
              {QStringLiteral("-q"), project, fromCli});
    QVERIFY(cli.waitForFinished(60000));
    QVERIFY2(cli.exitCode() == 0, cli.readAllStandardError().constData());

    const QString fromWindow = f.folder.filePath(QStringLiteral("window.tga"));
    w.prepareForCommand(f.window->settingsFromControls());
    f.choose(fromWindow);
    w.Button2Click();
    QCOMPARE(w.activity(), TForm3::Activity::Rendering);
    QVERIFY(!w.Button3->isHidden());
    QVERIFY(!w.GroupBox2->isEnabled());
    QTRY_VERIFY_WITH_TIMEOUT(f.idle(), kRunTimeout);

    const QByteArray window = f.bytes(fromWindow);
    QVERIFY(window.size() > 18);
    QVERIFY(window == f.bytes(fromCli));
    // The grid fills the result: an opaque panel leaves no pixel uncovered.
    int uncovered = 0;
    for (qsizetype i = 18 + 3; i < window.size(); i += 4)
        uncovered += static_cast<uint8_t>(window[i]) != 255;
    QCOMPARE(uncovered == 0, opaque);
    QCOMPARE(w.ProgressBar1->value(), 100);
    QCOMPARE(w.Label1->text(), QStringLiteral("100%"));
    QVERIFY(w.Label3->isHidden());
    QVERIFY(w.GroupBox2->isEnabled());
    const QStringList log = f.logLines();
    QVERIFY(log.contains(f.text(1)));
    QVERIFY(log.contains(f.text(4)));
    QCOMPARE(log.last(), f.text(19));
    QVERIFY(f.prompts.messages.isEmpty());
    // The reduced result has been drawn.
    const QImage preview = w.previewImage();
    bool lit = false;
    for (int y = 0; y < preview.height() && !lit; ++y)
        for (int x = 0; x < preview.width() && !lit; ++x)
            lit = preview.pixel(x, y) != qRgb(0, 0, 0);
    QVERIFY(lit);
}

void RenderWindowTest::compressionIsChosenForPngAndTiff()
{
    RenderFixture f;
    TForm3& w = f.render;
    w.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w));
    QVERIFY(!w.CompressionBox->isEnabled()); // no destination yet
    const auto chooseByClick = [&](const char* name) {
        const QString path = f.folder.filePath(QString::fromLatin1(name));
        f.prompts.files.enqueue(path);
        QTest::mouseClick(w.BitBtn1, Qt::LeftButton);
        QCOMPARE(w.Edit1->text(), path);
    };
    chooseByClick("r.tga");
    QVERIFY(!w.CompressionBox->isEnabled());
    chooseByClick("r.pdf"); // a print-shop page keeps its own compression
    QVERIFY(!w.CompressionBox->isEnabled());
    chooseByClick("r.tif");
    QVERIFY(w.CompressionBox->isEnabled());
    chooseByClick("fast.png");
    QVERIFY(w.CompressionBox->isEnabled());
    QCOMPARE(w.CompressionBox->currentText(), QStringLiteral("fast"));

    QTest::mouseClick(w.Button2, Qt::LeftButton);
    QVERIFY(!w.CompressionBox->isEnabled()); // not while the render runs
    QTRY_VERIFY_WITH_TIMEOUT(f.idle(), kRunTimeout);
    QVERIFY(w.CompressionBox->isEnabled());

    w.CompressionBox->setFocus();
    QTest::keyClick(w.CompressionBox, Qt::Key_Down);
    QCOMPARE(w.CompressionBox->currentIndex(), 1);
    chooseByClick("small.png");
    QTest::mouseClick(w.Button2, Qt::LeftButton);
    QTRY_VERIFY_WITH_TIMEOUT(f.idle(), kRunTimeout);
    QVERIFY(f.prompts.messages.isEmpty());

    const QString fast = f.folder.filePath(QStringLiteral("fast.png"));
    const QString small = f.folder.filePath(QStringLiteral("small.png"));
    QVERIFY(QFileInfo(small).size() < QFileInfo(fast).size());
    const QImage a(fast), b(small);
    QVERIFY(!a.isNull());
    QVERIFY(a == b);

    // The choice is a project setting.
    ProjectSettings s;
    w.readOptions(s);
    QCOMPARE(s.compression, Compression::Small);
    s.compression = Compression::Fast;
    w.applyOptions(s);
    QCOMPARE(w.CompressionBox->currentIndex(), 0);
}

void RenderWindowTest::cancelledRenderLeavesTheEarlierFile()
{
    // Large enough that Cancel comes long before the last row.
    RenderFixture f(128, 128);
    TForm3& w = f.render;
    f.window->Edit1->setText(QStringLiteral("1234567890"));
    f.window->ScrollBar1->setValue(32);
    w.prepareForCommand(f.window->settingsFromControls());
    const QString earlier = f.folder.filePath(QStringLiteral("earlier.tga"));
    {
        QFile file(earlier);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("earlier");
    }
    f.prompts.answers.enqueue(true);
    f.choose(earlier);
    w.Button2Click();
    QVERIFY(w.runActive());
    // The label shows one decimal while rows are written.
    QTRY_VERIFY_WITH_TIMEOUT(w.Label1->text() != QStringLiteral("0%"), kRunTimeout);
    QVERIFY(QRegularExpression(QStringLiteral("^\\d+\\.\\d%$")).match(w.Label1->text()).hasMatch());
    QVERIFY(
        QRegularExpression(QStringLiteral("^\\d\\d+:\\d\\d$")).match(w.Label3->text()).hasMatch());
    w.Button3Click();
    QVERIFY(!w.Button1->isHidden());
    // Exit right away waits for the run to end at its row and closes it.
    w.Button1Click();
    QVERIFY(!w.runActive());
    QCOMPARE(w.ProgressBar1->value(), 0);
    QCOMPARE(w.Label1->text(), QStringLiteral("0%"));
    QVERIFY(w.Label3->isHidden());
    QVERIFY(f.logLines().contains(f.text(5)));
    QCOMPARE(f.bytes(earlier), QByteArray("earlier"));
    // No temporary file is left beside it.
    const QStringList files = QDir(f.folder.path()).entryList({QStringLiteral("*")}, QDir::Files);
    for (const QString& name : files)
        QVERIFY2(name == QStringLiteral("earlier.tga") || name.startsWith(QStringLiteral("led")),
                 qPrintable(name));
}

void RenderWindowTest::deepZoomExportOffersItsPage()
{
    RenderFixture f;
    TForm3& w = f.render;
    QVERIFY(w.SaveDialog1.filters.contains(QStringLiteral("Deep zoom web page (*.dzi)")));
    QList<QUrl> opened;
    bool opens = true;
    w.openPage = [&](const QUrl& url) {
        opened.append(url);
        return opens;
    };
    const QString path = f.folder.filePath(QStringLiteral("sign.dzi"));
    f.choose(path);
    QVERIFY(w.CompressionBox->isEnabled()); // the PNG tiles' compression
    w.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w));
    QTest::mouseClick(w.Button2, Qt::LeftButton);
    QTRY_VERIFY_WITH_TIMEOUT(f.idle(), kRunTimeout);
    QVERIFY2(f.prompts.messages.isEmpty(),
             qPrintable(f.prompts.messages.isEmpty() ? QString() : f.prompts.messages.first().text));
    QCOMPARE(w.ProgressBar1->value(), 100);
    for (int line : {241, 242, 243, 19})
        QVERIFY2(!f.logLines().filter(f.text(line)).isEmpty(), qPrintable(f.text(line)));
    const QString page = f.folder.filePath(QStringLiteral("sign.html"));
    QVERIFY(QFileInfo(page).isFile());
    QVERIFY(QFileInfo(f.folder.filePath(QStringLiteral("sign_files/0/0_0.png"))).isFile());

    // The page opens from the button over the preview; where it cannot, the window says so.
    QVERIFY(w.OpenPageButton->isVisible());
    QCOMPARE(w.OpenPageButton->text(), f.text(244));
    QTest::mouseClick(w.OpenPageButton, Qt::LeftButton);
    QCOMPARE(opened, QList<QUrl>{QUrl::fromLocalFile(page)});
    opens = false;
    QTest::mouseClick(w.OpenPageButton, Qt::LeftButton);
    QCOMPARE(f.prompts.messages.size(), 1);
    QVERIFY(f.prompts.messages.first().text.contains(page));

    // Another destination, or another run, takes the button away.
    f.choose(f.folder.filePath(QStringLiteral("other.png")));
    QVERIFY(!w.OpenPageButton->isVisible());
    w.hide();
}

void RenderWindowTest::cancelStopsALayoutInProgress()
{
    // A long text: its layout takes long enough for the click on Cancel to land in it.
    RenderFixture f;
    TForm3& w = f.render;
    f.window->Edit1->setText(QString(4000, QLatin1Char('W')));
    f.window->ScrollBar1->setValue(32);
    w.prepareForCommand(f.window->settingsFromControls());
    const QString path = f.folder.filePath(QStringLiteral("long.tga"));
    f.choose(path);
    w.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w));
    QTest::mouseClick(w.Button2, Qt::LeftButton);
    QVERIFY(w.layingOut());
    // The window's thread is free: Cancel is shown and takes the click.
    QVERIFY(w.Button3->isVisible());
    QTest::mouseClick(w.Button3, Qt::LeftButton);
    QCOMPARE(w.activity(), TForm3::Activity::Idle);
    QTRY_VERIFY_WITH_TIMEOUT(f.idle(), kRunTimeout);
    QVERIFY(f.logLines().contains(f.text(5)));
    QVERIFY(!f.logLines().contains(f.text(19)));
    QVERIFY(!QFile::exists(path));
    QVERIFY(f.prompts.messages.isEmpty()); // a cancel is no error
    w.hide();
}

void RenderWindowTest::unwritableDestinationIsReported()
{
    RenderFixture f;
    TForm3& w = f.render;
    const QString path = f.folder.filePath(QStringLiteral("no-such-folder/out.tga"));
    f.choose(path);
    w.Button2Click();
    QTRY_VERIFY_WITH_TIMEOUT(f.idle(), kRunTimeout);
    QCOMPARE(f.prompts.messages.size(), 1);
    QCOMPARE(f.prompts.messages.first().caption, f.text(30));
    QVERIFY(f.prompts.messages.first().text.contains(path));
    QVERIFY(f.logLines().last().contains(path));
    QCOMPARE(w.Label1->text(), QStringLiteral("0%"));
    QVERIFY(!w.Button2->isHidden());
    QVERIFY(w.GroupBox2->isEnabled());
    QVERIFY(!QFile::exists(path));
}

void RenderWindowTest::destinationStartsAtTheProjectWithTheChosenType()
{
    RenderFixture f;
    TForm1& m = *f.window;
    m.show();
    QVERIFY(QTest::qWaitForWindowActive(&m));
    // File > Render by its key; inside the window the destination button is clicked.
    const auto destination = [&f, &m](TForm3& render) {
        QTimer::singleShot(0, &render, [&render] {
            QTest::mouseClick(render.BitBtn1, Qt::LeftButton);
            render.reject();
        });
        QApplication::setActiveWindow(&m);
        if (!QTest::qWaitForWindowActive(&m))
            qWarning("the main window did not become active again");
        QTest::keyClick(&m, Qt::Key_R, Qt::ControlModifier);
        return f.prompts.lastRequest;
    };

    // A new project: the documents folder, the untitled name, Targa first.
    const QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    FileRequest asked = destination(f.render);
    QCOMPARE(asked.folder, documents);
    QCOMPARE(asked.fileName, QDir(documents).filePath(QStringLiteral("untitled.tga")));

    // A saved project: its folder and name; PNG chosen in the dialog is offered next time,
    // with its extension, and at the next start too.
    const QString project = f.folder.filePath(QStringLiteral("poster.led"));
    f.prompts.files.enqueue(project);
    QApplication::setActiveWindow(&m);
    QVERIFY(QTest::qWaitForWindowActive(&m));
    QTest::keyClick(&m, Qt::Key_S, Qt::ControlModifier);
    QCOMPARE(m.projectPath(), project);
    f.prompts.filters.enqueue(1);
    f.prompts.files.enqueue(f.folder.filePath(QStringLiteral("out.png")));
    asked = destination(f.render);
    QCOMPARE(asked.folder, f.folder.path());
    QCOMPARE(asked.fileName, f.folder.filePath(QStringLiteral("poster.tga")));
    asked = destination(f.render);
    QCOMPARE(asked.selectedFilter, 1);
    QCOMPARE(asked.fileName, f.folder.filePath(QStringLiteral("poster.png")));
    TForm3 later(f.shared, f.prompts, &m);
    m.setRenderWindow(&later);
    asked = destination(later);
    QCOMPARE(asked.selectedFilter, 1);
    QCOMPARE(asked.fileName, f.folder.filePath(QStringLiteral("poster.png")));
}

void RenderWindowTest::logShowsItsLastLineAfterWrappedLines()
{
    RenderFixture f;
    TForm3& w = f.render;
    // Polish lines in a larger font, as a desktop with large fonts shows them, wrap in
    // the log.
    f.prompts.files.enqueue(QStringLiteral(LUMEXA_BIN "/Polski.lng"));
    f.window->Language1->trigger();
    QFont large = w.Memo1->font();
    large.setPointSize(large.pointSize() * 2);
    w.Memo1->setFont(large);
    w.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w));
    f.choose(f.folder.filePath(QStringLiteral("out.tga")));
    QTest::mouseClick(w.Button2, Qt::LeftButton);
    QTRY_VERIFY_WITH_TIMEOUT(f.idle(), kRunTimeout);
    const QScrollBar* bar = w.Memo1->verticalScrollBar();
    QVERIFY(bar->maximum() > 0);
    QVERIFY(w.Memo1->document()->lineCount() > w.Memo1->document()->blockCount());
    QTRY_COMPARE(bar->value(), bar->maximum());
    // The end of the last line is on view.
    QTextCursor end(w.Memo1->document());
    end.movePosition(QTextCursor::End);
    const QRect endRow = w.Memo1->cursorRect(end);
    QVERIFY(endRow.top() >= 0);
    QVERIFY(endRow.bottom() <= w.Memo1->viewport()->height());
}

void RenderWindowTest::destinationThatIsAnInputOrNoFileIsRefused()
{
    RenderFixture f;
    TForm3& w = f.render;
    const QString led = QString::fromStdString(f.shared.ledImages[1].fileName);
    const QString fifo = f.folder.filePath(QStringLiteral("fifo.tga"));
    QVERIFY(::mkfifo(QFile::encodeName(fifo).constData(), 0644) == 0);
    const QByteArray ledBytes = f.bytes(led);
    QVERIFY(!ledBytes.isEmpty());

    const std::pair<QString, QString> cases[] = {
        {led, QStringLiteral(": it is the picture of LED image 1")},
        {fifo, QStringLiteral(": it is not a regular file")},
    };
    for (const auto& [path, reason] : cases) {
        f.prompts.messages.clear();
        // Choosing it asks whether to replace the existing file; the user says Yes.
        f.prompts.answers.enqueue(true);
        f.choose(path);
        QTest::mouseClick(w.Button2, Qt::LeftButton);
        QTRY_VERIFY_WITH_TIMEOUT(f.idle(), kRunTimeout);
        QCOMPARE(f.prompts.messages.size(), 1);
        QVERIFY2(f.prompts.messages.first().text.contains(path + reason),
                 qPrintable(f.prompts.messages.first().text));
        QVERIFY(QFileInfo(fifo).exists() && !QFileInfo(fifo).isFile());
        QCOMPARE(f.bytes(led), ledBytes);
    }
}

void RenderWindowTest::readOnlyDestinationIsAskedAboutByName()
{
    RenderFixture f;
    TForm3& w = f.render;
    const QString kept = f.folder.filePath(QStringLiteral("kept.tga"));
    {
        QFile file(kept);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("earlier");
    }
    const QFile::Permissions readOnly = QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther;
    QVERIFY(QFile::setPermissions(kept, readOnly));
    const QString fine = f.folder.filePath(QStringLiteral("fine.tga"));
    f.choose(fine);
    QVERIFY(w.Button2->isEnabled());

    // No: the question named the file; Render refuses it and the file stays as it was.
    f.prompts.answers.enqueue(false);
    f.choose(kept);
    QCOMPARE(f.prompts.questions.last().text, f.text(kStringReplaceReadOnly).arg(kept));
    QTest::mouseClick(w.Button2, Qt::LeftButton);
    QTRY_VERIFY_WITH_TIMEOUT(f.idle(), kRunTimeout);
    QCOMPARE(f.prompts.messages.size(), 1);
    QVERIFY2(f.prompts.messages.first().text.contains(kept + QStringLiteral(": Permission denied")),
             qPrintable(f.prompts.messages.first().text));
    QCOMPARE(f.bytes(kept), QByteArray("earlier"));

    // Yes: Render replaces it, and it stays read-only.
    f.prompts.messages.clear();
    f.prompts.answers.enqueue(true);
    f.choose(kept);
    QCOMPARE(w.Edit1->text(), kept);
    QTest::mouseClick(w.Button2, Qt::LeftButton);
    QTRY_VERIFY_WITH_TIMEOUT(f.idle(), kRunTimeout);
    QVERIFY(f.prompts.messages.isEmpty());
    QVERIFY(f.bytes(kept).size() > 1000);
    QCOMPARE(QFileInfo(kept).permissions() & ~(QFile::ReadUser | QFile::WriteUser | QFile::ExeUser),
             readOnly);
}

void RenderWindowTest::targaSizeLimitIsReportedBeforeWriting()
{
    // 512-pixel cells: a few dozen columns pass 65535 pixels.
    RenderFixture f(512, 2, 2);
    TForm3& w = f.render;
    f.window->Edit1->setText(QStringLiteral("WWWWWWWWWWWWWWWWWWWW"));
    w.prepareForCommand(f.window->settingsFromControls());
    const QString path = f.folder.filePath(QStringLiteral("wide.tga"));
    f.choose(path);
    QTest::mouseClick(w.Button2, Qt::LeftButton);
    // Refused once laid out, before a byte is written.
    QTRY_VERIFY_WITH_TIMEOUT(f.idle(), kRunTimeout);
    QCOMPARE(f.prompts.messages.size(), 1);
    QVERIFY(f.prompts.messages.first().text.contains(path));
    QVERIFY(f.prompts.messages.first().text.contains(QStringLiteral("65535")) ||
            f.prompts.messages.first().text.contains(QStringLiteral("65536")));
    QVERIFY(f.logLines().last().contains(path));
    QVERIFY(!QFile::exists(path));
}

void RenderWindowTest::previewRunsToTheEndAndCancels()
{
    RenderFixture f;
    TForm3& w = f.render;
    w.Button4Click();
    QCOMPARE(w.activity(), TForm3::Activity::Previewing);
    QTRY_VERIFY_WITH_TIMEOUT(f.idle(), kRunTimeout);
    QStringList log = f.logLines();
    QCOMPARE(log.first(), f.text(7));
    QCOMPARE(log.at(1), f.text(8));
    QVERIFY(log.at(2).startsWith(f.text(10) + QLatin1Char(' ')));
    QCOMPARE(log.last(), f.text(11));
    QCOMPARE(w.Label1->text(), QStringLiteral("100%"));
    QVERIFY(w.Label3->isHidden());
    // A result smaller than the area is shown at full size, centred in black.
    const QImage preview = w.previewImage();
    QCOMPARE(preview.pixel(0, 0), qRgb(0, 0, 0));
    QVERIFY(preview.pixel(preview.width() / 2, preview.height() / 2) != qRgb(0, 0, 0));

    // Cancel: the bar goes to 100 and the log says so.
    RenderFixture big(64, 64);
    big.window->ScrollBar1->setValue(32);
    big.render.prepareForCommand(big.window->settingsFromControls());
    big.render.Button4Click();
    big.render.Button3Click();
    QCOMPARE(big.render.activity(), TForm3::Activity::Idle);
    QTRY_VERIFY_WITH_TIMEOUT(big.idle(), kRunTimeout);
    QCOMPARE(big.render.ProgressBar1->value(), 100);
    QCOMPARE(big.render.Label1->text(), QStringLiteral("100%"));
    log = big.logLines();
    QCOMPARE(log.last(), big.text(9));
    QVERIFY(!log.contains(big.text(11)));
}

void RenderWindowTest::previewPlacement_data()
{
    QTest::addColumn<int>("width");
    QTest::addColumn<int>("height");
    QTest::addColumn<QList<int>>("placed"); // factor, width, height, left, top
    QTest::newRow("smaller: full size, centred") << 100 << 50 << QList<int>{1, 100, 50, 177, 135};
    QTest::newRow("exactly twice the area") << 910 << 642 << QList<int>{2, 455, 321, 0, 0};
    QTest::newRow("a pixel wider: the next factor")
        << 911 << 321 << QList<int>{3, 304, 107, 75, 107};
    QTest::newRow("height decides") << 1000 << 1000 << QList<int>{4, 250, 250, 102, 35};
    QTest::newRow("empty") << 0 << 0 << QList<int>{1, 0, 0, 227, 160};
}

void RenderWindowTest::previewPlacement()
{
    QFETCH(int, width);
    QFETCH(int, height);
    QFETCH(QList<int>, placed);
    const PreviewPlacement p = PlacePreview(width, height, 455, 321);
    QCOMPARE((QList<int>{p.factor, p.width, p.height, p.left, p.top}), placed);
}

void RenderWindowTest::previewAndRenderShowTheResultAveraged()
{
    // LED images of 64 pixels, where one sample per preview pixel would show a few giant
    // LEDs instead of the text.
    RenderFixture f(64, 64);
    TForm3& w = f.render;
    w.prepareForCommand(f.window->settingsFromControls());
    QTest::mouseClick(w.Button4, Qt::LeftButton);
    QTRY_VERIFY_WITH_TIMEOUT(f.idle(), kRunTimeout);
    const QImage previewed = w.previewImage();

    const QString path = f.folder.filePath(QStringLiteral("result.png"));
    f.choose(path);
    QTest::mouseClick(w.Button2, Qt::LeftButton);
    QTRY_VERIFY_WITH_TIMEOUT(f.idle(), kRunTimeout);
    QImage result(path);
    QVERIFY(!result.isNull());
    result = result.convertToFormat(QImage::Format_ARGB32);

    // Each preview pixel is the straight average of its block of the result, rounded to
    // nearest, laid over the checkerboard by its coverage (a PNG lets the transparent unlit
    // LEDs through), centred in black.
    const PreviewPlacement p = PlacePreview(result.width(), result.height(), TForm3::kPreviewWidth,
                                            TForm3::kPreviewHeight);
    QVERIFY(p.factor > 1);
    QImage expected(TForm3::kPreviewWidth, TForm3::kPreviewHeight, QImage::Format_RGB888);
    expected.fill(Qt::black);
    for (int by = 0; by < p.height; ++by)
        for (int bx = 0; bx < p.width; ++bx) {
            int sum[4] = {0, 0, 0, 0};
            int n = 0;
            for (int y = by * p.factor; y < std::min((by + 1) * p.factor, result.height()); ++y)
                for (int x = bx * p.factor; x < std::min((bx + 1) * p.factor, result.width());
                     ++x, ++n) {
                    const QRgb c = result.pixel(x, y);
                    sum[0] += qRed(c);
                    sum[1] += qGreen(c);
                    sum[2] += qBlue(c);
                    sum[3] += qAlpha(c);
                }
            uint8_t average[4];
            for (int c = 0; c < 4; ++c)
                average[c] = static_cast<uint8_t>((sum[c] + n / 2) / n);
            const int x = p.left + bx, y = p.top + by;
            expected.setPixel(x, y,
                              OverBackdrop(average, BackdropAt(Backdrop::Checkerboard, x, y)));
        }
    QCOMPARE(w.previewImage(), expected);
    QCOMPARE(previewed, expected);
}

void RenderWindowTest::backgroundChoiceFollowsTheBox()
{
    RenderFixture f;
    TForm3& w = f.render;
    w.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w));
    QCOMPARE(w.BackgroundBox->currentIndex(), int(BackgroundOpacity::Transparent));
    QVERIFY(w.BackgroundBox->isEnabled());
    // Offered while "background" is checked.
    QTest::mouseClick(w.CheckBox4, Qt::LeftButton);
    QVERIFY(!w.BackgroundBox->isEnabled());
    QTest::mouseClick(w.CheckBox4, Qt::LeftButton);
    QVERIFY(w.BackgroundBox->isEnabled());
    w.BackgroundBox->setFocus();
    QTest::keyClick(w.BackgroundBox, Qt::Key_Down);
    ProjectSettings s;
    w.readOptions(s);
    QCOMPARE(s.backgroundOpacity, BackgroundOpacity::Opaque);
    s.backgroundOpacity = BackgroundOpacity::Transparent;
    s.useBackground = false;
    w.applyOptions(s);
    QCOMPARE(w.BackgroundBox->currentIndex(), int(BackgroundOpacity::Transparent));
    QVERIFY(!w.BackgroundBox->isEnabled());
    // A run keeps it as the rest of the options.
    s.useBackground = true;
    w.applyOptions(s);
    w.Button4Click();
    QVERIFY(!w.BackgroundBox->isEnabled());
    QTRY_VERIFY_WITH_TIMEOUT(f.idle(), kRunTimeout);
    QVERIFY(w.BackgroundBox->isEnabled());
}

void RenderWindowTest::previewShowsWhatTheDestinationHolds()
{
    // LED image 0, the unlit LED, is pure red in the fixture.
    const QRgb unlit = qRgb(255, 0, 0);
    const auto count = [](const QImage& image, const std::function<bool(QRgb)>& which) {
        int n = 0;
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x)
                n += which(image.pixel(x, y));
        return n;
    };
    const auto checker = [](QRgb c) {
        return c == BackdropAt(Backdrop::Checkerboard, 0, 0) ||
               c == BackdropAt(Backdrop::Checkerboard, kCheckerSquare, 0);
    };
    const struct {
        const char* destination;
        bool opaque;
        bool panelShown;
    } cases[] = {
        {"r.png", false, false}, // the unlit LEDs let the checkerboard through
        {"r.png", true, true},
        {"r.pdf", false, true}, // print shows them whatever the choice
    };
    for (const auto& c : cases) {
        RenderFixture f;
        TForm3& w = f.render;
        ProjectSettings s;
        w.readOptions(s);
        s.backgroundOpacity = c.opaque ? BackgroundOpacity::Opaque : BackgroundOpacity::Transparent;
        w.applyOptions(s);
        f.choose(f.folder.filePath(QString::fromLatin1(c.destination)));
        w.Button4Click();
        QTRY_VERIFY_WITH_TIMEOUT(f.idle(), kRunTimeout);
        const QImage preview = w.previewImage();
        const int panel = count(preview, [&](QRgb p) { return p == unlit; });
        const int through = count(preview, checker);
        // Plain dots keep the unlit LED's colour, opaque, in the corners of their boxes;
        // everywhere else the panel shows only when the destination holds it.
        QVERIFY2(c.panelShown ? through == 0 && panel > 10000 : through > 10000,
                 qPrintable(QStringLiteral("%1: %2 unlit, %3 checkerboard")
                                .arg(c.destination)
                                .arg(panel)
                                .arg(through)));
    }
}

void RenderWindowTest::printSizeFollowsResolutionAndTypedLengths()
{
    RenderFixture f;
    TForm3& w = f.render;
    PrintSizeBox& box = *w.PrintSize;
    // The result's size as the main window's status bar gives it in pixels.
    const QStringList size =
        f.window->StatusPanel2->text().section(QStringLiteral(": "), 1).split(QLatin1Char(' '));
    const int width = size.at(0).toInt();
    const int height = size.at(2).toInt();
    QVERIFY(width > 0 && height > 0);
    const auto figure = [](double v) { return QString::number(v, 'f', 2); };
    const auto retype = [](QWidget* edit, const QString& text) {
        QTest::mouseClick(edit, Qt::LeftButton);
        QTest::keyClick(edit, Qt::Key_A, Qt::ControlModifier);
        QTest::keyClicks(edit, text);
    };
    int dpi = 0;
    f.renderCommand([&] {
        QCOMPARE(box.dpi(), 300);
        QCOMPARE(box.SizeLabel->text(),
                 QStringLiteral("%1 x %2 %3  =  %4 x %5 %6  =  %7 x %8 %9")
                     .arg(width)
                     .arg(height)
                     .arg(f.text(25))
                     .arg(figure(width / 300.0 * 2.54), figure(height / 300.0 * 2.54), f.text(27))
                     .arg(figure(width / 300.0), figure(height / 300.0), f.text(26)));
        QCOMPARE(box.WidthEdit->text(), figure(width / 300.0 * 2.54));

        retype(box.DpiBox, QStringLiteral("600"));
        QCOMPARE(box.dpi(), 600);
        QCOMPARE(box.HeightEdit->text(), figure(height / 600.0 * 2.54));
        QVERIFY(box.SizeLabel->text().endsWith(
            QStringLiteral("%1 x %2 %3")
                .arg(figure(width / 600.0), figure(height / 600.0), f.text(26))));

        // A wanted width in centimetres: the resolution follows, what was typed stays.
        retype(box.WidthEdit, QStringLiteral("10,5"));
        QCOMPARE(box.dpi(), qRound(width / (10.5 / 2.54)));
        QCOMPARE(box.WidthEdit->text(), QStringLiteral("10,5"));
        QCOMPARE(box.HeightEdit->text(), figure(height / double(box.dpi()) * 2.54));
        // Once typing ends the figure shows what the whole-number resolution gives.
        QTest::keyClick(box.WidthEdit, Qt::Key_Return);
        QCOMPARE(box.WidthEdit->text(), figure(width / double(box.dpi()) * 2.54));

        // A wanted height in inches.
        QTest::keyClick(box.UnitBox, Qt::Key_Down);
        QCOMPARE(box.UnitBox->currentText(), f.text(26));
        QCOMPARE(box.WidthEdit->text(), figure(width / double(box.dpi())));
        retype(box.HeightEdit, QStringLiteral("0.25"));
        QCOMPARE(box.dpi(), qRound(height / 0.25));
        // Nothing sensible typed leaves the resolution as it was.
        dpi = box.dpi();
        for (const char* typed : {"", "abc", "0", "-2"}) {
            retype(box.HeightEdit, QString::fromLatin1(typed));
            QCOMPARE(box.dpi(), dpi);
        }
    });

    // The project keeps the resolution, and the status bar's units follow it.
    QCOMPARE(f.window->projectSettings().printDpi, dpi);
    f.window->Inf2->trigger();
    QCOMPARE(f.window->StatusPanel2->text(),
             f.text(24) +
                 QStringLiteral(": %1 x %2 ")
                     .arg(figure(width / double(dpi)), figure(height / double(dpi))) +
                 f.text(26));
    // A render records the resolution and writes the print-shop PDF as well.
    QVERIFY(w.SaveDialog1.filters.contains(QStringLiteral("PDF file (*.pdf)")));
}

QTEST_MAIN(RenderWindowTest)
#include "render_window_test.moc"
