// lumexa: the desktop program. Shows the splash window while the windows are created,
// then runs the event loop.
#include "about_window.h"
#include "guarded_application.h"
#include "main_window.h"
#include "render_window.h"
#include "shared_state.h"
#include "splash_window.h"
#include "user_prompts.h"

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

    // The shared state is a plain object; it exists before the windows that use it.
    lumexa::TForm4 shared;
    lumexa::QtUserPrompts prompts;
    lumexa::TForm1 mainWindow(shared, prompts);
    prompts.setParent(&mainWindow);
    lumexa::TForm3 renderWindow(shared, prompts, &mainWindow);
    mainWindow.setRenderWindow(&renderWindow);
    lumexa::TFormInfo aboutWindow(&mainWindow);
    QObject::connect(&mainWindow, &lumexa::TForm1::aboutRequested, &aboutWindow,
                     [&aboutWindow] { aboutWindow.exec(); });

    splash.reset();
    mainWindow.show();
    return app.exec();
}
