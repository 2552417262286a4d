// Every question, message and file or font choice of the windows goes through
// UserPrompts, so that the program shows Qt dialogs and the tests answer them.
#pragma once

#include <QFont>
#include <QString>
#include <QStringList>

#include <optional>

class QAbstractButton;
class QWidget;

namespace lumexa
{

// One file dialog: its title, the starting folder, the filters in order ("Bitmap file
// (*.bmp)"), which filter is chosen first, the default suffix and the suggested name.
struct FileRequest {
    QString title;
    QString folder;
    QStringList filters;
    int selectedFilter = 0;
    QString defaultSuffix;
    QString fileName;
};

enum class SaveAnswer { Save, Discard, Cancel };

// A dialog's title from a menu caption: the mnemonic marks go ("&&" stays one "&") and so
// does a closing ellipsis ("Change the &language..." gives "Change the language").
QString DialogTitle(const QString& caption);

// Gives every button of `buttons` that has no mnemonic one: the first letter of its text
// that no other button uses yet. Buttons that have one keep it.
void AddMnemonics(const QList<QAbstractButton*>& buttons);

class UserPrompts
{
  public:
    virtual ~UserPrompts() = default;

    // A plain message box with the single button OK.
    virtual void inform(const QString& caption, const QString& text) = 0;
    // A confirmation box; true when the answer is Yes.
    virtual bool askYesNo(const QString& caption, const QString& text) = 0;
    // A confirmation box with Yes and Cancel; true when the answer is Yes.
    virtual bool askYesCancel(const QString& caption, const QString& text) = 0;
    // The unsaved-changes question with Save, Discard and Cancel; Save is the default,
    // closing the box is Cancel.
    virtual SaveAnswer askSaveChanges(const QString& caption, const QString& text) = 0;
    // A question with its own buttons: the index of the button pressed, or -1 when the
    // box was closed without one. `defaultButton` is pressed by Enter.
    virtual int askChoice(const QString& caption, const QString& text, const QStringList& buttons,
                          int defaultButton) = 0;
    // The chosen file, or nothing when the dialog was left. The file type the user chose
    // last in the dialog is put back into `request.selectedFilter`.
    virtual std::optional<QString> chooseFileToOpen(FileRequest& request) = 0;
    virtual std::optional<QString> chooseFileToSave(FileRequest& request) = 0;
    // The chosen font, or nothing when the dialog was left.
    virtual std::optional<QFont> chooseFont(const QFont& initial, const QString& title) = 0;
};

// The program's prompts: modal Qt dialogs over `parent`.
class QtUserPrompts : public UserPrompts
{
  public:
    explicit QtUserPrompts(QWidget* parent = nullptr) : parent_(parent) {}
    void setParent(QWidget* parent) { parent_ = parent; }

    void inform(const QString& caption, const QString& text) override;
    bool askYesNo(const QString& caption, const QString& text) override;
    bool askYesCancel(const QString& caption, const QString& text) override;
    SaveAnswer askSaveChanges(const QString& caption, const QString& text) override;
    int askChoice(const QString& caption, const QString& text, const QStringList& buttons,
                  int defaultButton) override;
    std::optional<QString> chooseFileToOpen(FileRequest& request) override;
    std::optional<QString> chooseFileToSave(FileRequest& request) override;
    std::optional<QFont> chooseFont(const QFont& initial, const QString& title) override;

  private:
    std::optional<QString> runFileDialog(FileRequest& request, bool save);

    QWidget* parent_;
};

} // namespace lumexa
