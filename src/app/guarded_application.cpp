// Catching at the one place every event passes.
#include "app/guarded_application.h"

#include <QMessageBox>

#include <exception>

namespace lumexa
{

bool GuardedApplication::notify(QObject* receiver, QEvent* event)
{
    try {
        return QApplication::notify(receiver, event);
    } catch (const std::exception& e) {
        QMessageBox::critical(activeWindow(), applicationDisplayName(),
                              QString::fromStdString(e.what()));
    }
    return false;
}

} // namespace lumexa
