// The application object: an error thrown from an event handler reaches the user in a
// message box captioned with language string 30, through the program's UserPrompts, and
// the event loop goes on.
#pragma once

#include <QApplication>

namespace lumexa
{

class TForm4;
class UserPrompts;

class GuardedApplication : public QApplication
{
    Q_OBJECT
  public:
    using QApplication::QApplication;
    // Where errors are shown, once the windows exist; both must outlive their use here.
    void showErrorsThrough(UserPrompts& prompts, const TForm4& shared);
    bool notify(QObject* receiver, QEvent* event) override;

  private:
    UserPrompts* prompts_ = nullptr;
    const TForm4* shared_ = nullptr;
};

} // namespace lumexa
