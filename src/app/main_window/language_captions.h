// Puts the captions of a language table (strings 46 to 87) on the main window's
// controls, menus and dialog titles.
#pragma once

namespace lumexa
{

class LanguageTable;
class TForm1;

// Every caption is set, also from an empty string.
void ApplyCaptions(TForm1& window, const LanguageTable& strings);

} // namespace lumexa
