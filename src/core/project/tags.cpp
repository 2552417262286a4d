// Parsing and rewriting of the LED tags in the text field.
#include "core/project/tags.h"

#include "core/base/error.h"
#include "core/base/text_codec.h"

#include <algorithm>
#include <cstdio>
#include <optional>

namespace lumexa
{

namespace
{

bool isDigit(char32_t c)
{
    return c >= U'0' && c <= U'9';
}

// A tag's number: an optional sign and decimal digits, nothing else.
std::optional<int> readInteger(std::u32string_view s)
{
    size_t i = 0;
    const bool negative = !s.empty() && s[0] == U'-';
    if (!s.empty() && (s[0] == U'+' || s[0] == U'-'))
        ++i;
    if (i >= s.size())
        return std::nullopt;
    int value = 0;
    for (; i < s.size(); ++i) {
        if (!isDigit(s[i]))
            return std::nullopt;
        value = value * 10 + static_cast<int>(s[i] - U'0');
    }
    return negative ? -value : value;
}

bool startsWith(const std::u32string& text, size_t pos, std::u32string_view prefix)
{
    return pos + prefix.size() <= text.size() && text.compare(pos, prefix.size(), prefix) == 0;
}

// The two-digit number at `pos`, when both characters are decimal digits.
std::optional<int> twoDigits(const std::u32string& text, size_t pos)
{
    if (pos + 1 >= text.size() || !isDigit(text[pos]) || !isDigit(text[pos + 1]))
        return std::nullopt;
    return static_cast<int>(text[pos] - U'0') * 10 + static_cast<int>(text[pos + 1] - U'0');
}

// The number of the complete tag ("[&+NN]" or "[&-NN]") at `pos`.
std::optional<int> completeTag(const std::u32string& text, size_t pos)
{
    if (!startsWith(text, pos, U"[&+") && !startsWith(text, pos, U"[&-"))
        return std::nullopt;
    if (pos + 5 >= text.size() || text[pos + 5] != U']')
        return std::nullopt;
    return twoDigits(text, pos + 3);
}

std::u32string twoDigitText(int n)
{
    char buf[16];
    std::snprintf(buf, sizeof buf, "%02d", n);
    return Utf8ToChars(buf);
}

} // namespace

int ParsedText::ledAt(int index) const
{
    if (index < 1 || static_cast<size_t>(index) >= ledMap.size())
        return 1;
    return ledMap[static_cast<size_t>(index)];
}

ParsedText ParseTags(const std::u32string& text)
{
    ParsedText out;
    out.stripped.reserve(text.size());
    out.ledMap.reserve(text.size() + 1);
    size_t p = 0;
    while (p < text.size()) {
        if (startsWith(text, p, U"[&-")) {
            out.stack[static_cast<size_t>(out.level)] = 1;
            if (out.level > 0)
                --out.level;
            p += 6;
        } else if (startsWith(text, p, U"[&+")) {
            // Only two characters are read; at the end of the text there may be fewer.
            const std::u32string digits = text.substr(std::min(p + 3, text.size()), 2);
            const std::optional<int> number = readInteger(digits);
            if (!number)
                throw InvalidInteger(CharsToUtf8(digits));
            ++out.level;
            if (static_cast<size_t>(out.level) >= out.stack.size())
                out.stack.resize(static_cast<size_t>(out.level) + 1, 0);
            out.stack[static_cast<size_t>(out.level)] = *number;
            p += 6;
        } else {
            out.ledMap.push_back(out.stack[static_cast<size_t>(out.level)]);
            out.stripped.push_back(text[p]);
            ++p;
        }
    }
    return out;
}

std::u32string FirstIncompleteTag(const std::u32string& text)
{
    for (size_t p = text.find(U"[&"); p != std::u32string::npos; p = text.find(U"[&", p + 1)) {
        const bool open = startsWith(text, p, U"[&+");
        if (!open && !startsWith(text, p, U"[&-"))
            continue;
        // Cut short at the end (being typed), or an opening tag whose number does not read.
        const std::u32string digits = text.substr(std::min(p + 3, text.size()), 2);
        if (p + 6 > text.size() || (open && !readInteger(digits)))
            return text.substr(p, 6);
    }
    return {};
}

std::u32string StripAllTags(const std::u32string& text)
{
    std::u32string out;
    out.reserve(text.size());
    size_t p = 0;
    while (p < text.size()) {
        if (completeTag(text, p)) {
            p += 6;
        } else {
            out.push_back(text[p]);
            ++p;
        }
    }
    return out;
}

std::u32string RewriteTagsAfterDelete(const std::u32string& text, int n)
{
    // First drop the deleted image's own tags, then renumber the ones above it.
    std::u32string kept;
    kept.reserve(text.size());
    for (size_t p = 0; p < text.size();) {
        if (completeTag(text, p) == n) {
            p += 6;
        } else {
            kept.push_back(text[p]);
            ++p;
        }
    }
    for (size_t i = 0; i < kept.size();) {
        const std::optional<int> m = completeTag(kept, i);
        if (m && *m >= n && *m > 0) {
            kept.replace(i + 3, 2, twoDigitText(*m - 1));
            i += 4;
        } else {
            ++i;
        }
    }
    return kept;
}

std::u32string WrapInTags(const std::u32string& text, int selStart, int selLength, int n)
{
    if (n < 1 || n >= 100 || selLength <= 0)
        return text;
    const size_t start = std::min(static_cast<size_t>(std::max(selStart, 0)), text.size());
    const size_t end = std::min(start + static_cast<size_t>(selLength), text.size());
    if (end == start)
        return text;
    const std::u32string number = twoDigitText(n);
    return text.substr(0, start) + U"[&+" + number + U"]" + text.substr(start, end - start) +
           U"[&-" + number + U"]" + text.substr(end);
}

} // namespace lumexa
