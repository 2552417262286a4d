// Asking before a file is written over.
#include "app/replace_question.h"

#include "app/window_strings.h"
#include "core/base/atomic_file.h"

#include <QFile>
#include <QFileInfo>

namespace lumexa
{

bool IsMarkedReadOnly(const QString& file)
{
    const QFileInfo info(file);
    constexpr QFile::Permissions kWrite = QFile::WriteOwner | QFile::WriteGroup | QFile::WriteOther;
    return IsReadOnlyFile(QFile::encodeName(file).toStdString()) ||
           (info.isFile() && (info.permissions() & kWrite) == 0);
}

bool MayReplace(UserPrompts& prompts, const TForm4& shared, const QString& file,
                const QString& overwriteQuestion, bool& replaceReadOnly)
{
    replaceReadOnly = false;
    if (IsMarkedReadOnly(file)) {
        if (!prompts.askYesNo(shared.text(30), shared.text(kStringReplaceReadOnly).arg(file)))
            return false;
        replaceReadOnly = true;
        return true;
    }
    if (QFileInfo::exists(file) && !overwriteQuestion.isEmpty())
        return prompts.askYesNo(shared.text(30), overwriteQuestion);
    return true;
}

} // namespace lumexa
