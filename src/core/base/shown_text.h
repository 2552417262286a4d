// Values from files and command lines as messages show them. A message may echo a font
// name, a path or a number that came from a project or language file; such a value may be
// megabytes long or hold control characters (ESC, BEL) that a terminal would obey. Shown,
// it is cut to a readable length with "…" where text was left out, and every control
// character is written as an escape ("\e", "\a", "\x01"), so that what the user reads is
// what the file holds, and no file can move the cursor or ring the bell.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace lumexa
{

// The most characters of a value a message shows: the first part and the last part of a
// longer one are kept, as a path's folder and file name both matter.
inline constexpr size_t kMostShownCharacters = 160;

// `text` (UTF-8) with its control characters escaped and, when it has more than
// kMostShownCharacters characters, its middle replaced by "…".
std::string ShownText(std::string_view text);

// Only the control characters escaped, whatever the length: for whole lines that the
// program prints on a terminal.
std::string EscapeControls(std::string_view text);

} // namespace lumexa
