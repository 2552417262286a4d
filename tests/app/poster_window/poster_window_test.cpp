// File > Print poster: the sheet grid and its summary follow what the user picks and
// types, values that cannot print are named and block Print, Print writes the poster
// lumexa-render writes for the same project, and Cancel leaves no file.
#include "app/window_fixture.h"

#include "app/poster_window/poster_window.h"
#include "core/print/poster_plan.h"
#include "core/project/project_file.h"

#include <QAction>
#include <QComboBox>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QProcess>
#include <QProgressBar>
#include <QPushButton>
#include <QScrollBar>
#include <QSet>
#include <QTest>
#include <QTimer>

#include <functional>

using namespace lumexa;

namespace
{

// A main window with LED images and a text, ready to print.
struct PosterFixture : WindowFixture {
    explicit PosterFixture(int ledSize = 12, const QString& text = QStringLiteral("Lu"),
                           int fontSize = 12)
    {
        addLeds(3, ledSize, ledSize);
        window->Edit1->setText(text);
        window->ScrollBar1->setValue(fontSize);
    }

    // Runs File > Print poster; `inside` sees the poster window while it is shown, once it
    // has laid the result out, then Close is clicked.
    void printPosterCommand(const std::function<void(PosterWindow&)>& inside)
    {
        bool seen = false;
        QTimer::singleShot(0, window.get(), [this, inside, &seen] {
            auto* poster = window->findChild<PosterWindow*>();
            QVERIFY(poster && poster->isVisible());
            seen = true;
            // The window lays the result out on a run of its own before it can plan.
            QTRY_VERIFY_WITH_TIMEOUT(poster->laidOut(), 60000);
            inside(*poster);
            QTest::mouseClick(poster->CloseButton, Qt::LeftButton);
        });
        QVERIFY(window->PrintPoster1->isEnabled());
        window->PrintPoster1->trigger();
        QVERIFY(seen);
        QVERIFY(window->findChild<PosterWindow*>() == nullptr);
    }

    // The result's size as the status bar gives it in pixels.
    QSize resultSize() const
    {
        const QStringList size =
            window->StatusPanel2->text().section(QStringLiteral(": "), 1).split(QLatin1Char(' '));
        return {size.at(0).toInt(), size.at(2).toInt()};
    }

    // The project as lumexa-render reads it.
    QString saveProject(const QString& name)
    {
        ProjectSettings settings = window->projectSettings();
        const std::vector<std::string> fonts;
        ProjectState state{settings, shared.ledImages, shared.logo, fonts};
        const QString path = folder.filePath(name);
        WriteProjectFile(path.toStdString(), state);
        return path;
    }
};

void Retype(QLineEdit* edit, const QString& text)
{
    QTest::mouseClick(edit, Qt::LeftButton);
    QTest::keyClick(edit, Qt::Key_A, Qt::ControlModifier);
    if (text.isEmpty())
        QTest::keyClick(edit, Qt::Key_Delete);
    else
        QTest::keyClicks(edit, text);
}

void Pick(QComboBox* box, int index)
{
    box->setFocus();
    QTest::keyClick(box, Qt::Key_Home);
    for (int i = 0; i < index; ++i)
        QTest::keyClick(box, Qt::Key_Down);
    QCOMPARE(box->currentIndex(), index);
}

bool WaitUntil(const std::function<bool()>& done, int ms = 60000)
{
    QElapsedTimer t;
    t.start();
    while (!done()) {
        if (t.elapsed() > ms)
            return false;
        QTest::qWait(5);
    }
    return true;
}

QByteArray Bytes(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

} // namespace

class PosterWindowTest : public QObject
{
    Q_OBJECT
  private slots:
    void needsWhatARenderNeeds();
    void sheetGridFollowsEveryChange_data();
    void sheetGridFollowsEveryChange();
    void valuesThatCannotPrintAreNamed_data();
    void valuesThatCannotPrintAreNamed();
    void previewShowsThePictureUnderTheGrid();
    void printWritesWhatLumexaRenderWrites();
    void cancelLeavesNoFile();
};

void PosterWindowTest::needsWhatARenderNeeds()
{
    WindowFixture f;
    QVERIFY(!f.window->PrintPoster1->isEnabled());
    f.addLeds(2);
    f.window->Edit1->setText(QStringLiteral("A"));
    QVERIFY(f.window->PrintPoster1->isEnabled());
    QCOMPARE(f.window->PrintPoster1->text(), f.text(130));
}

void PosterWindowTest::sheetGridFollowsEveryChange_data()
{
    QTest::addColumn<int>("paper"); // PosterWindow::PaperItem
    QTest::addColumn<QString>("custom");
    QTest::addColumn<int>("orientation"); // Orientation
    QTest::addColumn<int>("sizeKind");    // 0 width, 1 height
    QTest::addColumn<QString>("size");
    QTest::addColumn<QString>("margin");
    QTest::addColumn<QString>("overlap");
    QTest::addColumn<int>("columns"); // worked out by hand; -1: depends on the picture
    // Printable 190 mm across, 180 mm a step: ceil((500 - 10) / 180).
    QTest::newRow("A4 portrait, 50 cm wide") << 0 << "" << 0 << 0 << "50cm"
                                             << "10mm"
                                             << "10mm" << 3;
    // Printable 277 mm, 267 mm a step.
    QTest::newRow("A4 landscape, 50 cm wide") << 0 << "" << 1 << 0 << "50cm"
                                              << "10mm"
                                              << "10mm" << 2;
    QTest::newRow("A3 portrait, 50 cm wide") << 1 << "" << 0 << 0 << "50cm"
                                             << "10mm"
                                             << "10mm" << 2;
    // 215.9 - 2 x 25.4 = 165.1 mm printable, no overlap: ceil(508 / 165.1).
    QTest::newRow("Letter, 20 in wide, 1 in margins, no overlap") << 2 << "" << 0 << 0 << "20in"
                                                                  << "1in"
                                                                  << "0" << 4;
    QTest::newRow("Legal landscape, 1 m wide") << 3 << "" << 1 << 0 << "100cm"
                                               << "5mm"
                                               << "15mm" << 3;
    // 580 mm printable, 570 a step: ceil(990 / 570).
    QTest::newRow("custom 600x900mm, 1 m wide") << 4 << "600x900mm" << 0 << 0 << "1000mm"
                                                << "10mm"
                                                << "10mm" << 2;
    QTest::newRow("fits one sheet") << 0 << "" << 0 << 0 << "15cm"
                                    << "10mm"
                                    << "10mm" << 1;
    QTest::newRow("automatic, 50 cm wide") << 0 << "" << 2 << 0 << "50cm"
                                           << "10mm"
                                           << "10mm" << -1;
    QTest::newRow("A4 portrait, 30 cm high") << 0 << "" << 0 << 1 << "30cm"
                                             << "10mm"
                                             << "10mm" << -1;
    QTest::newRow("at the print resolution") << 0 << "" << 2 << 0 << ""
                                             << "10mm"
                                             << "10mm" << 1;
}

void PosterWindowTest::sheetGridFollowsEveryChange()
{
    QFETCH(int, paper);
    QFETCH(QString, custom);
    QFETCH(int, orientation);
    QFETCH(int, sizeKind);
    QFETCH(QString, size);
    QFETCH(QString, margin);
    QFETCH(QString, overlap);
    QFETCH(int, columns);
    PosterFixture f;
    f.printPosterCommand([&](PosterWindow& w) {
        // Starts on A4, orientation automatic, at the print resolution, 10 mm margins and
        // overlap.
        QCOMPARE(w.PaperBox->currentIndex(), int(PosterWindow::A4));
        QCOMPARE(w.OrientationBox->currentIndex(), int(Orientation::Automatic));
        QVERIFY(w.SizeEdit->text().isEmpty());
        QCOMPARE(w.MarginEdit->text(), QStringLiteral("10mm"));
        QCOMPARE(w.OverlapEdit->text(), QStringLiteral("10mm"));
        QVERIFY(w.plan().has_value());
        const QImage before = w.previewImage();

        Pick(w.PaperBox, paper);
        QCOMPARE(w.PaperEdit->isEnabled(), paper == PosterWindow::CustomPaper);
        if (paper == PosterWindow::CustomPaper)
            Retype(w.PaperEdit, custom);
        Pick(w.OrientationBox, orientation);
        Pick(w.SizeKindBox, sizeKind);
        Retype(w.SizeEdit, size);
        Retype(w.MarginEdit, margin);
        Retype(w.OverlapEdit, overlap);

        QVERIFY(w.plan().has_value());
        const PosterPlan& plan = *w.plan();
        const char* papers[] = {"a4", "a3", "letter", "legal"};
        PosterRequest r;
        r.paper =
            ParsePaper(paper == PosterWindow::CustomPaper ? custom.toStdString() : papers[paper]);
        r.orientation = static_cast<Orientation>(orientation);
        r.marginMm = ParseLength(margin.toStdString(), true);
        r.overlapMm = ParseLength(overlap.toStdString(), true);
        r.pictureWidth = f.resultSize().width();
        r.pictureHeight = f.resultSize().height();
        r.dpi = kDefaultPrintDpi;
        if (!size.isEmpty())
            (sizeKind == 0 ? r.widthMm : r.heightMm) = ParseLength(size.toStdString());
        const PosterPlan expected = PlanPoster(r);
        if (columns >= 0)
            QCOMPARE(plan.columns, columns);
        QCOMPARE(plan.columns, expected.columns);
        QCOMPARE(plan.rows, expected.rows);
        QCOMPARE(plan.landscape, expected.landscape);
        QCOMPARE(w.SummaryLabel->text(), f.text(143)
                                             .arg(plan.columns * plan.rows)
                                             .arg(plan.columns)
                                             .arg(plan.rows)
                                             .arg(QString::fromStdString(r.paper.name))
                                             .arg(plan.landscape ? f.text(136) : f.text(135))
                                             .arg(QString::number(plan.widthMm / 10, 'f', 1))
                                             .arg(QString::number(plan.heightMm / 10, 'f', 1)));
        QVERIFY(w.PrintButton->isEnabled());
        if (plan.columns * plan.rows > 1)
            QVERIFY(w.previewImage() != before);
    });
}

void PosterWindowTest::valuesThatCannotPrintAreNamed_data()
{
    QTest::addColumn<QString>("control");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("named"); // a part of the message
    QTest::newRow("size without a unit") << "SizeEdit"
                                         << "50"
                                         << "'50'";
    QTest::newRow("margins eat the paper") << "MarginEdit"
                                           << "200mm"
                                           << "nothing printable";
    QTest::newRow("overlap as wide as the sheet") << "OverlapEdit"
                                                  << "19cm"
                                                  << "overlap";
    QTest::newRow("negative margin") << "MarginEdit"
                                     << "-1mm"
                                     << "'-1mm'";
    QTest::newRow("custom paper that does not read") << "PaperEdit"
                                                     << "a5"
                                                     << "'a5'";
    QTest::newRow("paper smaller than a PDF page") << "PaperEdit"
                                                   << "1x1mm"
                                                   << "smaller than a PDF page";
    // Counted, not planned: the count and the limit are shown at once.
    QTest::newRow("more sheets than may be") << "SizeEdit"
                                             << "1e9cm"
                                             << "sheets (";
    QTest::newRow("the most sheets") << "SizeEdit"
                                     << "1e9cm"
                                     << "1000";
}

void PosterWindowTest::valuesThatCannotPrintAreNamed()
{
    QFETCH(QString, control);
    QFETCH(QString, typed);
    QFETCH(QString, named);
    PosterFixture f;
    const int dialogs = f.prompts.fileDialogs;
    f.printPosterCommand([&](PosterWindow& w) {
        if (control == QStringLiteral("PaperEdit"))
            Pick(w.PaperBox, PosterWindow::CustomPaper);
        Retype(w.findChild<QLineEdit*>(control), typed);
        QVERIFY(!w.plan().has_value());
        QVERIFY2(w.SummaryLabel->text().contains(named), qPrintable(w.SummaryLabel->text()));
        QVERIFY(!w.PrintButton->isEnabled());
        // Nothing was asked or shown in a box: the reason stays in the window.
        QVERIFY(f.prompts.messages.isEmpty());
        QCOMPARE(f.prompts.fileDialogs, dialogs);
    });
}

void PosterWindowTest::previewShowsThePictureUnderTheGrid()
{
    PosterFixture f;
    f.printPosterCommand([&](PosterWindow& w) {
        Retype(w.SizeEdit, QStringLiteral("60cm"));
        // The sampled picture arrives from its thread: the LED colours appear on the paper.
        const auto colours = [&w] {
            QSet<QRgb> seen;
            const QImage image = w.previewImage();
            for (int y = 0; y < image.height(); y += 2)
                for (int x = 0; x < image.width(); x += 2)
                    seen.insert(image.pixel(x, y));
            return seen;
        };
        QVERIFY(WaitUntil([&] { return colours().size() > 40; }));
        // The unlit LEDs (LED image 0, pure red here) print on the paper, as the sheets
        // will show them.
        QVERIFY(WaitUntil([&] {
            const QImage image = w.previewImage();
            int unlit = 0;
            for (int y = 0; y < image.height(); ++y)
                for (int x = 0; x < image.width(); ++x)
                    unlit += image.pixel(x, y) == qRgb(255, 0, 0);
            return unlit > 500;
        }));
        // Every sheet's label is drawn: the preview changes when the sheets do.
        const QImage three = w.previewImage();
        Retype(w.OverlapEdit, QStringLiteral("50mm"));
        QVERIFY(w.previewImage() != three);
    });
}

void PosterWindowTest::printWritesWhatLumexaRenderWrites()
{
    PosterFixture f;
    const QString project = f.saveProject(QStringLiteral("same.led"));
    const QString fromCli = f.folder.filePath(QStringLiteral("cli.pdf"));
    QProcess cli;
    cli.start(QStringLiteral(LUMEXA_BIN "/lumexa-render"),
              {QStringLiteral("-q"), QStringLiteral("--poster"), QStringLiteral("letter"),
               QStringLiteral("--width"), QStringLiteral("40cm"), QStringLiteral("--overlap"),
               QStringLiteral("2cm"), QStringLiteral("--landscape"), project, fromCli});
    QVERIFY(cli.waitForFinished(60000));
    QVERIFY2(cli.exitCode() == 0, cli.readAllStandardError().constData());

    const QString fromWindow = f.folder.filePath(QStringLiteral("window.pdf"));
    f.printPosterCommand([&](PosterWindow& w) {
        Pick(w.PaperBox, PosterWindow::Letter);
        Pick(w.OrientationBox, int(Orientation::Landscape));
        Retype(w.SizeEdit, QStringLiteral("40cm"));
        Retype(w.OverlapEdit, QStringLiteral("2cm"));
        f.prompts.files.enqueue(fromWindow);
        QTest::mouseClick(w.PrintButton, Qt::LeftButton);
        QCOMPARE(f.prompts.lastRequest.title, f.text(148));
        QCOMPARE(f.prompts.lastRequest.filters, QStringList{f.text(144) + " (*.pdf)"});
        QVERIFY(WaitUntil([&] { return !w.printing(); }));
        QCOMPARE(w.ProgressBar->value(), 100);
        QCOMPARE(w.ProgressLabel->text(), f.text(146).arg(fromWindow));
        QVERIFY(w.PrintButton->isVisible() && w.CancelButton->isHidden());
    });
    QVERIFY(f.prompts.messages.isEmpty());
    const QByteArray window = Bytes(fromWindow);
    QVERIFY(window.startsWith("%PDF-"));
    QVERIFY(window == Bytes(fromCli));
}

void PosterWindowTest::cancelLeavesNoFile()
{
    // Large LED cells, so that the poster takes long enough to be cancelled.
    PosterFixture f(96, QStringLiteral("Lumexa"), 20);
    const QString earlier = f.folder.filePath(QStringLiteral("earlier.pdf"));
    {
        QFile file(earlier);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("earlier");
    }
    f.printPosterCommand([&](PosterWindow& w) {
        f.prompts.files.enqueue(earlier);
        f.prompts.answers.enqueue(true); // replace it
        QTest::mouseClick(w.PrintButton, Qt::LeftButton);
        QVERIFY(w.printing());
        QVERIFY(w.CancelButton->isVisible() && w.PrintButton->isHidden());
        QVERIFY(!w.SizeEdit->isEnabled());
        // Escape does not close the window while it prints.
        QTest::keyClick(&w, Qt::Key_Escape);
        QVERIFY(w.isVisible());
        QTest::mouseClick(w.CancelButton, Qt::LeftButton);
        QVERIFY(WaitUntil([&] { return !w.printing(); }));
        QCOMPARE(w.ProgressLabel->text(), f.text(147));
        QCOMPARE(w.ProgressBar->value(), 0);
    });
    QCOMPARE(f.prompts.questions.size(), 1); // the overwrite question
    QCOMPARE(Bytes(earlier), QByteArray("earlier"));
    QCOMPARE(QDir(f.folder.path()).entryList({QStringLiteral("*.pdf*")}, QDir::Files),
             QStringList{QStringLiteral("earlier.pdf")});
}

QTEST_MAIN(PosterWindowTest)
#include "poster_window_test.moc"
