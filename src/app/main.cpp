// lumexa: the desktop program. Shows the splash window while the windows are created,
// then runs the event loop.
#include "app/dialogs/about_window.h"
#include "app/dialogs/splash_window.h"
#include "app/guarded_application.h"
#include "app/main_window/main_window.h"
#include "app/render_window/render_window.h"
#include "app/shared_state.h"
#include "app/user_prompts.h"

#include <memory>

int main(int argc, char* argv[])
{
    lumexa::GuardedApplication app(argc, argv);
    auto splash = std::make_unique<lumexa::TForm5>();
    splash->show();
    splash->repaint();
    QApplication::processEvents();
    // The program's name; not a display name, which some platforms would append to
    // every window title.
    QApplication::setApplicationName(QStringLiteral("lumexa"));
    QApplication::setOrganizationName(QStringLiteral("Lumexa"));

    // The shared state is a plain object; it exists before the windows that use it.
    lumexa::TForm4 shared;
    lumexa::QtUserPrompts prompts;
    lumexa::TForm1 mainWindow(shared, prompts);
    prompts.setParent(&mainWindow);
    app.showErrorsThrough(prompts, shared);
    lumexa::TForm3 renderWindow(shared, prompts, &mainWindow);
    mainWindow.setRenderWindow(&renderWindow);
    lumexa::TFormInfo aboutWindow(&mainWindow);
    QObject::connect(&mainWindow, &lumexa::TForm1::aboutRequested, &aboutWindow,
                     [&aboutWindow] { aboutWindow.exec(); });

    splash.reset();
    mainWindow.show();
    mainWindow.openStartupArguments(QApplication::arguments());
    return app.exec();
}
