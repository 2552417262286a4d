// Puts the keyboard shortcuts of the program's own menus into the manual at build time, so
// that the manual's table cannot fall behind the program: the line "{shortcuts}" of the
// manual's source becomes one table row per menu item with a shortcut, in the manual's
// language.
//
// usage: manual_shortcuts PROGRAM_FOLDER LANGUAGE.lng MANUAL.md OUTPUT.md
#include "tools/window_commands.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QSaveFile>
#include <QSettings>
#include <QTemporaryDir>

#include <cstdio>

namespace
{

const QString kMarker = QStringLiteral("{shortcuts}");

QString ShortcutRows(const std::vector<lumexa::WindowCommand>& commands)
{
    QString rows;
    for (const lumexa::WindowCommand& c : commands)
        if (!c.shortcuts.isEmpty())
            rows += QStringLiteral("| %1 | %2 |\n").arg(lumexa::ShortcutText(c.shortcuts), c.path);
    return rows;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 5) {
        std::fprintf(stderr, "usage: manual_shortcuts PROGRAM_FOLDER LANGUAGE.lng MANUAL.md "
                             "OUTPUT.md\n");
        return 2;
    }
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    // The windows remember languages and folders; at build time they must neither read
    // the builder's own settings nor write into them.
    QTemporaryDir settings;
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, settings.path());
    QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, settings.path());

    QFile source(QString::fromLocal8Bit(argv[3]));
    if (!source.open(QIODevice::ReadOnly)) {
        std::fprintf(stderr, "manual_shortcuts: cannot read %s\n", argv[3]);
        return 1;
    }
    QString text = QString::fromUtf8(source.readAll());
    const QString line = kMarker + QLatin1Char('\n');
    if (!text.contains(line)) {
        std::fprintf(stderr, "manual_shortcuts: %s has no line %s\n", argv[3], qPrintable(kMarker));
        return 1;
    }
    const auto commands = lumexa::ReadWindowCommands(QString::fromLocal8Bit(argv[1]),
                                                     QString::fromLocal8Bit(argv[2]));
    text.replace(line, ShortcutRows(commands));

    QSaveFile out(QString::fromLocal8Bit(argv[4]));
    const QByteArray bytes = text.toUtf8();
    if (!out.open(QIODevice::WriteOnly) || out.write(bytes) != bytes.size() || !out.commit()) {
        std::fprintf(stderr, "manual_shortcuts: cannot write %s\n", argv[4]);
        return 1;
    }
    return 0;
}
