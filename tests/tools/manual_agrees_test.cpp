// The manuals hold against the program they describe, in English and in Polish: every
// caption of a command in the windows, every keyboard shortcut of the menus, every long
// option of `lumexa-render --help` and every key of a saved project is mentioned; every
// option and shortcut the manual names exists; every picture it shows was made and is not
// empty; and every `lumexa-render` example it gives runs and writes its file. A failure
// lists each thing missing with the manual and the place in the program it comes from.
#include "core/pictures/led_image_set.h"
#include "core/pictures/logo.h"
#include "core/project/language_table.h"
#include "core/project/project_file.h"
#include "tools/window_commands.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QRegularExpression>
#include <QSet>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>

#include <map>
#include <memory>

using namespace lumexa;

namespace
{

const QString kBin = QStringLiteral(LUMEXA_BIN);
const QString kBuild = QStringLiteral(LUMEXA_BUILD);
const QString kSource = QStringLiteral(LUMEXA_SOURCE);

QString ReadText(const QString& path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return {};
    return QString::fromUtf8(f.readAll());
}

// The manual's words as a reader meets them: one line, no Markdown escapes.
QString Prose(const QString& markdown)
{
    QString text = markdown;
    text.replace(QRegularExpression(QStringLiteral("\\\\([*_\\[\\]()#`])")), QStringLiteral("\\1"));
    return text.simplified();
}

// Whether `term` stands in `text` as written, as words of their own: no letter or digit
// joins it on either side. Case counts, or a caption that is a common word ("Setup",
// "Ustawienia") would be found in any sentence.
bool Mentions(const QString& text, const QString& term)
{
    const QString pattern = QStringLiteral("(?<![\\p{L}\\p{N}])") +
                            QRegularExpression::escape(term) + QStringLiteral("(?![\\p{L}\\p{N}])");
    return QRegularExpression(pattern).match(text).hasMatch();
}

struct Language {
    QString name;     // as the failure names it
    QString source;   // docs/NAME.md
    QString lng;      // the language file's name
    QString htmlPath; // build/manual/en or pl
};

const Language kLanguages[] = {
    {QStringLiteral("English"), QStringLiteral("manual.md"), QStringLiteral("English.lng"),
     QStringLiteral("en")},
    {QStringLiteral("Polish"), QStringLiteral("manual_pl.md"), QStringLiteral("Polski.lng"),
     QStringLiteral("pl")},
};

// The manual as the reader gets it: the source with the shortcut table the build put in.
QString BuiltManual(const Language& l)
{
    return ReadText(QDir(kBuild).filePath(QStringLiteral("manual/") + l.source));
}

QString SourceManual(const Language& l)
{
    return ReadText(QDir(kSource).filePath(QStringLiteral("docs/") + l.source));
}

// The commands of the windows in one language, read once.
const std::vector<WindowCommand>& Commands(const Language& l)
{
    static std::map<QString, std::vector<WindowCommand>> read;
    auto it = read.find(l.lng);
    if (it == read.end())
        it = read.emplace(l.lng, ReadWindowCommands(kBin, QDir(kBin).filePath(l.lng))).first;
    return it->second;
}

LanguageTable Strings(const Language& l)
{
    LanguageTable table;
    table.LoadLanguage(QDir(kBin).filePath(QStringLiteral("English.lng")).toStdString());
    table.LoadLanguage(QDir(kBin).filePath(l.lng).toStdString());
    return table;
}

// The keys of a saved project with a logo and an LED picture with its alpha picture: every
// line the writer puts out, the "ImageF[]" lines as they are written.
QStringList ProjectKeys()
{
    ProjectSettings settings;
    LedImageSet leds;
    Logo logo;
    logo.loaded = true;
    logo.fileName = "badge.png";
    const PictureLoader load = [](const std::string&) {
        DecodedPicture p;
        p.width = p.height = 4;
        p.rgba.assign(4 * 4 * 4, 255);
        return p;
    };
    leds.LoadLedImageFile("unlit.png", lmAdd, load);
    leds.LoadLedImageFile("alpha.png", lmAddAlpha, load);
    const std::vector<std::string> fonts;
    ProjectState state{settings, leds, logo, fonts};
    QStringList keys;
    for (const std::string& line : ProjectFileLines(state)) {
        const QString key = QString::fromStdString(line.substr(0, line.find('=')));
        if (!keys.contains(key))
            keys.append(key);
    }
    return keys;
}

// The long options `lumexa-render --help` lists.
QStringList HelpOptions()
{
    QProcess p;
    p.start(QDir(kBin).filePath(QStringLiteral("lumexa-render")), {QStringLiteral("--help")});
    p.waitForFinished(30000);
    const QString help = QString::fromUtf8(p.readAllStandardOutput());
    QStringList options;
    auto it = QRegularExpression(QStringLiteral("(?<![\\w-])--[a-z][a-z0-9-]*")).globalMatch(help);
    while (it.hasNext()) {
        const QString option = it.next().captured();
        if (!options.contains(option))
            options.append(option);
    }
    return options;
}

// The examples the manual gives as command lines of their own (indented code), split into
// words as a shell would split them; the synopsis with its "[options]" is not one.
QList<QStringList> ExampleCommands(const QString& markdown)
{
    QList<QStringList> commands;
    for (const QString& line : markdown.split(QLatin1Char('\n'))) {
        if (!line.startsWith(QStringLiteral("    lumexa-render ")) ||
            line.contains(QLatin1Char('[')))
            continue;
        QStringList words;
        auto it = QRegularExpression(QStringLiteral("\"([^\"]*)\"|(\\S+)")).globalMatch(line);
        while (it.hasNext()) {
            const auto m = it.next();
            words.append(m.hasCaptured(1) ? m.captured(1) : m.captured(2));
        }
        commands.append(words);
    }
    return commands;
}

QString Missing(const QString& manual, const QStringList& lines)
{
    return QStringLiteral("docs/%1 lacks:\n  ").arg(manual) + lines.join(QStringLiteral("\n  "));
}

} // namespace

class ManualAgreesWithProgram : public QObject
{
    Q_OBJECT

  private slots:
    void initTestCase()
    {
        // The windows remember languages and recent projects: not in the tester's settings.
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, settings_.path());
        QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, settings_.path());
        for (const Language& l : kLanguages)
            QVERIFY2(!BuiltManual(l).isEmpty(),
                     qPrintable(QStringLiteral("no built manual/") + l.source));
    }

    void captions_data() { languages(); }
    void captions()
    {
        QFETCH(int, language);
        const Language& l = kLanguages[language];
        const QString text = Prose(BuiltManual(l));
        const LanguageTable strings = Strings(l);
        QStringList missing;
        QSet<int> seen;
        for (const WindowCommand& c : Commands(l)) {
            if (c.string < 0 || seen.contains(c.string))
                continue;
            seen.insert(c.string);
            const QString shown = QString::fromStdString(strings[c.string]);
            for (const QString& part : FixedParts(shown))
                if (!Mentions(text, part))
                    missing.append(QStringLiteral("\"%1\": %2, %3 (string %4 of %5: [%6])")
                                       .arg(part, c.window, c.path)
                                       .arg(c.string)
                                       .arg(l.lng, shown));
        }
        QVERIFY2(seen.size() > 40, "the windows' captions were not read");
        QVERIFY2(missing.isEmpty(), qPrintable(Missing(l.source, missing)));
    }

    void shortcuts_data() { languages(); }
    void shortcuts()
    {
        QFETCH(int, language);
        const Language& l = kLanguages[language];
        const QString text = Prose(BuiltManual(l));
        QStringList missing;
        QSet<QString> real;
        for (const WindowCommand& c : Commands(l))
            for (const QKeySequence& k : c.shortcuts) {
                const QString keys = ShortcutText({k});
                real.insert(keys.toLower());
                if (!text.contains(keys))
                    missing.append(QStringLiteral("%1: %2").arg(keys, c.path));
            }
        QVERIFY2(real.size() > 5, "the menus' shortcuts were not read");
        // And no shortcut the manual names is gone from the menus.
        auto it = QRegularExpression(QStringLiteral("\\b(?:Ctrl|Alt|Shift|Meta)\\+[\\w+]+"))
                      .globalMatch(text);
        while (it.hasNext()) {
            const QString named = it.next().captured();
            if (!real.contains(named.toLower()))
                missing.append(
                    QStringLiteral("%1 is named but is no shortcut of the menus").arg(named));
        }
        QVERIFY2(missing.isEmpty(), qPrintable(Missing(l.source, missing)));
    }

    void options_data() { languages(); }
    void options()
    {
        QFETCH(int, language);
        const Language& l = kLanguages[language];
        const QString text = Prose(BuiltManual(l));
        const QStringList help = HelpOptions();
        QVERIFY2(help.size() > 10, "lumexa-render --help listed no options");
        QStringList missing;
        for (const QString& option : help)
            if (!QRegularExpression(QRegularExpression::escape(option) +
                                    QStringLiteral("(?![a-z0-9-])"))
                     .match(text)
                     .hasMatch())
                missing.append(option + QStringLiteral(" (lumexa-render --help)"));
        auto it =
            QRegularExpression(QStringLiteral("(?<![\\w-])--[a-z][a-z0-9-]*")).globalMatch(text);
        while (it.hasNext()) {
            const QString named = it.next().captured();
            if (!help.contains(named))
                missing.append(
                    named +
                    QStringLiteral(" is named but lumexa-render --help has no such option"));
        }
        missing.removeDuplicates();
        QVERIFY2(missing.isEmpty(), qPrintable(Missing(l.source, missing)));
    }

    void projectKeys_data() { languages(); }
    void projectKeys()
    {
        QFETCH(int, language);
        const Language& l = kLanguages[language];
        const QString text = Prose(BuiltManual(l));
        const QStringList keys = ProjectKeys();
        QVERIFY2(keys.contains(QStringLiteral("ImageF[]")) &&
                     keys.contains(QStringLiteral("LogoFile")),
                 qPrintable(keys.join(' ')));
        QStringList missing;
        for (const QString& key : keys)
            if (!Mentions(text, key))
                missing.append(key + QStringLiteral(" (a key of a saved project)"));
        QVERIFY2(missing.isEmpty(), qPrintable(Missing(l.source, missing)));
    }

    void pictures_data() { languages(); }
    void pictures()
    {
        QFETCH(int, language);
        const Language& l = kLanguages[language];
        const QDir html(QDir(kBuild).filePath(QStringLiteral("manual/") + l.htmlPath));
        QStringList missing;
        int named = 0;
        auto it = QRegularExpression(QStringLiteral("\\]\\((pictures/[^)]+)\\)"))
                      .globalMatch(SourceManual(l));
        while (it.hasNext()) {
            const QString picture = it.next().captured(1);
            ++named;
            const QFileInfo file(html.filePath(picture));
            if (!file.exists() || file.size() == 0)
                missing.append(QStringLiteral("%1: %2").arg(
                    picture, file.exists() ? QStringLiteral("empty") : QStringLiteral("not made")));
        }
        QVERIFY2(named > 10, "the manual names no pictures");
        QVERIFY2(
            missing.isEmpty(),
            qPrintable(QStringLiteral("docs/%1 shows pictures the build did not make in %2:\n  ")
                           .arg(l.source, html.path()) +
                       missing.join(QStringLiteral("\n  "))));
    }

    void examples_data() { languages(); }
    void examples()
    {
        QFETCH(int, language);
        const Language& l = kLanguages[language];
        const QList<QStringList> commands = ExampleCommands(SourceManual(l));
        QVERIFY2(commands.size() >= 5, "the manual gives no lumexa-render examples");
        QStringList failed;
        for (const QStringList& words : commands) {
            const QString line = words.join(QLatin1Char(' '));
            if (!ran_.contains(line))
                ran_.insert(line, run(words));
            if (!ran_[line].isEmpty())
                failed.append(line + QStringLiteral(": ") + ran_[line]);
        }
        QVERIFY2(
            failed.isEmpty(),
            qPrintable(QStringLiteral("docs/%1: these examples fail in the examples folder:\n  ")
                           .arg(l.source) +
                       failed.join(QStringLiteral("\n  "))));
    }

  private:
    void languages()
    {
        QTest::addColumn<int>("language");
        for (int i = 0; i < 2; ++i)
            QTest::newRow(qPrintable(kLanguages[i].name)) << i;
    }

    // Runs an example in a copy of the examples folder: empty when it exits with 0 and its
    // output file (the last word) is there and not empty, else what went wrong.
    QString run(const QStringList& words)
    {
        if (!examples_) {
            examples_ = std::make_unique<QTemporaryDir>();
            const QDir from(QDir(kSource).filePath(QStringLiteral("data/examples")));
            QDir(examples_->path()).mkdir(QStringLiteral("leds"));
            for (const QString& name : {QStringLiteral("."), QStringLiteral("leds")})
                for (const QString& f : QDir(from.filePath(name)).entryList(QDir::Files))
                    QFile::copy(from.filePath(name + QLatin1Char('/') + f),
                                QDir(examples_->path()).filePath(name + QLatin1Char('/') + f));
        }
        QProcess p;
        p.setWorkingDirectory(examples_->path());
        p.start(QDir(kBin).filePath(QStringLiteral("lumexa-render")), words.mid(1));
        if (!p.waitForFinished(240000))
            return QStringLiteral("did not finish in 4 minutes");
        if (p.exitStatus() != QProcess::NormalExit || p.exitCode() != 0)
            return QStringLiteral("exit %1: %2")
                .arg(p.exitCode())
                .arg(QString::fromUtf8(p.readAllStandardError()).trimmed());
        const QFileInfo output(QDir(examples_->path()).filePath(words.last()));
        if (!output.exists() || output.size() == 0)
            return QStringLiteral("wrote no %1").arg(words.last());
        return {};
    }

    QTemporaryDir settings_;
    std::unique_ptr<QTemporaryDir> examples_;
    QMap<QString, QString> ran_;
};

QTEST_MAIN(ManualAgreesWithProgram)
#include "manual_agrees_test.moc"
