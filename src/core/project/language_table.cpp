// Reading language files into the table of interface texts.
#include "core/project/language_table.h"

#include "core/base/decimal_integer.h"
#include "core/base/error.h"
#include "core/base/shown_text.h"
#include "core/base/text_codec.h"

namespace lumexa
{

namespace
{

// Length of the UTF-8 character that starts at `i`; lines are decoded text, so one
// delimiter may be more than one byte.
size_t charLength(const std::string& s, size_t i)
{
    size_t n = 1;
    while (i + n < s.size() && (static_cast<unsigned char>(s[i + n]) & 0xC0) == 0x80)
        ++n;
    return n;
}

// Start of the last UTF-8 character of a non-empty text.
size_t lastCharStart(const std::string& s)
{
    size_t i = s.size() - 1;
    while (i > 0 && (static_cast<unsigned char>(s[i]) & 0xC0) == 0x80)
        --i;
    return i;
}

} // namespace

const std::string& LanguageTable::operator[](int n) const
{
    static const std::string kNone;
    if (n < 0 || n >= kLanguageStringCount)
        return kNone;
    return strings_[static_cast<size_t>(n)];
}

void LanguageTable::LoadLanguage(const std::string& path)
{
    LoadLanguageLines(ReadTextFileLines(path, kMostLanguageFileBytes), path);
}

void LanguageTable::LoadLanguageLines(const std::vector<std::string>& lines,
                                      const std::string& source)
{
    for (size_t k = 1; k < lines.size(); ++k) {
        const std::string& line = lines[k];
        const size_t p = line.find('=');
        // A line without "=" (an empty last line, say) carries no string.
        if (p == std::string::npos)
            continue;
        const std::optional<int> parsed = ParseDecimalInteger(std::string_view(line).substr(0, p));
        if (!parsed) {
            const Error bad = InvalidInteger(line.substr(0, p));
            if (source.empty())
                throw bad;
            throw Error(ShownText(source) + ", line " + std::to_string(k + 1) + ": " + bad.what(),
                        source, bad.what());
        }
        const int number = *parsed;
        if (number < 0 || number >= kLanguageStringCount)
            continue;
        std::string text;
        if (p + 1 < line.size()) {
            const size_t begin = p + 1 + charLength(line, p + 1);
            const size_t end = lastCharStart(line);
            if (begin < end)
                text = line.substr(begin, end - begin);
        }
        strings_[static_cast<size_t>(number)] = std::move(text);
    }
}

} // namespace lumexa
