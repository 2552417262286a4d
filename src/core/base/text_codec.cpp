// UTF-8 and Windows-1252 decoding, line splitting and safe text file writing.
#include "core/base/text_codec.h"

#include "core/base/atomic_file.h"
#include "core/base/error.h"
#include "core/base/input_file.h"

namespace lumexa
{

namespace
{

// Decodes one UTF-8 sequence at `i`; returns the length, or 0 when it is invalid.
size_t decodeOne(std::string_view s, size_t i, char32_t& out)
{
    const auto b0 = static_cast<unsigned char>(s[i]);
    if (b0 < 0x80) {
        out = b0;
        return 1;
    }
    size_t len;
    char32_t cp;
    if (b0 >= 0xC2 && b0 <= 0xDF) {
        len = 2;
        cp = b0 & 0x1F;
    } else if (b0 >= 0xE0 && b0 <= 0xEF) {
        len = 3;
        cp = b0 & 0x0F;
    } else if (b0 >= 0xF0 && b0 <= 0xF4) {
        len = 4;
        cp = b0 & 0x07;
    } else {
        return 0;
    }
    if (i + len > s.size())
        return 0;
    for (size_t k = 1; k < len; ++k) {
        const auto b = static_cast<unsigned char>(s[i + k]);
        if ((b & 0xC0) != 0x80)
            return 0;
        cp = (cp << 6) | (b & 0x3F);
    }
    // Overlong forms, surrogates and values past U+10FFFF are not UTF-8.
    if ((len == 3 && cp < 0x800) || (len == 4 && (cp < 0x10000 || cp > 0x10FFFF)) ||
        (cp >= 0xD800 && cp <= 0xDFFF))
        return 0;
    out = cp;
    return len;
}

void appendUtf8(std::string& out, char32_t c)
{
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += static_cast<char>(0xE0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (c >> 18));
        out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
}

// Windows-1252 bytes 0x80..0x9F; the five undefined ones map to the C1 controls.
constexpr char32_t kCp1252High[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

} // namespace

bool IsValidUtf8(std::string_view bytes)
{
    char32_t c;
    for (size_t i = 0; i < bytes.size();) {
        const size_t n = decodeOne(bytes, i, c);
        if (n == 0)
            return false;
        i += n;
    }
    return true;
}

std::u32string Utf8ToChars(std::string_view utf8)
{
    std::u32string out;
    out.reserve(utf8.size());
    for (size_t i = 0; i < utf8.size();) {
        char32_t c;
        const size_t n = decodeOne(utf8, i, c);
        out += n ? c : U'\uFFFD';
        i += n ? n : 1;
    }
    return out;
}

std::string CharsToUtf8(std::u32string_view chars)
{
    std::string out;
    out.reserve(chars.size());
    for (char32_t c : chars)
        appendUtf8(out, c);
    return out;
}

std::string Cp1252ToUtf8(std::string_view bytes)
{
    std::string out;
    out.reserve(bytes.size());
    for (char ch : bytes) {
        const auto b = static_cast<unsigned char>(ch);
        appendUtf8(out, b >= 0x80 && b < 0xA0 ? kCp1252High[b - 0x80] : char32_t(b));
    }
    return out;
}

std::string DecodeTextFile(std::string_view bytes)
{
    if (bytes.substr(0, 3) == "\xEF\xBB\xBF")
        bytes.remove_prefix(3);
    return IsValidUtf8(bytes) ? std::string(bytes) : Cp1252ToUtf8(bytes);
}

std::vector<std::string> SplitLines(std::string_view text)
{
    std::vector<std::string> lines;
    size_t start = 0;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '\r' && text[i] != '\n')
            continue;
        lines.emplace_back(text.substr(start, i - start));
        if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n')
            ++i;
        start = i + 1;
    }
    if (start < text.size())
        lines.emplace_back(text.substr(start));
    return lines;
}

std::vector<std::string> ReadTextFileLines(const std::string& path, uint64_t mostBytes)
{
    const InputFile file = ReadInputFile(path, mostBytes);
    if (file.refusal == InputRefusal::Missing)
        throw CannotOpen(path);
    if (file.refusal != InputRefusal::None)
        throw CannotOpen(path, RefusalReason(file, mostBytes));
    // UTF-16 and binary files hold NUL bytes, which no text of ours does.
    if (file.bytes.find('\0') != std::string::npos)
        throw CannotOpen(path, "it is not a text file");
    return SplitLines(DecodeTextFile(file.bytes));
}

void WriteTextFileAtomically(const std::string& path, const std::vector<std::string>& lines,
                             AtomicFileOptions options)
{
    std::string text;
    for (const std::string& line : lines) {
        text += line;
        text += "\r\n";
    }
    AtomicFile file(path, options);
    file.write(text.data(), text.size());
    file.commit();
}

} // namespace lumexa
