// Opening documents with the desktop's "open" action, telling whether anything opened.
#pragma once

#include <QString>
#include <QUrl>

namespace lumexa
{

// Whether the desktop names an application for files of `mimeType`. Where it cannot be
// asked (no xdg-mime), the answer is yes and the desktop decides when opening.
bool DesktopHasApplicationFor(const QString& mimeType);

// Opens `url` with the desktop; false when it cannot, also when a local file's type has
// no application, which the desktop itself would report only in a window of its own.
bool OpenWithDesktop(const QUrl& url);

} // namespace lumexa
