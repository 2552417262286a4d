// The Help menu's documents: the manual in the language of the captions, and the home
// page, which is the manual as long as the program has no web address of its own.
#include "app/main_window/main_window.h"

#include <QDir>
#include <QPushButton>

namespace lumexa
{

QString TForm1::manualPath() const
{
    // The manual's language follows the Add button's caption.
    const QString file = Button1->text() == QStringLiteral("Dodaj")
                             ? QStringLiteral("lumexa_TesselPL.pdf")
                             : QStringLiteral("lumexa_TesselEN.pdf");
    return QDir(programFolder_).filePath(file);
}

void TForm1::Manual1Click()
{
    // Whether the desktop could open it is not reported: it shows its own message.
    openDocument(QUrl::fromLocalFile(manualPath()));
}

void TForm1::Webpage1Click()
{
    if (homePage.isValid() && !homePage.isEmpty())
        openDocument(homePage);
    else
        openDocument(QUrl::fromLocalFile(manualPath()));
}

} // namespace lumexa
