// The question before a chosen file is written over. A file the user may not write (mode
// 0444, say) is one he meant to keep: it is never replaced without a word, and the
// question names it.
#pragma once

#include "app/shared_state.h"
#include "app/user_prompts.h"

#include <QString>

namespace lumexa
{

// True for an existing file that is read-only: the user may not write it, or its mode
// grants writing to nobody (root, who may write any file, is asked about it too).
bool IsMarkedReadOnly(const QString& file);

// Whether `file` may be written. A read-only file is asked about by name (language string
// kStringReplaceReadOnly) and `replaceReadOnly` set when the answer is Yes; an existing file
// that may be written is asked about with `overwriteQuestion`, unless that is empty (the
// file was agreed to before). A file that does not exist is no question.
bool MayReplace(UserPrompts& prompts, const TForm4& shared, const QString& file,
                const QString& overwriteQuestion, bool& replaceReadOnly);

} // namespace lumexa
