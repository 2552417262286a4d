// Puts the captions of a language table (strings 88 to 103) on the render window's
// controls and its save dialog.
#pragma once

namespace lumexa
{

class LanguageTable;
class TForm3;

// Every caption is set, also from an empty string.
void ApplyRenderCaptions(TForm3& window, const LanguageTable& strings);

} // namespace lumexa
