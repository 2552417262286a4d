// The Qt dialogs behind UserPrompts.
#include "app/user_prompts.h"

#include <QFileDialog>
#include <QFontDialog>
#include <QMessageBox>

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
