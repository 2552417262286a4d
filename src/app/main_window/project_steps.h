// The steps of the Edit menu's undo stack. Every change of the project is one step that
// holds the settings before and after it (the controls' values and the render options)
// and, for the LED strip and the logo, the picture records it took out of the project,
// so that undoing and redoing move records rather than copy pictures.
#pragma once

#include "core/pictures/led_image_set.h"
#include "core/pictures/logo.h"
#include "core/project/settings.h"

#include <QString>
#include <QUndoCommand>

#include <functional>
#include <memory>
#include <utility>

namespace lumexa
{

// What a step is called: language string `string` (a closing ":" dropped) with, in place
// of %1, language string `argumentString` when there is one, else `argument`. Kept as
// numbers so that the Edit menu follows a change of language.
struct StepName {
    StepName(int string = -1, QString argument = {}, int argumentString = -1)
        : string(string), argument(std::move(argument)), argumentString(argumentString)
    {
    }

    int string = -1;
    QString argument;
    int argumentString = -1;

    QString text(const std::function<QString(int)>& languageString) const;
};

// What the steps act on: the main window.
class StepTarget
{
  public:
    virtual ~StepTarget() = default;
    // Puts the settings on the controls and the render window and recomputes once.
    virtual void restoreSettings(const ProjectSettings& settings) = 0;
    virtual LedImageSet& ledSet() = 0;
    virtual Logo& logo() = 0;
    // The LED set or the logo was changed by a step: the commands and the Logo page follow.
    virtual void ledSetChanged() = 0;
    virtual void logoChanged() = 0;
};

// A change already made when it is pushed: the stack's first redo does nothing.
class ProjectStep : public QUndoCommand
{
  public:
    ProjectStep(StepTarget& target, StepName name, ProjectSettings before, ProjectSettings after);

    const StepName& name() const { return name_; }
    // Names the step in the language in force.
    void retext(const std::function<QString(int)>& languageString);

    void undo() override;
    void redo() override;

  protected:
    // The pictures' part of the step, done before the settings are put back.
    virtual void undoPictures() {}
    virtual void redoPictures() {}

    StepTarget& target_;
    StepName name_;
    ProjectSettings before_;
    ProjectSettings after_;

  private:
    bool pushed_ = true;
};

// A change of settings only. Steps with the same non-zero `mergeKey` that follow each
// other become one: the changes of one drag of a bar, or of one run of typing.
class SettingsStep : public ProjectStep
{
  public:
    SettingsStep(StepTarget& target, StepName name, int mergeKey, ProjectSettings before,
                 ProjectSettings after);
    int id() const override { return mergeKey_ == 0 ? -1 : 1; }
    bool mergeWith(const QUndoCommand* other) override;

  private:
    int mergeKey_;
};

// A change of the LED set, with the settings it changed along (the tags in the text).
class LedStep : public ProjectStep
{
  public:
    enum class Kind {
        Added,    // LED image n was added: the set holds it
        Removed,  // LED image n was deleted: `held` is its record
        Exchanged // LED image n was replaced or its alpha changed: `held` is the record before
    };
    LedStep(StepTarget& target, StepName name, Kind kind, int n, std::unique_ptr<LedImage> held,
            ProjectSettings before, ProjectSettings after);

  protected:
    void undoPictures() override;
    void redoPictures() override;

  private:
    void putBack();
    void takeOut();

    Kind kind_;
    int n_;
    std::unique_ptr<LedImage> held_;
};

// A change of the logo: `held` is the logo the change replaced.
class LogoStep : public ProjectStep
{
  public:
    LogoStep(StepTarget& target, StepName name, Logo held, ProjectSettings before,
             ProjectSettings after);

  protected:
    void undoPictures() override { swapLogo(); }
    void redoPictures() override { swapLogo(); }

  private:
    void swapLogo();

    Logo held_;
};

} // namespace lumexa
