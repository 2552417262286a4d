// The undo stack's steps.
#include "app/main_window/project_steps.h"

#include <QRegularExpression>

#include <utility>

namespace lumexa
{

QString StepName::text(const std::function<QString(int)>& languageString) const
{
    QString t = languageString(string);
    if (t.endsWith(QLatin1Char(':')))
        t.chop(1);
    if (!t.contains(QStringLiteral("%1")))
        return t;
    QString arg = argumentString >= 0 ? languageString(argumentString) : argument;
    // A caption's mnemonic mark is no part of a name.
    arg.remove(QRegularExpression(QStringLiteral("&(?!&)")));
    return t.arg(arg);
}

ProjectStep::ProjectStep(StepTarget& target, StepName name, ProjectSettings before,
                         ProjectSettings after)
    : target_(target), name_(std::move(name)), before_(std::move(before)), after_(std::move(after))
{
}

void ProjectStep::retext(const std::function<QString(int)>& languageString)
{
    setText(name_.text(languageString));
}

void ProjectStep::undo()
{
    undoPictures();
    target_.restoreSettings(before_);
}

void ProjectStep::redo()
{
    if (pushed_) {
        pushed_ = false;
        return;
    }
    redoPictures();
    target_.restoreSettings(after_);
}

SettingsStep::SettingsStep(StepTarget& target, StepName name, int mergeKey, ProjectSettings before,
                           ProjectSettings after)
    : ProjectStep(target, std::move(name), std::move(before), std::move(after)), mergeKey_(mergeKey)
{
}

bool SettingsStep::mergeWith(const QUndoCommand* other)
{
    const auto* next = dynamic_cast<const SettingsStep*>(other);
    if (!next || next->mergeKey_ != mergeKey_ || mergeKey_ == 0)
        return false;
    after_ = next->after_;
    // A drag that ends where it began changed nothing: the stack drops the step.
    setObsolete(after_ == before_);
    return true;
}

LedStep::LedStep(StepTarget& target, StepName name, Kind kind, int n,
                 std::unique_ptr<LedImage> held, ProjectSettings before, ProjectSettings after)
    : ProjectStep(target, std::move(name), std::move(before), std::move(after)), kind_(kind), n_(n),
      held_(std::move(held))
{
}

void LedStep::putBack()
{
    LedImageSet& set = target_.ledSet();
    set.insert(n_, std::move(held_));
    set.select(n_);
}

void LedStep::takeOut()
{
    held_ = target_.ledSet().take(n_);
}

void LedStep::undoPictures()
{
    switch (kind_) {
    case Kind::Added:
        takeOut();
        break;
    case Kind::Removed:
        putBack();
        break;
    case Kind::Exchanged:
        held_ = target_.ledSet().exchange(n_, std::move(held_));
        break;
    }
    target_.ledSetChanged();
}

void LedStep::redoPictures()
{
    switch (kind_) {
    case Kind::Added:
        putBack();
        break;
    case Kind::Removed:
        takeOut();
        break;
    case Kind::Exchanged:
        held_ = target_.ledSet().exchange(n_, std::move(held_));
        break;
    }
    target_.ledSetChanged();
}

LogoStep::LogoStep(StepTarget& target, StepName name, Logo held, ProjectSettings before,
                   ProjectSettings after)
    : ProjectStep(target, std::move(name), std::move(before), std::move(after)),
      held_(std::move(held))
{
}

void LogoStep::swapLogo()
{
    std::swap(target_.logo(), held_);
    target_.logoChanged();
}

} // namespace lumexa
