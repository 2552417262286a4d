// Undo and Redo: the Edit menu, the steps each change of the project becomes, and how
// the steps are put back on the controls. Typing is grouped as a text editor groups it
// (a run of typing in one place, a new step at each new word), a drag of a bar is one
// step, and the LED strip's and the logo's commands are one step each.
#include "app/main_window/main_window.h"

#include "app/main_window/led_strip.h"
#include "app/shared_state.h"
#include "app/user_prompts.h"
#include "app/window_strings.h"

#include <QAction>
#include <QEvent>
#include <QKeyEvent>
#include <QKeySequence>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QMouseEvent>
#include <QScrollBar>
#include <QUndoStack>

namespace lumexa
{

namespace
{

bool isUndoKey(const QKeyEvent* key)
{
    const QKeyCombination combination = key->keyCombination();
    return key->matches(QKeySequence::Undo) || key->matches(QKeySequence::Redo) ||
           combination == QKeyCombination(Qt::ControlModifier, Qt::Key_Y) ||
           combination == QKeyCombination(Qt::ControlModifier | Qt::ShiftModifier, Qt::Key_Z);
}

// "&Undo %1" with the step's name; before the first language file, the design's words.
QString withStep(const QString& format, const char* design, const QString& step)
{
    const QString f = format.contains(QStringLiteral("%1")) ? format : QString::fromLatin1(design);
    return f.arg(step);
}

// "&Undo %1" without a step: "&Undo" (a closing ":" or space goes with the %1).
QString withoutStep(const QString& format, const char* design)
{
    QString text = withStep(format, design, QString()).trimmed();
    while (text.endsWith(QLatin1Char(':')) || text.endsWith(QLatin1Char(' ')))
        text.chop(1);
    return text;
}

} // namespace

void TForm1::createEditMenu()
{
    undoStack_ = new QUndoStack(this);
    undoStack_->setUndoLimit(kUndoSteps);
    EditMenu = menuBar()->addMenu(QStringLiteral("Edit"));
    EditMenu->setObjectName(QStringLiteral("EditMenu"));
    Undo1 = EditMenu->addAction(QStringLiteral("Undo"));
    Undo1->setObjectName(QStringLiteral("Undo1"));
    Undo1->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Z));
    Redo1 = EditMenu->addAction(QStringLiteral("Redo"));
    Redo1->setObjectName(QStringLiteral("Redo1"));
    Redo1->setShortcuts(
        {QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z), QKeySequence(Qt::CTRL | Qt::Key_Y)});
    connect(Undo1, &QAction::triggered, this, [this] {
        textRun_ = {};
        seedRun_ = {};
        undoStack_->undo();
    });
    connect(Redo1, &QAction::triggered, this, [this] {
        textRun_ = {};
        seedRun_ = {};
        undoStack_->redo();
    });
    connect(undoStack_, &QUndoStack::indexChanged, this, &TForm1::updateEditActions);
    connect(undoStack_, &QUndoStack::cleanChanged, this, &TForm1::updateEditActions);
    updateEditActions();
}

void TForm1::updateEditActions()
{
    const QString undo = shared_.text(kStringUndo);
    const QString redo = shared_.text(kStringRedo);
    Undo1->setEnabled(undoStack_->canUndo());
    Redo1->setEnabled(undoStack_->canRedo());
    Undo1->setText(undoStack_->canUndo() ? withStep(undo, "&Undo %1", undoStack_->undoText())
                                         : withoutStep(undo, "&Undo %1"));
    Redo1->setText(undoStack_->canRedo() ? withStep(redo, "&Redo %1", undoStack_->redoText())
                                         : withoutStep(redo, "&Redo %1"));
}

void TForm1::retextSteps()
{
    const auto text = [this](int n) { return shared_.text(n); };
    for (int i = 0; i < undoStack_->count(); ++i)
        if (auto* step =
                dynamic_cast<ProjectStep*>(const_cast<QUndoCommand*>(undoStack_->command(i))))
            step->retext(text);
    updateEditActions();
}

void TForm1::startHistory()
{
    undoStack_->clear();
    recorded_ = projectSettings();
    textRun_ = {};
    seedRun_ = {};
    heldBar_ = nullptr;
    updateEditActions();
}

void TForm1::recordSettings(const StepName& name, int mergeKey)
{
    if (recordingPaused_ > 0 || !buildPreviewEnabled)
        return;
    ProjectSettings now = projectSettings();
    if (now == recorded_)
        return;
    auto* step = new SettingsStep(*this, name, mergeKey, recorded_, now);
    step->retext([this](int n) { return shared_.text(n); });
    recorded_ = std::move(now);
    undoStack_->push(step);
}

ProjectStep* TForm1::ledStep(const StepName& name, LedStep::Kind kind, int n,
                             std::unique_ptr<LedImage> held)
{
    return new LedStep(*this, name, kind, n, std::move(held), recorded_, projectSettings());
}

void TForm1::pushStep(ProjectStep* step)
{
    step->retext([this](int n) { return shared_.text(n); });
    recorded_ = projectSettings();
    textRun_ = {};
    seedRun_ = {};
    undoStack_->push(step);
}

void TForm1::recordTyping(QLineEdit* field, const std::string& before, TypingRun& run,
                          const StepName& name)
{
    // What changed: the text between the common start and the common end.
    const QString old = QString::fromStdString(before);
    const QString now = field->text();
    int prefix = 0;
    while (prefix < old.size() && prefix < now.size() && old.at(prefix) == now.at(prefix))
        ++prefix;
    int suffix = 0;
    while (suffix < old.size() - prefix && suffix < now.size() - prefix &&
           old.at(old.size() - 1 - suffix) == now.at(now.size() - 1 - suffix))
        ++suffix;
    const int removed = static_cast<int>(old.size()) - prefix - suffix;
    const int inserted = static_cast<int>(now.size()) - prefix - suffix;
    if (removed == 0 && inserted == 0)
        return;
    // Where a letter is typed beside the same letter the texts alone cannot tell which
    // place it went to; the cursor can.
    const int cursor = field->cursorPosition();
    if (removed == 0 && cursor >= inserted && now.left(cursor - inserted) + now.mid(cursor) == old)
        prefix = cursor - inserted;
    else if (inserted == 0 && old.left(cursor) == now.left(cursor) &&
             old.mid(cursor + removed) == now.mid(cursor))
        prefix = cursor;

    bool continues = false;
    TypingRun next;
    if (removed == 0) {
        // Typing on where the last key left off, until a new word begins.
        const bool newWord =
            prefix > 0 && now.at(prefix - 1).isSpace() && !now.at(prefix).isSpace();
        continues = run.kind == 1 && prefix == run.end && !newWord;
        next = {1, continues ? run.start : prefix, prefix + inserted, 0};
    } else if (inserted == 0) {
        // Backspace and Delete in one place.
        continues = run.kind == 2 && (prefix + removed == run.start || prefix == run.start);
        next = {2, prefix, prefix, 0};
    } else {
        // Typing over a selection begins a run of typing.
        next = {1, prefix, prefix + inserted, 0};
    }
    next.key = continues ? run.key : ++gestures_;
    run = next;
    recordSettings(name, next.key);
}

void TForm1::recordBar(QScrollBar* bar)
{
    const struct {
        QScrollBar* bar;
        int string;
    } names[] = {{ScrollBar1, kStringStepFontSize},     {ScrollBar2, kStringStepThreshold},
                 {ScrollBar3, kStringStepScale},        {ScrollBar5, kStringStepDensity},
                 {ScrollBar6, kStringStepDisplacement}, {ScrollBar7, kStringStepKerning},
                 {ScrollBar8, kStringStepLogoSize}};
    for (const auto& n : names)
        if (n.bar == bar)
            // While the mouse holds the bar its changes are one step; keys and the wheel
            // make a step each.
            recordSettings({n.string}, bar == heldBar_ ? heldGesture_ : 0);
}

bool TForm1::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == Edit1 || watched == MaskEdit1) {
        // The cursor put elsewhere by the mouse or the arrow keys ends a run of typing.
        TypingRun& run = watched == Edit1 ? textRun_ : seedRun_;
        if (event->type() == QEvent::MouseButtonPress || event->type() == QEvent::FocusOut)
            run = {};
        if (event->type() == QEvent::KeyPress) {
            switch (static_cast<QKeyEvent*>(event)->key()) {
            case Qt::Key_Left:
            case Qt::Key_Right:
            case Qt::Key_Home:
            case Qt::Key_End:
            case Qt::Key_Up:
            case Qt::Key_Down:
                run = {};
                break;
            default:
                break;
            }
        }
    }
    if (event->type() == QEvent::ShortcutOverride && (watched == Edit1 || watched == MaskEdit1) &&
        isUndoKey(static_cast<QKeyEvent*>(event))) {
        // Left unaccepted, the key goes to the Edit menu's shortcut.
        event->ignore();
        return true;
    }
    if (auto* bar = qobject_cast<QScrollBar*>(watched)) {
        if (event->type() == QEvent::MouseButtonPress) {
            heldBar_ = bar;
            heldGesture_ = ++gestures_;
        } else if (event->type() == QEvent::MouseButtonRelease) {
            heldBar_ = nullptr;
        }
    }
    return QMainWindow::eventFilter(watched, event);
}

void TForm1::restoreSettings(const ProjectSettings& s)
{
    ++recordingPaused_;
    buildPreviewEnabled = false;
    const QString oldText = Edit1->text();
    // The threshold's range belongs to the text it was set for: it goes back with it.
    setIntoScrollBar(ScrollBar2, s.brightnes.min(), s.brightnes.max());
    applyProjectSettings(s);
    // The cursor goes where the text changed, as in an editor.
    const QString newText = Edit1->text();
    if (newText != oldText) {
        int prefix = 0;
        while (prefix < oldText.size() && prefix < newText.size() &&
               oldText.at(prefix) == newText.at(prefix))
            ++prefix;
        int suffix = 0;
        while (suffix < oldText.size() - prefix && suffix < newText.size() - prefix &&
               oldText.at(oldText.size() - 1 - suffix) == newText.at(newText.size() - 1 - suffix))
            ++suffix;
        Edit1->setCursorPosition(static_cast<int>(newText.size()) - suffix);
    }
    buildPreviewEnabled = true;
    BuildPreview();
    recorded_ = projectSettings();
    --recordingPaused_;
}

LedImageSet& TForm1::ledSet()
{
    return shared_.ledImages;
}

Logo& TForm1::logo()
{
    return shared_.logo;
}

void TForm1::ledSetChanged()
{
    setLedCommands();
    showEmptyStartHint();
}

void TForm1::logoChanged()
{
    if (shared_.logo.loaded) {
        ShowLogo();
    } else {
        QPixmap face(Image13->size());
        face.fill(palette().color(QPalette::Button));
        Image13->setPixmap(face);
    }
}

} // namespace lumexa
