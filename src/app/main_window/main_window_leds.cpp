// The LED strip's commands: Add, Replace and Add Alpha, Clear Alpha, Delete, and the
// click on an entry that selects it and wraps the selected text in its tags.
#include "app/main_window/main_window.h"

#include "app/main_window/led_strip.h"
#include "app/shared_state.h"
#include "app/user_prompts.h"
#include "app/window_strings.h"
#include "core/project/tags.h"
#include "imaging/read/picture_decoder.h"

#include <QAction>
#include <QLineEdit>
#include <QPushButton>

#include <memory>

namespace lumexa
{

void TForm1::LedImageClick(int n)
{
    LedImageSet& set = shared_.ledImages;
    if (n < 0 || n >= set.count())
        return;
    set.select(n);
    // Tags carry two digits: LED images from 100 on cannot be named by one, so a click
    // on them selects without wrapping.
    if (Edit1->hasSelectedText() && n > 0 && n < 100) {
        // The field counts UTF-16 units, the tags count characters: a character outside
        // the basic plane (an emoji) is two units but one character.
        const QString current = Edit1->text();
        const int start16 = Edit1->selectionStart();
        const int length16 = static_cast<int>(Edit1->selectedText().size());
        const int start = static_cast<int>(current.left(start16).toStdU32String().size());
        const int length = static_cast<int>(current.mid(start16, length16).toStdU32String().size());
        const QString text =
            QString::fromStdU32String(WrapInTags(current.toStdU32String(), start, length, n));
        Edit1->setText(text);
        Edit1->deselect();
    }
    BuildPreview();
    recordSettings({kStringStepTag, QString::number(n)});
}

void TForm1::Button1Click(QPushButton* sender)
{
    LedImageSet& set = shared_.ledImages;
    buildPreviewEnabled = false;
    const LoadMode mode = sender == Button3 ? lmReplace : sender == Button2 ? lmAddAlpha : lmAdd;
    if (set.count() > 127) {
        prompts_.inform(shared_.text(30), shared_.text(kStringSetFull));
        buildPreviewEnabled = true;
        return;
    }
    if (set.SelectedLedImage() == -1 && mode != lmAdd) {
        prompts_.inform(shared_.text(30), shared_.text(31));
        buildPreviewEnabled = true;
        return;
    }
    const QString kind = mode == lmAddAlpha ? QStringLiteral("alpha") : QStringLiteral("led");
    std::unique_ptr<ProjectStep> step;
    if (const auto file = askFile(OpenDialog1, kind, false)) {
        const int selected = set.SelectedLedImage();
        // Replace and Add Alpha keep the record they change for Undo.
        std::unique_ptr<LedImage> before =
            mode == lmAdd ? nullptr : std::make_unique<LedImage>(set[selected]);
        ++recordingPaused_;
        const LoadOutcome outcome =
            set.LoadLedImageFile(file->toStdString(), mode, DecodePictureFile);
        if (outcome.languageString >= 0)
            prompts_.inform(shared_.text(30), shared_.text(outcome.languageString));
        else if (!outcome.message.empty())
            prompts_.inform(shared_.text(30), QString::fromStdString(outcome.message));
        if (outcome.changed) {
            if (mode == lmAdd) {
                const int n = set.count() - 1;
                strip_->scrollTo(set.count() * kStripPitch);
                setLedCommands();
                LedImageClick(n);
            } else {
                strip_->scrollTo(selected * kStripPitch);
                if (mode == lmReplace)
                    LedImageClick(selected);
            }
        }
        --recordingPaused_;
        if (outcome.changed) {
            const int n = mode == lmAdd ? set.count() - 1 : selected;
            const int name = mode == lmAdd       ? kStringStepAddLed
                             : mode == lmReplace ? kStringStepReplaceLed
                                                 : kStringStepAddAlpha;
            step.reset(ledStep({name, QString::number(n)},
                               mode == lmAdd ? LedStep::Kind::Added : LedStep::Kind::Exchanged, n,
                               std::move(before)));
        }
    }
    buildPreviewEnabled = true;
    BuildPreview();
    showEmptyStartHint();
    if (step)
        pushStep(step.release());
}

void TForm1::addLedFiles(const QStringList& files)
{
    LedImageSet& set = shared_.ledImages;
    buildPreviewEnabled = false;
    for (const QString& file : files) {
        if (set.count() > 127) {
            prompts_.inform(shared_.text(30), shared_.text(kStringSetFull));
            break;
        }
        const LoadOutcome outcome =
            set.LoadLedImageFile(file.toStdString(), lmAdd, DecodePictureFile);
        if (outcome.languageString >= 0)
            prompts_.inform(shared_.text(30), shared_.text(outcome.languageString));
        else if (!outcome.message.empty())
            prompts_.inform(shared_.text(30), QString::fromStdString(outcome.message));
        if (outcome.changed) {
            strip_->scrollTo(set.count() * kStripPitch);
            setLedCommands();
            ++recordingPaused_;
            LedImageClick(set.count() - 1);
            --recordingPaused_;
            pushStep(ledStep({kStringStepAddLed, QString::number(set.count() - 1)},
                             LedStep::Kind::Added, set.count() - 1, nullptr));
        }
    }
    buildPreviewEnabled = true;
    BuildPreview();
    showEmptyStartHint();
}

void TForm1::Button5Click()
{
    buildPreviewEnabled = false;
    LedImageSet& set = shared_.ledImages;
    const int n = set.SelectedLedImage();
    std::unique_ptr<ProjectStep> step;
    if (n != -1 && set[n].alphaInUse) {
        auto before = std::make_unique<LedImage>(set[n]);
        set.clearAlpha(n);
        step.reset(ledStep({kStringStepClearAlpha, QString::number(n)}, LedStep::Kind::Exchanged, n,
                           std::move(before)));
    }
    buildPreviewEnabled = true;
    BuildPreview();
    if (step)
        pushStep(step.release());
}

void TForm1::Button6Click()
{
    buildPreviewEnabled = false;
    LedImageSet& set = shared_.ledImages;
    const int n = set.SelectedLedImage();
    std::unique_ptr<LedImage> removed;
    if (n != -1) {
        removed = set.take(n);
        setLedCommands();
        ++recordingPaused_;
        Edit1->setText(
            QString::fromStdU32String(RewriteTagsAfterDelete(Edit1->text().toStdU32String(), n)));
        --recordingPaused_;
    }
    buildPreviewEnabled = true;
    BuildPreview();
    showEmptyStartHint();
    if (removed)
        pushStep(ledStep({kStringStepDeleteLed, QString::number(n)}, LedStep::Kind::Removed, n,
                         std::move(removed)));
}

} // namespace lumexa
