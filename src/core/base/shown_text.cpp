// Values made fit to be shown in messages.
#include "core/base/shown_text.h"

#include <algorithm>
#include <cstdio>

namespace lumexa
{

namespace
{

// Length of the UTF-8 character that starts with byte `lead` (1 for a stray byte, so that
// text that is no UTF-8 still moves on).
size_t charLength(unsigned char lead)
{
    if (lead >= 0xF0 && lead < 0xF8)
        return 4;
    if (lead >= 0xE0)
        return lead < 0xF0 ? 3 : 1;
    if (lead >= 0xC0)
        return 2;
    return 1;
}

// How a character is written: itself, or an escape for the C0 and C1 controls and DEL.
void appendShown(std::string& out, std::string_view character)
{
    const auto c = static_cast<unsigned char>(character[0]);
    if (character.size() == 1 && (c < 0x20 || c == 0x7F)) {
        switch (c) {
        case '\a':
            out += "\\a";
            return;
        case '\b':
            out += "\\b";
            return;
        case '\t':
            out += "\\t";
            return;
        case '\n':
            out += "\\n";
            return;
        case '\r':
            out += "\\r";
            return;
        case 0x1B:
            out += "\\e";
            return;
        default:
            break;
        }
        char escape[8];
        std::snprintf(escape, sizeof escape, "\\x%02X", c);
        out += escape;
        return;
    }
    // U+0080..U+009F: some terminals take U+009B as the start of a control sequence.
    if (character.size() == 2 && c == 0xC2 && static_cast<unsigned char>(character[1]) < 0xA0) {
        char escape[8];
        std::snprintf(escape, sizeof escape, "\\u%04X",
                      static_cast<unsigned char>(character[1]) & 0xFFu);
        out += escape;
        return;
    }
    out += character;
}

} // namespace

std::string EscapeControls(std::string_view text)
{
    std::string out;
    out.reserve(text.size());
    for (size_t i = 0; i < text.size();) {
        const size_t n = std::min(charLength(static_cast<unsigned char>(text[i])), text.size() - i);
        appendShown(out, text.substr(i, n));
        i += n;
    }
    return out;
}

std::string ShownText(std::string_view text)
{
    // The characters' starts, up to what the shortened text needs.
    constexpr size_t kHead = kMostShownCharacters * 2 / 3;
    constexpr size_t kTail = kMostShownCharacters - kHead;
    size_t count = 0;
    size_t headEnd = text.size();
    for (size_t i = 0; i < text.size(); ++count) {
        if (count == kHead)
            headEnd = i;
        i += charLength(static_cast<unsigned char>(text[i]));
    }
    if (count <= kMostShownCharacters)
        return EscapeControls(text);
    // The last kTail characters: step back over continuation bytes.
    size_t tailStart = text.size();
    for (size_t kept = 0; kept < kTail && tailStart > headEnd;) {
        --tailStart;
        if ((static_cast<unsigned char>(text[tailStart]) & 0xC0) != 0x80)
            ++kept;
    }
    return EscapeControls(text.substr(0, headEnd)) + "…" + EscapeControls(text.substr(tailStart));
}

} // namespace lumexa
