// UserPrompts for the window tests: every message is recorded, and questions and file
// choices are answered from queues the test fills beforehand.
#pragma once

#include "app/user_prompts.h"

#include <QQueue>
#include <QStringList>

namespace lumexa
{

class ScriptedPrompts : public UserPrompts
{
  public:
    struct Message {
        QString caption;
        QString text;
    };

    void inform(const QString& caption, const QString& text) override
    {
        messages.append({caption, text});
    }
    bool askYesNo(const QString& caption, const QString& text) override
    {
        questions.append({caption, text});
        return answers.isEmpty() ? false : answers.dequeue();
    }
    bool askYesCancel(const QString& caption, const QString& text) override
    {
        return askYesNo(caption, text);
    }
    SaveAnswer askSaveChanges(const QString& caption, const QString& text) override
    {
        questions.append({caption, text});
        return saveAnswers.isEmpty() ? SaveAnswer::Discard : saveAnswers.dequeue();
    }
    int askChoice(const QString& caption, const QString& text, const QStringList& buttons,
                  int defaultButton) override
    {
        questions.append({caption, text});
        choiceButtons = buttons;
        return choices.isEmpty() ? defaultButton : choices.dequeue();
    }
    std::optional<QString> chooseFileToOpen(FileRequest& request) override
    {
        lastRequest = request;
        ++fileDialogs;
        if (!filters.isEmpty())
            request.selectedFilter = filters.dequeue();
        if (files.isEmpty())
            return std::nullopt;
        return files.dequeue();
    }
    std::optional<QString> chooseFileToSave(FileRequest& request) override
    {
        return chooseFileToOpen(request);
    }
    std::optional<QFont> chooseFont(const QFont&, const QString&) override
    {
        ++fontDialogs;
        if (fonts.isEmpty())
            return std::nullopt;
        return QFont(fonts.dequeue());
    }

    QList<Message> messages;
    QList<Message> questions;
    QQueue<bool> answers;           // Yes is true; an empty queue answers No
    QQueue<SaveAnswer> saveAnswers; // an empty queue answers Discard
    QQueue<int> choices;            // button indices; an empty queue presses the default
    QStringList choiceButtons;      // the buttons of the last choice
    QQueue<QString> files;          // an empty queue leaves the dialog
    QQueue<int> filters;            // the file type the user picks in the next dialog
    QQueue<QString> fonts;          // font families; an empty queue leaves the font dialog
    int fontDialogs = 0;
    FileRequest lastRequest;
    int fileDialogs = 0;
};

} // namespace lumexa
