// What the program remembers between starts, kept with QSettings under its organisation
// and name: the language file, the recent projects, the main window's place, and for
// each kind of file dialog the folder and file type last used. Tests switch
// QStandardPaths to its test mode, which moves all of it out of the user's settings.
#pragma once

#include "app/user_prompts.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

namespace lumexa
{

inline constexpr int kRecentProjectCount = 8;

// The file all of it is kept in (whether or not it exists yet).
QString SettingsFileName();

QString RememberedLanguageFile();
void RememberLanguageFile(const QString& path);

// Most recent first, at most kRecentProjectCount, each path once.
QStringList RecentProjects();
void AddRecentProject(const QString& path);

QByteArray RememberedWindowGeometry();
void RememberWindowGeometry(const QByteArray& geometry);

// Puts the folder and file type last used with dialogs of `kind` on `request`; a kind not
// used yet keeps the request's own.
void RestoreFileRequest(const QString& kind, FileRequest& request);
// Remembers the chosen file's folder and the first filter of the request that names its
// suffix (the request's own selection when none does).
void RememberFileChoice(const QString& kind, const FileRequest& request, const QString& file);

// Forgets everything above (tests start from a clean slate).
void ForgetEverything();

} // namespace lumexa
