// The Qt dialogs behind UserPrompts.
#include "app/user_prompts.h"

#include <QFileDialog>
#include <QFontDialog>
#include <QMessageBox>
#include <QPushButton>

namespace lumexa
{

void QtUserPrompts::inform(const QString& caption, const QString& text)
{
    QMessageBox::information(parent_, caption, text, QMessageBox::Ok);
}

bool QtUserPrompts::askYesNo(const QString& caption, const QString& text)
{
    return QMessageBox::question(parent_, caption, text, QMessageBox::Yes | QMessageBox::No,
                                 QMessageBox::Yes) == QMessageBox::Yes;
}

bool QtUserPrompts::askYesCancel(const QString& caption, const QString& text)
{
    return QMessageBox::question(parent_, caption, text, QMessageBox::Yes | QMessageBox::Cancel,
                                 QMessageBox::Yes) == QMessageBox::Yes;
}

SaveAnswer QtUserPrompts::askSaveChanges(const QString& caption, const QString& text)
{
    switch (QMessageBox::question(parent_, caption, text,
                                  QMessageBox::Save | QMessageBox::Discard | QMessageBox::Cancel,
                                  QMessageBox::Save)) {
    case QMessageBox::Save:
        return SaveAnswer::Save;
    case QMessageBox::Discard:
        return SaveAnswer::Discard;
    default:
        return SaveAnswer::Cancel;
    }
}

int QtUserPrompts::askChoice(const QString& caption, const QString& text,
                             const QStringList& buttons, int defaultButton)
{
    QMessageBox box(QMessageBox::Question, caption, text, QMessageBox::NoButton, parent_);
    QList<QAbstractButton*> added;
    for (int i = 0; i < buttons.size(); ++i) {
        // The last button is the way out: Escape and closing the box press it.
        const auto role =
            i == buttons.size() - 1 ? QMessageBox::RejectRole : QMessageBox::AcceptRole;
        added.append(box.addButton(buttons.at(i), role));
    }
    if (defaultButton >= 0 && defaultButton < added.size())
        box.setDefaultButton(static_cast<QPushButton*>(added.at(defaultButton)));
    if (!added.isEmpty())
        box.setEscapeButton(added.last());
    box.exec();
    return static_cast<int>(added.indexOf(box.clickedButton()));
}

std::optional<QString> QtUserPrompts::runFileDialog(const FileRequest& request, bool save)
{
    QFileDialog dialog(parent_, request.title, request.folder);
    dialog.setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    dialog.setFileMode(save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    // The commands ask their own overwrite question (language string 0), once.
    dialog.setOption(QFileDialog::DontConfirmOverwrite, save);
    dialog.setNameFilters(request.filters);
    if (request.selectedFilter >= 0 && request.selectedFilter < request.filters.size())
        dialog.selectNameFilter(request.filters.at(request.selectedFilter));
    if (!request.defaultSuffix.isEmpty())
        dialog.setDefaultSuffix(request.defaultSuffix);
    if (!request.fileName.isEmpty())
        dialog.selectFile(request.fileName);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return std::nullopt;
    return dialog.selectedFiles().constFirst();
}

std::optional<QString> QtUserPrompts::chooseFileToOpen(const FileRequest& request)
{
    return runFileDialog(request, false);
}

std::optional<QString> QtUserPrompts::chooseFileToSave(const FileRequest& request)
{
    return runFileDialog(request, true);
}

std::optional<QFont> QtUserPrompts::chooseFont(const QFont& initial, const QString& title)
{
    bool ok = false;
    const QFont font = QFontDialog::getFont(&ok, initial, parent_, title);
    if (!ok)
        return std::nullopt;
    return font;
}

} // namespace lumexa
