// The remembered settings in one QSettings file.
#include "app/program_memory.h"

#include "core/base/program_files.h"

#include <QFileInfo>
#include <QRegularExpression>
#include <QSettings>

namespace lumexa
{

namespace
{

QSettings store()
{
    return QSettings(QString::fromLatin1(kSettingsOrganisation),
                     QString::fromLatin1(kSettingsApplication));
}

bool namesSuffix(const QString& filter, const QString& suffix)
{
    // "All files (*)" takes any file.
    if (filter.contains(QStringLiteral("(*)")))
        return true;
    static const QRegularExpression pattern(QStringLiteral("\\*\\.([A-Za-z0-9]+)"));
    auto it = pattern.globalMatch(filter);
    while (it.hasNext())
        if (it.next().captured(1).toLower() == suffix)
            return true;
    return false;
}

// The filter the dialog showed when it still names the chosen file's suffix (so that
// "All pictures" and "All files" stay chosen), else the first filter that names it, else -1.
int filterFor(const FileRequest& request, const QString& file)
{
    const QString suffix = QFileInfo(file).suffix().toLower();
    if (suffix.isEmpty())
        return -1;
    const QStringList& filters = request.filters;
    const int shown = request.selectedFilter;
    if (shown >= 0 && shown < filters.size() && namesSuffix(filters.at(shown), suffix))
        return shown;
    for (int i = 0; i < filters.size(); ++i)
        if (namesSuffix(filters.at(i), suffix))
            return i;
    return -1;
}

} // namespace

QString SettingsFileName()
{
    return store().fileName();
}

QString RememberedLanguageFile()
{
    return store().value(QStringLiteral("language/file")).toString();
}

void RememberLanguageFile(const QString& path)
{
    store().setValue(QStringLiteral("language/file"), path);
}

QStringList RecentProjects()
{
    // A settings file written by hand or by another program may hold any number of
    // entries: only as many as the menu shows are kept, and the file is trimmed to them.
    QSettings settings = store();
    const QStringList stored = settings.value(QStringLiteral("projects/recent")).toStringList();
    QStringList list;
    for (const QString& path : stored) {
        if (list.size() == kRecentProjectCount)
            break;
        if (!path.isEmpty() && !list.contains(path))
            list.append(path);
    }
    if (list != stored)
        settings.setValue(QStringLiteral("projects/recent"), list);
    return list;
}

void AddRecentProject(const QString& path)
{
    const QString full = QFileInfo(path).absoluteFilePath();
    QStringList list = RecentProjects();
    list.removeAll(full);
    list.prepend(full);
    while (list.size() > kRecentProjectCount)
        list.removeLast();
    store().setValue(QStringLiteral("projects/recent"), list);
}

QByteArray RememberedWindowGeometry()
{
    return store().value(QStringLiteral("window/geometry")).toByteArray();
}

void RememberWindowGeometry(const QByteArray& geometry)
{
    store().setValue(QStringLiteral("window/geometry"), geometry);
}

void RestoreFileRequest(const QString& kind, FileRequest& request)
{
    QSettings s = store();
    s.beginGroup(QStringLiteral("dialogs/") + kind);
    const QString folder = s.value(QStringLiteral("folder")).toString();
    if (!folder.isEmpty() && QFileInfo(folder).isDir())
        request.folder = folder;
    bool ok = false;
    const int filter = s.value(QStringLiteral("filter")).toInt(&ok);
    if (ok && filter >= 0 && filter < request.filters.size())
        request.selectedFilter = filter;
}

void RememberFileChoice(const QString& kind, const FileRequest& request, const QString& file)
{
    QSettings s = store();
    s.beginGroup(QStringLiteral("dialogs/") + kind);
    s.setValue(QStringLiteral("folder"), QFileInfo(file).absolutePath());
    const int filter = filterFor(request, file);
    s.setValue(QStringLiteral("filter"), filter >= 0 ? filter : request.selectedFilter);
}

void ForgetEverything()
{
    store().clear();
}

} // namespace lumexa
