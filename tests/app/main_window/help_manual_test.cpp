// Help > Manual reached through the menu bar: the PDF when something opens it, else the
// HTML manual, else a message that names both files; in the installed layout and in the
// build tree, in English and in Polish. A viewer may fail after it started, unseen by the
// program: the status bar names the file handed over in every case.
#include "app/scripted_prompts.h"
#include "app/window_fixture.h"

#include <QAction>
#include <QDir>
#include <QFile>
#include <QMenu>
#include <QMenuBar>
#include <QStatusBar>
#include <QTest>

using namespace lumexa;

namespace
{

void Touch(const QString& path)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
}

} // namespace

class HelpManualTest : public QObject
{
    Q_OBJECT
  private slots:
    void manualFallsBackToHtml_data();
    void manualFallsBackToHtml();
};

void HelpManualTest::manualFallsBackToHtml_data()
{
    QTest::addColumn<bool>("polish");
    QTest::addColumn<bool>("installed"); // else the build tree: bin/ and manual/
    QTest::addColumn<bool>("pdfExists");
    QTest::addColumn<QStringList>("opens"); // the suffixes the desktop can open
    QTest::addColumn<QStringList>("tried"); // files handed to the desktop, in order
    QTest::addColumn<bool>("message");

    const QString pdfEn = QStringLiteral("share/lumexa/lumexa_TesselEN.pdf");
    const QString htmlEn = QStringLiteral("share/doc/lumexa/en/index.html");
    const QStringList both{QStringLiteral("pdf"), QStringLiteral("html")};
    const QStringList htmlOnly{QStringLiteral("html")};
    QTest::newRow("a PDF viewer opens the PDF")
        << false << true << true << both << QStringList{pdfEn} << false;
    QTest::newRow("no PDF viewer: the browser opens the HTML")
        << false << true << true << htmlOnly << QStringList{pdfEn, htmlEn} << false;
    QTest::newRow("no PDF file: the HTML")
        << false << true << false << both << QStringList{htmlEn} << false;
    QTest::newRow("nothing opens: a message names both files")
        << false << true << true << QStringList{} << QStringList{pdfEn, htmlEn} << true;
    QTest::newRow("Polish captions: the Polish HTML")
        << true << true << true << htmlOnly
        << QStringList{QStringLiteral("share/lumexa/lumexa_TesselPL.pdf"),
                       QStringLiteral("share/doc/lumexa/pl/index.html")}
        << false;
    QTest::newRow("build tree: the HTML built beside bin")
        << false << false << true << htmlOnly
        << QStringList{QStringLiteral("bin/lumexa_TesselEN.pdf"),
                       QStringLiteral("manual/en/index.html")}
        << false;
    QTest::newRow("Polish, nothing opens: the message in Polish")
        << true << true << true << QStringList{}
        << QStringList{QStringLiteral("share/lumexa/lumexa_TesselPL.pdf"),
                       QStringLiteral("share/doc/lumexa/pl/index.html")}
        << true;
}

void HelpManualTest::manualFallsBackToHtml()
{
    QFETCH(bool, polish);
    QFETCH(bool, installed);
    QFETCH(bool, pdfExists);
    QFETCH(QStringList, opens);
    QFETCH(QStringList, tried);
    QFETCH(bool, message);

    WindowFixture f;
    TForm1& w = *f.window;
    // Shown first: the first showing reads English.lng from the program's folder.
    w.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w));
    if (polish)
        w.LoadLanguage(QStringLiteral(LUMEXA_BIN "/Polski.lng"));
    const QDir root(f.folder.path());
    const QString lang = polish ? QStringLiteral("pl") : QStringLiteral("en");
    const QString program =
        root.filePath(installed ? QStringLiteral("share/lumexa") : QStringLiteral("bin"));
    const QString pdf = QDir(program).filePath(polish ? QStringLiteral("lumexa_TesselPL.pdf")
                                                      : QStringLiteral("lumexa_TesselEN.pdf"));
    const QString html = root.filePath(
        (installed ? QStringLiteral("share/doc/lumexa/") : QStringLiteral("manual/")) + lang +
        QStringLiteral("/index.html"));
    QDir().mkpath(program);
    if (pdfExists)
        Touch(pdf);
    Touch(html);
    w.setProgramFolder(program);

    QStringList handed;
    w.openDocument = [&](const QUrl& url) {
        handed.append(root.relativeFilePath(url.toLocalFile()));
        return opens.contains(QFileInfo(url.toLocalFile()).suffix());
    };

    QMenuBar* bar = w.menuBar();
    QTest::mouseClick(bar, Qt::LeftButton, {}, bar->actionGeometry(w.Help1->menuAction()).center());
    QTRY_VERIFY(w.Help1->isVisible());
    QTest::mouseClick(w.Help1, Qt::LeftButton, {}, w.Help1->actionGeometry(w.Manual1).center());

    QCOMPARE(handed, tried);
    const bool pdfOpened = pdfExists && opens.contains(QStringLiteral("pdf"));
    const bool htmlOpened = !pdfOpened && opens.contains(QStringLiteral("html"));
    const QString named = pdfOpened ? pdf : htmlOpened ? html : pdfExists ? pdf : html;
    const QString status = w.statusBar()->currentMessage();
    QVERIFY2(status.contains(QDir::toNativeSeparators(named)), qPrintable(status));
    QCOMPARE(status.contains(QStringLiteral("Podręcznik")), polish);
    QCOMPARE(f.prompts.messages.size(), message ? 1 : 0);
    if (message) {
        const QString text = f.prompts.messages.first().text;
        QVERIFY2(text.contains(QDir::toNativeSeparators(pdf)), qPrintable(text));
        QVERIFY2(text.contains(QDir::toNativeSeparators(html)), qPrintable(text));
        QCOMPARE(text.contains(QStringLiteral("podręcznika")), polish);
    }
}

QTEST_MAIN(HelpManualTest)
#include "help_manual_test.moc"
