// Catching at the one place every event passes.
#include "app/guarded_application.h"

#include "app/shared_state.h"
#include "app/user_prompts.h"

#include <exception>

namespace lumexa
{

void GuardedApplication::showErrorsThrough(UserPrompts& prompts, const TForm4& shared)
{
    prompts_ = &prompts;
    shared_ = &shared;
}

bool GuardedApplication::notify(QObject* receiver, QEvent* event)
{
    try {
        return QApplication::notify(receiver, event);
    } catch (const std::exception& e) {
        // Before the windows exist there is no one to show it to but the terminal.
        if (!prompts_)
            qCritical("%s", e.what());
        else
            prompts_->inform(shared_->text(30), shared_->errorText(e));
    }
    return false;
}

} // namespace lumexa
