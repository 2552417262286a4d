// lumexa: the desktop program. Shows the splash window while the windows are created,
// then runs the event loop.
#include "app/dialogs/about_window.h"
#include "app/dialogs/splash_window.h"
#include "app/guarded_application.h"
#include "app/main_window/main_window.h"
#include "app/program_memory.h"
#include "app/render_window/render_window.h"
#include "app/shared_state.h"
#include "app/user_prompts.h"
#include "app/window_strings.h"
#include "core/base/data_folder.h"

#include <QDir>
#include <QFileInfo>

#include <memory>

namespace
{

// The language the user chose, read before any window so that the splash speaks it too.
// A file that cannot be read is the main window's to report when it reads it again.
void readStartLanguage(lumexa::TForm4& shared)
{
    const QString folder = QString::fromStdString(
        lumexa::ResolveDataFolder(QCoreApplication::applicationDirPath().toStdString()));
    const QString chosen = lumexa::RememberedLanguageFile();
    try {
        shared.languageStrings.LoadLanguage(
            QDir(folder).filePath(QStringLiteral("English.lng")).toStdString());
        if (!chosen.isEmpty() && QFileInfo::exists(chosen))
            shared.languageStrings.LoadLanguage(chosen.toStdString());
    } catch (const std::exception&) {
    }
}

} // namespace

int main(int argc, char* argv[])
{
    lumexa::GuardedApplication app(argc, argv);
    // The program's name; not a display name, which some platforms would append to
    // every window title.
    QApplication::setApplicationName(QStringLiteral("lumexa"));
    QApplication::setOrganizationName(QStringLiteral("Lumexa"));

    // The shared state is a plain object; it exists before the windows that use it.
    lumexa::TForm4 shared;
    readStartLanguage(shared);
    auto splash = std::make_unique<lumexa::TForm5>();
    splash->setTexts(shared.text(lumexa::kStringStarting), shared.text(53));
    splash->show();
    splash->repaint();
    QApplication::processEvents();

    lumexa::QtUserPrompts prompts;
    lumexa::TForm1 mainWindow(shared, prompts);
    prompts.setParent(&mainWindow);
    app.showErrorsThrough(prompts, shared);
    lumexa::TForm3 renderWindow(shared, prompts, &mainWindow);
    mainWindow.setRenderWindow(&renderWindow);
    lumexa::TFormInfo aboutWindow(&mainWindow);
    QObject::connect(&mainWindow, &lumexa::TForm1::aboutRequested, &aboutWindow,
                     [&aboutWindow, &shared] {
                         aboutWindow.applyCaptions(shared.languageStrings);
                         aboutWindow.exec();
                     });

    splash.reset();
    mainWindow.show();
    mainWindow.openStartupArguments(QApplication::arguments());
    return app.exec();
}
