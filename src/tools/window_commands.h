// The commands a user reaches in the program's windows, read from the windows themselves:
// the main window's menus with their items and shortcuts, and the buttons, boxes, choices,
// group titles and control labels of the main, render and poster windows, each with the
// language string it shows. The manual's shortcut table is made from them at build time,
// and a test holds the manual against them.
#pragma once

#include <QKeySequence>
#include <QList>
#include <QString>

#include <vector>

namespace lumexa
{

struct WindowCommand {
    QString window;  // "main window", "render window" or "poster window"
    QString path;    // where it is: "File > Save project as..." for a menu item, else the caption
    QString caption; // as shown, without the accelerator marks
    int string = -1; // the language string it shows, or -1 when it is not one of them
    QList<QKeySequence> shortcuts;
};

// Opens the windows on the language file `languageFile` (the program's folder holds
// English.lng) and lists their commands in the order of the menus, then of the windows'
// controls. Needs a QApplication.
std::vector<WindowCommand> ReadWindowCommands(const QString& programFolder,
                                              const QString& languageFile);

// A caption or language string as a reader meets it in a text: without accelerator marks
// ("&&" stays one "&"), without a closing "...", "…" or ":", with single spaces.
QString PlainCaption(const QString& caption);

// The parts of a language string that are the same whatever fills its placeholders
// ("&Undo %1" gives "Undo"), plain as above; empty ones are left out.
QStringList FixedParts(const QString& languageString);

// The number of the language string `caption` shows (placeholders match any text), or -1.
int FindLanguageString(const QStringList& strings, const QString& caption);

// Shortcuts as the manual writes them: "Ctrl+Shift+S", alternatives joined by ", ".
QString ShortcutText(const QList<QKeySequence>& shortcuts);

} // namespace lumexa
