// The Qt dialogs behind UserPrompts.
#include "app/user_prompts.h"

#include <QAbstractButton>
#include <QDateTime>
#include <QFileDialog>
#include <QFontDialog>
#include <QHeaderView>
#include <QMessageBox>
#include <QPushButton>
#include <QRegularExpression>
#include <QTreeView>

namespace lumexa
{

namespace
{

// Runs a message box with a mnemonic on every button: Qt's own texts for Save, Discard
// and Cancel carry none.
int runBox(QMessageBox& box)
{
    AddMnemonics(box.buttons());
    box.exec();
    return box.standardButton(box.clickedButton());
}

int ask(QWidget* parent, const QString& caption, const QString& text,
        QMessageBox::StandardButtons buttons, QMessageBox::StandardButton defaultButton)
{
    QMessageBox box(QMessageBox::Question, caption, text, buttons, parent);
    box.setDefaultButton(defaultButton);
    return runBox(box);
}

// The first file type a filter names ("PNG file (*.png)" gives "png").
QString suffixOf(const QString& filter)
{
    static const QRegularExpression pattern(QStringLiteral("\\*\\.([A-Za-z0-9]+)"));
    return pattern.match(filter).captured(1);
}

} // namespace

QString DialogTitle(const QString& caption)
{
    QString title;
    for (int i = 0; i < caption.size(); ++i) {
        if (caption.at(i) == QLatin1Char('&')) {
            if (i + 1 < caption.size() && caption.at(i + 1) == QLatin1Char('&'))
                title += caption.at(++i);
            continue;
        }
        title += caption.at(i);
    }
    for (const QString& ellipsis : {QStringLiteral("..."), QStringLiteral("…")})
        if (title.endsWith(ellipsis))
            title.chop(ellipsis.size());
    return title.trimmed();
}

void AddMnemonics(const QList<QAbstractButton*>& buttons)
{
    const auto hasMnemonic = [](const QString& text) {
        for (int i = 0; i + 1 < text.size(); ++i) {
            if (text.at(i) != QLatin1Char('&'))
                continue;
            if (text.at(i + 1) != QLatin1Char('&'))
                return true;
            ++i;
        }
        return false;
    };
    QString used;
    for (const QAbstractButton* b : buttons) {
        const QString text = b->text();
        for (int i = 0; i + 1 < text.size(); ++i)
            if (text.at(i) == QLatin1Char('&') && text.at(i + 1) != QLatin1Char('&'))
                used += text.at(i + 1).toLower();
    }
    for (QAbstractButton* b : buttons) {
        const QString text = b->text();
        if (text.isEmpty() || hasMnemonic(text))
            continue;
        for (int i = 0; i < text.size(); ++i) {
            const QChar c = text.at(i).toLower();
            if (c.isLetter() && !used.contains(c)) {
                used += c;
                b->setText(text.left(i) + QLatin1Char('&') + text.mid(i));
                break;
            }
        }
    }
}

void QtUserPrompts::inform(const QString& caption, const QString& text)
{
    QMessageBox box(QMessageBox::Information, caption, text, QMessageBox::Ok, parent_);
    runBox(box);
}

bool QtUserPrompts::askYesNo(const QString& caption, const QString& text)
{
    return ask(parent_, caption, text, QMessageBox::Yes | QMessageBox::No, QMessageBox::Yes) ==
           QMessageBox::Yes;
}

bool QtUserPrompts::askYesCancel(const QString& caption, const QString& text)
{
    return ask(parent_, caption, text, QMessageBox::Yes | QMessageBox::Cancel, QMessageBox::Yes) ==
           QMessageBox::Yes;
}

SaveAnswer QtUserPrompts::askSaveChanges(const QString& caption, const QString& text)
{
    switch (ask(parent_, caption, text,
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
    AddMnemonics(added);
    box.exec();
    return static_cast<int>(added.indexOf(box.clickedButton()));
}

std::optional<QString> QtUserPrompts::runFileDialog(FileRequest& request, bool save)
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
    if (save) {
        // A name typed without an extension takes the chosen file type's.
        const auto followFilter = [&dialog, &request](const QString& filter) {
            const QString suffix = suffixOf(filter);
            dialog.setDefaultSuffix(suffix.isEmpty() ? request.defaultSuffix : suffix);
        };
        followFilter(dialog.selectedNameFilter());
        QObject::connect(&dialog, &QFileDialog::filterSelected, &dialog, followFilter);
    }
    if (!request.fileName.isEmpty())
        dialog.selectFile(request.fileName);
    // Names, sizes, types and dates in columns wide enough to read: the size, type and
    // date take what their texts need, the name a good third of the dialog.
    dialog.setViewMode(QFileDialog::Detail);
    const QFontMetrics metrics(dialog.font());
    const int pad = metrics.averageCharWidth() * 3;
    dialog.resize(metrics.averageCharWidth() * 140, metrics.height() * 30);
    if (auto* view = dialog.findChild<QTreeView*>(QStringLiteral("treeView"))) {
        QHeaderView* header = view->header();
        const QDateTime lastDay(QDate(2026, 12, 31), QTime(23, 59));
        header->resizeSection(0, dialog.width() * 7 / 20);
        header->resizeSection(1, metrics.horizontalAdvance(QStringLiteral("1023.9 KiB")) + pad);
        header->resizeSection(2, metrics.averageCharWidth() * 20 + pad);
        header->resizeSection(
            3, metrics.horizontalAdvance(dialog.locale().toString(lastDay, QLocale::ShortFormat)) +
                   pad);
    }
    const bool chosen = dialog.exec() == QDialog::Accepted && !dialog.selectedFiles().isEmpty();
    const qsizetype filter = request.filters.indexOf(dialog.selectedNameFilter());
    if (filter >= 0)
        request.selectedFilter = static_cast<int>(filter);
    if (!chosen)
        return std::nullopt;
    return dialog.selectedFiles().constFirst();
}

std::optional<QString> QtUserPrompts::chooseFileToOpen(FileRequest& request)
{
    return runFileDialog(request, false);
}

std::optional<QString> QtUserPrompts::chooseFileToSave(FileRequest& request)
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
