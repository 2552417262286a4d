// The project reader's questions as message boxes and dialogs.
#include "app/project_prompts_qt.h"

#include "app/shared_state.h"
#include "app/window_strings.h"
#include "core/base/shown_text.h"
#include "core/project/tags.h"

#include <QFileInfo>
#include <QLabel>

namespace lumexa
{

WindowProjectPrompts::WindowProjectPrompts(UserPrompts& prompts, const TForm4& shared,
                                           const FileRequest& ledDialog,
                                           const QString& fontDialogTitle, const QFont& initialFont,
                                           QLabel* lineLabel)
    : prompts_(prompts), shared_(shared), ledDialog_(ledDialog), fontDialogTitle_(fontDialogTitle),
      initialFont_(initialFont), lineLabel_(lineLabel)
{
}

QString WindowProjectPrompts::question(int first, const std::string& name) const
{
    // A name from the file may be megabytes long or hold control characters.
    return shared_.text(first) + QString::fromStdString(ShownText(name)) + QStringLiteral(". ") +
           shared_.text(kStringMissingTail);
}

std::optional<std::string> WindowProjectPrompts::missingFile(const std::string& path)
{
    // Skipping the one picture and reading on is the default: Cancel ends the load.
    const QStringList buttons{shared_.text(kStringChooseFile), shared_.text(kStringSkip),
                              shared_.text(90)};
    const int answer =
        prompts_.askChoice(shared_.text(30), question(kStringMissingFile, path), buttons, 1);
    if (answer == 1) {
        changed_ = true;
        return std::string();
    }
    if (answer != 0)
        return std::nullopt;
    changed_ = true;
    const std::optional<QString> file = prompts_.chooseFileToOpen(ledDialog_);
    // A dialog left without a file skips the picture as well.
    return file ? file->toStdString() : std::string();
}

std::optional<std::string> WindowProjectPrompts::missingFont(const std::string& fontName)
{
    // Whatever the answer, the project no longer has the font its file names.
    changed_ = true;
    if (!prompts_.askYesCancel(shared_.text(30), question(kStringMissingFont, fontName)))
        return std::nullopt;
    const std::optional<QFont> font = prompts_.chooseFont(initialFont_, fontDialogTitle_);
    if (!font)
        return std::nullopt;
    return font->family().toStdString();
}

void WindowProjectPrompts::refused(const LoadOutcome& outcome, const std::string& /*file*/,
                                   const RefusedPicture& /*picture*/)
{
    changed_ = true;
    // The loader's own message already names the file.
    if (outcome.languageString >= 0)
        prompts_.inform(shared_.text(30), shared_.text(outcome.languageString));
    else if (!outcome.message.empty())
        prompts_.inform(shared_.text(30), QString::fromStdString(outcome.message));
}

void WindowProjectPrompts::loadingLine(const std::string& value)
{
    if (!lineLabel_)
        return;
    lineLabel_->setText(QFileInfo(QString::fromStdString(value)).fileName());
    // Loading runs without returning to the event loop; the label is painted at once so
    // that the user sees which file is in hand.
    lineLabel_->repaint();
}

} // namespace lumexa

namespace lumexa
{

void WindowProjectPrompts::ledSkipped(int slot, const std::string& file)
{
    changed_ = true;
    skipped_.emplace_back(slot, file);
}

QString WindowProjectPrompts::rewriteTagsOfSkipped(std::string& text) const
{
    const std::u32string before = QString::fromStdString(text).toStdU32String();
    std::u32string after = before;
    QStringList gone;
    // From the last to the first, so that each slot is still numbered as in the file.
    for (auto it = skipped_.rbegin(); it != skipped_.rend(); ++it) {
        const std::u32string rewritten = RewriteTagsAfterDelete(after, it->first);
        // The text grows shorter only when tags of this picture went; the ones after it
        // are merely renumbered.
        if (rewritten.size() < after.size())
            gone.prepend(shared_.text(kStringInspectLed).arg(it->first) + QStringLiteral(" (") +
                         QFileInfo(QString::fromStdString(it->second)).fileName() +
                         QLatin1Char(')'));
        after = rewritten;
    }
    if (after == before)
        return {};
    text = QString::fromStdU32String(after).toStdString();
    if (gone.isEmpty())
        return {};
    return shared_.text(kStringTagsOfGoneLeds).arg(gone.join(QStringLiteral(", ")));
}

} // namespace lumexa
