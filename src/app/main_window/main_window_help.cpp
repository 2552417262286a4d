// The Help menu's documents: the manual in the language of the captions (its file named
// in the status bar), and the home page, which is the folder of examples (or the about
// window without one) as long as the program has no web address of its own.
#include "app/main_window/main_window.h"

#include "app/shared_state.h"
#include "app/user_prompts.h"
#include "app/window_strings.h"

#include <QDir>
#include <QFileInfo>
#include <QPushButton>
#include <QStatusBar>

namespace lumexa
{

bool TForm1::polishManual() const
{
    // The manual's language follows the Add button's caption.
    return Button1->text() == QStringLiteral("Dodaj");
}

QString TForm1::manualPath() const
{
    return QDir(programFolder_)
        .filePath(polishManual() ? QStringLiteral("lumexa_TesselPL.pdf")
                                 : QStringLiteral("lumexa_TesselEN.pdf"));
}

QString TForm1::manualHtmlPath() const
{
    // Installed, the program's files are in share/lumexa and the HTML manual in
    // share/doc/lumexa; in the build tree the manual is built beside bin/.
    const QString page = (polishManual() ? QStringLiteral("pl") : QStringLiteral("en")) +
                         QStringLiteral("/index.html");
    const QDir folder(programFolder_);
    const QString installed =
        QDir::cleanPath(folder.filePath(QStringLiteral("../doc/lumexa/") + page));
    const QString built = QDir::cleanPath(folder.filePath(QStringLiteral("../manual/") + page));
    return QFileInfo::exists(built) && !QFileInfo::exists(installed) ? built : installed;
}

void TForm1::Manual1Click()
{
    // The PDF first; a desktop without a PDF viewer most likely has a web browser. The
    // viewer may still fail after it started, unseen by the program: the status bar names
    // the file handed over, so that it can be opened by hand.
    const auto shown = [this](const QString& file) {
        statusBar()->showMessage(
            shared_.text(kStringManualPath).arg(QDir::toNativeSeparators(file)), 30000);
    };
    const QString pdf = manualPath();
    if (QFileInfo::exists(pdf) && openDocument(QUrl::fromLocalFile(pdf))) {
        shown(pdf);
        return;
    }
    const QString html = manualHtmlPath();
    if (QFileInfo::exists(html) && openDocument(QUrl::fromLocalFile(html))) {
        shown(html);
        return;
    }
    shown(QFileInfo::exists(pdf) || !QFileInfo::exists(html) ? pdf : html);
    prompts_.inform(shared_.text(30),
                    shared_.text(kStringManualFailed)
                        .arg(QStringLiteral("\n") + QDir::toNativeSeparators(pdf) +
                             QStringLiteral("\n") + QDir::toNativeSeparators(html)));
}

void TForm1::Webpage1Click()
{
    if (homePage.isValid() && !homePage.isEmpty()) {
        openDocument(homePage);
        return;
    }
    if (examplesFolder_.isEmpty() || !openDocument(QUrl::fromLocalFile(examplesFolder_)))
        About1Click();
}

} // namespace lumexa
