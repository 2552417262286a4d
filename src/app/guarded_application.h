// The application object: an error thrown from an event handler reaches the user in
// a message box, and the event loop goes on.
#pragma once

#include <QApplication>

namespace lumexa
{

class GuardedApplication : public QApplication
{
    Q_OBJECT
  public:
    using QApplication::QApplication;
    bool notify(QObject* receiver, QEvent* event) override;
};

} // namespace lumexa
