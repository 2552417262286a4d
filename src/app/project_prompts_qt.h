// The project reader's questions asked through the window's prompts: the missing-file and
// missing-font questions, the refusal messages, and the loading panel's line.
#pragma once

#include "app/user_prompts.h"
#include "core/project/project_file.h"

#include <QFont>
#include <QString>

#include <string>
#include <utility>
#include <vector>

class QLabel;

namespace lumexa
{

class TForm4;

class WindowProjectPrompts : public ProjectPrompts
{
  public:
    // `ledDialog` is the "Open LED file" dialog offered for a missing file, `fontDialogTitle`
    // and `initialFont` describe the font dialog, `lineLabel` shows the line in hand.
    WindowProjectPrompts(UserPrompts& prompts, const TForm4& shared, const FileRequest& ledDialog,
                         const QString& fontDialogTitle, const QFont& initialFont,
                         QLabel* lineLabel);

    std::optional<std::string> missingFile(const std::string& path) override;
    std::optional<std::string> missingFont(const std::string& fontName) override;
    void refused(const LoadOutcome& outcome, const std::string& file,
                 const RefusedPicture& picture) override;
    void loadingLine(const std::string& value) override;
    void ledSkipped(int slot, const std::string& file) override;

    // Whether the project read differs from its file: a picture skipped, refused or
    // replaced, a font replaced.
    bool changedProject() const { return changed_; }
    // Rewrites the tags of `text` (UTF-8) as if the LED pictures not loaded had been
    // deleted, so that the others keep their pictures; the message that says so, or an
    // empty text when no tag named a picture that was not loaded.
    QString rewriteTagsOfSkipped(std::string& text) const;

  private:
    // Language string `first`, the name, ". ", language string 38, as one question.
    QString question(int first, const std::string& name) const;

    UserPrompts& prompts_;
    const TForm4& shared_;
    FileRequest ledDialog_;
    QString fontDialogTitle_;
    QFont initialFont_;
    QLabel* lineLabel_;
    bool changed_ = false;
    std::vector<std::pair<int, std::string>> skipped_; // slot in the file, picture
};

} // namespace lumexa
