#include "tools/window_commands.h"

#include "app/main_window/main_window.h"
#include "app/poster_window/poster_window.h"
#include "app/render_window/render_window.h"
#include "app/render_window/render_window_captions.h"
#include "app/shared_state.h"
#include "tools/tool_prompts.h"

#include <QAbstractButton>
#include <QAction>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QRegularExpression>
#include <QStatusBar>
#include <QTabWidget>

namespace lumexa
{
namespace
{

const QRegularExpression& Placeholder()
{
    static const QRegularExpression placeholder(QStringLiteral("%\\d+"));
    return placeholder;
}

class CommandReader
{
  public:
    explicit CommandReader(const QStringList& strings) : strings_(strings) {}

    void menus(QMenuBar* bar)
    {
        for (QAction* a : bar->actions())
            if (a->menu())
                menu(a->menu(), {});
    }

    void controls(QWidget* window, const QString& name)
    {
        // The window's own controls: not those of the windows it owns, nor the status
        // bar's panels, which show figures and states.
        const auto own = [window]<typename T>(T*) {
            QList<T*> found;
            for (T* w : window->findChildren<T*>())
                if (w->window() == window && !qobject_cast<QStatusBar*>(w->parentWidget()))
                    found.append(w);
            return found;
        };
        for (auto* b : own(static_cast<QAbstractButton*>(nullptr)))
            add(name, b->text());
        for (auto* g : own(static_cast<QGroupBox*>(nullptr)))
            add(name, g->title());
        for (auto* t : own(static_cast<QTabWidget*>(nullptr)))
            for (int i = 0; i < t->count(); ++i)
                add(name, t->tabText(i));
        for (auto* c : own(static_cast<QComboBox*>(nullptr)))
            for (int i = 0; i < c->count(); ++i)
                add(name, c->itemText(i));
        // Labels that name a control; the others show figures, which are no language
        // string, or messages, which end as sentences do.
        static const QRegularExpression sentenceEnd(QStringLiteral("[.?!…]\\s*$"));
        for (auto* l : own(static_cast<QLabel*>(nullptr)))
            if (!l->text().contains(sentenceEnd))
                add(name, l->text());
        if (!window->windowTitle().isEmpty())
            add(name, window->windowTitle());
    }

    std::vector<WindowCommand> commands;

  private:
    void menu(QMenu* m, QString path)
    {
        path += PlainCaption(m->title());
        add(QStringLiteral("main window"), m->title(), path);
        for (QAction* a : m->actions()) {
            if (a->isSeparator())
                continue;
            if (a->menu())
                menu(a->menu(), path + QStringLiteral(" > "));
            else
                add(QStringLiteral("main window"), a->text(),
                    path + QStringLiteral(" > ") + PlainCaption(a->text()), a->shortcuts());
        }
    }

    void add(const QString& window, const QString& shown, QString path = {},
             const QList<QKeySequence>& shortcuts = {})
    {
        const QString caption = PlainCaption(shown);
        if (caption.isEmpty())
            return;
        WindowCommand c;
        c.window = window;
        c.path = path.isEmpty() ? caption : path;
        c.caption = caption;
        c.string = FindLanguageString(strings_, shown);
        c.shortcuts = shortcuts;
        // A caption met twice (a button and its menu item) is one command, unless the
        // second has a shortcut to tell.
        for (const WindowCommand& had : commands)
            if (had.window == c.window && had.path == c.path && had.shortcuts == c.shortcuts)
                return;
        commands.push_back(c);
    }

    QStringList strings_;
};

} // namespace

QString PlainCaption(const QString& caption)
{
    QString plain;
    for (qsizetype i = 0; i < caption.size(); ++i) {
        if (caption[i] == QLatin1Char('&')) {
            if (i + 1 < caption.size() && caption[i + 1] == QLatin1Char('&'))
                plain += caption[++i];
            continue;
        }
        plain += caption[i];
    }
    plain = plain.simplified();
    for (const QString& end : {QStringLiteral("..."), QStringLiteral("…"), QStringLiteral(":")})
        if (plain.endsWith(end))
            plain.chop(end.size());
    return plain.trimmed();
}

QStringList FixedParts(const QString& languageString)
{
    QStringList parts;
    for (const QString& part : languageString.split(Placeholder())) {
        const QString plain = PlainCaption(part);
        if (!plain.isEmpty())
            parts.append(plain);
    }
    return parts;
}

int FindLanguageString(const QStringList& strings, const QString& caption)
{
    const QString plain = PlainCaption(caption);
    if (plain.isEmpty())
        return -1;
    // The exact text first: a caption with placeholders could match a longer one.
    for (qsizetype n = 0; n < strings.size(); ++n)
        if (PlainCaption(strings[n]) == plain)
            return static_cast<int>(n);
    for (qsizetype n = 0; n < strings.size(); ++n) {
        if (!strings[n].contains(Placeholder()))
            continue;
        QStringList pieces;
        for (const QString& part : PlainCaption(strings[n]).split(Placeholder()))
            pieces.append(QRegularExpression::escape(part.trimmed()));
        const QRegularExpression pattern(QStringLiteral("^") + pieces.join(QStringLiteral(".*")) +
                                         QStringLiteral("$"));
        if (pattern.match(plain).hasMatch())
            return static_cast<int>(n);
    }
    return -1;
}

QString ShortcutText(const QList<QKeySequence>& shortcuts)
{
    QStringList keys;
    for (const QKeySequence& k : shortcuts)
        keys.append(k.toString(QKeySequence::PortableText));
    return keys.join(QStringLiteral(", "));
}

std::vector<WindowCommand> ReadWindowCommands(const QString& programFolder,
                                              const QString& languageFile)
{
    TForm4 shared;
    ToolPrompts prompts;
    TForm1 main(shared, prompts);
    main.setProgramFolder(programFolder);
    main.FormActivate();
    main.LoadLanguage(languageFile);
    TForm3 render(shared, prompts, &main);
    ApplyRenderCaptions(render, shared.languageStrings);
    PosterWindow poster(shared, prompts, &main);

    QStringList strings;
    for (const std::string& s : shared.languageStrings.strings())
        strings.append(QString::fromStdString(s));
    CommandReader reader(strings);
    reader.menus(main.menuBar());
    reader.controls(&main, QStringLiteral("main window"));
    reader.controls(&render, QStringLiteral("render window"));
    reader.controls(&poster, QStringLiteral("poster window"));
    return reader.commands;
}

} // namespace lumexa
