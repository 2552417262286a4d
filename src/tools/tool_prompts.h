// UserPrompts for the picture tour: files and answers come from queues the tour fills
// (an empty answer queue says No), and a message box means a step went wrong, so it stops the tour
// with the message's text instead of appearing in a picture.
#pragma once

#include "app/user_prompts.h"

#include <QQueue>

#include <stdexcept>

namespace lumexa
{

class ToolPrompts : public UserPrompts
{
  public:
    void inform(const QString&, const QString& text) override { messages_.append(text); }
    bool askYesNo(const QString&, const QString&) override
    {
        return answers.isEmpty() ? false : answers.dequeue();
    }
    bool askYesCancel(const QString& caption, const QString& text) override
    {
        return askYesNo(caption, text);
    }
    // The tour never keeps what a step left unsaved, and takes each question's default.
    SaveAnswer askSaveChanges(const QString&, const QString&) override
    {
        return SaveAnswer::Discard;
    }
    int askChoice(const QString&, const QString&, const QStringList&, int defaultButton) override
    {
        return defaultButton;
    }
    std::optional<QString> chooseFileToOpen(FileRequest&) override
    {
        if (files.isEmpty())
            return std::nullopt;
        return files.dequeue();
    }
    std::optional<QString> chooseFileToSave(FileRequest& request) override
    {
        return chooseFileToOpen(request);
    }
    std::optional<QFont> chooseFont(const QFont&, const QString&) override { return std::nullopt; }

    void checkNoMessages()
    {
        if (!messages_.isEmpty())
            throw std::runtime_error("the window said: " + messages_.join(" / ").toStdString());
    }
    // A file or answer left over means a step did not ask what the tour expected.
    void checkAllUsed() const
    {
        if (!files.isEmpty() || !answers.isEmpty())
            throw std::runtime_error("a step did not ask for its file or answer");
    }

    QQueue<QString> files; // an empty queue leaves the dialog
    QQueue<bool> answers;  // Yes is true

  private:
    QStringList messages_;
};

} // namespace lumexa
