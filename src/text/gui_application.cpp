// The headless Qt application for text drawing.
#include "text/gui_application.h"

#include "core/base/error.h"

#include <QCoreApplication>
#include <QGuiApplication>

namespace lumexa
{

void EnsureGuiApplication()
{
    if (QCoreApplication* existing = QCoreApplication::instance()) {
        // Qt's fonts stop the program outright without a graphical application; a
        // clear error is better.
        if (qobject_cast<QGuiApplication*>(existing) == nullptr)
            throw Error("Text cannot be drawn: the program runs without Qt's GUI support");
        return;
    }
    // Qt keeps references to argc and argv for the application's whole life.
    static char name[] = "lumexa";
    static char platformOption[] = "-platform";
    static char platform[] = "offscreen";
    static char* argv[] = {name, platformOption, platform, nullptr};
    static int argc = 3;
    // Deliberately never destroyed: text may be drawn until the very end of the program,
    // and destroying Qt's application during static destruction is unsafe.
    static QGuiApplication* app = new QGuiApplication(argc, argv);
    (void)app;
}

} // namespace lumexa
