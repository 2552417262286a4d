// The Help menu's documents: the manual in the language of the captions, and the home
// page, which is the folder of examples (or the about window without one) as long as the
// program has no web address of its own.
#include "app/main_window/main_window.h"

#include "app/shared_state.h"
#include "app/user_prompts.h"
#include "app/window_strings.h"

#include <QDir>
#include <QFileInfo>
#include <QPushButton>

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
    // The PDF first; a desktop without a PDF viewer most likely has a web browser.
    const QString pdf = manualPath();
    if (QFileInfo::exists(pdf) && openDocument(QUrl::fromLocalFile(pdf)))
        return;
    const QString html = manualHtmlPath();
    if (QFileInfo::exists(html) && openDocument(QUrl::fromLocalFile(html)))
        return;
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
    const QString examples = QDir(programFolder_).filePath(QStringLiteral("examples"));
    if (!QFileInfo(examples).isDir() || !openDocument(QUrl::fromLocalFile(examples)))
        About1Click();
}

} // namespace lumexa
