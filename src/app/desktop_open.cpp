// The desktop's "open" action. Starting the opener succeeds even when nothing can show
// the file, so the desktop's list of default applications is asked first.
#include "app/desktop_open.h"

#include <QDesktopServices>
#include <QMimeDatabase>
#include <QProcess>

namespace lumexa
{

bool DesktopHasApplicationFor(const QString& mimeType)
{
#if defined(Q_OS_UNIX) && !defined(Q_OS_MACOS)
    QProcess query;
    query.start(QStringLiteral("xdg-mime"),
                {QStringLiteral("query"), QStringLiteral("default"), mimeType});
    if (!query.waitForStarted(3000))
        return true;
    if (!query.waitForFinished(3000)) {
        query.kill();
        query.waitForFinished(1000);
        return true;
    }
    return query.exitStatus() == QProcess::NormalExit && query.exitCode() == 0 &&
           !query.readAllStandardOutput().trimmed().isEmpty();
#else
    Q_UNUSED(mimeType);
    return true;
#endif
}

bool OpenWithDesktop(const QUrl& url)
{
    if (url.isLocalFile()) {
        const QString type = QMimeDatabase().mimeTypeForFile(url.toLocalFile()).name();
        if (!DesktopHasApplicationFor(type))
            return false;
    }
    return QDesktopServices::openUrl(url);
}

} // namespace lumexa
