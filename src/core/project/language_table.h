// The table of numbered interface texts, filled from language files. Reading a file
// overwrites only the numbers it holds; the windows apply the captions themselves. Numbers
// are given out in blocks by area, so that texts added at the same time never share one:
// 158..179 printing and the background choice, 180..199 messages about refused input,
// 200..239 editing (undo) and the first run, 240..259 the deep-zoom export. A number
// without a text in the files reads as empty.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace lumexa
{

inline constexpr int kLanguageStringCount = 260;
// A language file holds a few hundred short texts (the shipped ones about 4 KB); a larger
// file is refused before its lines are split, which would cost several times its size.
inline constexpr uint64_t kMostLanguageFileBytes = 1ull << 20;

class LanguageTable
{
  public:
    // The text of string n; an empty text for a number outside 0..kLanguageStringCount - 1.
    const std::string& operator[](int n) const;

    // Reads the file at `path`: "Cannot open file %s" when it cannot be opened or is larger
    // than kMostLanguageFileBytes (nothing changes); see LoadLanguageLines for the rest,
    // whose errors name `path`.
    void LoadLanguage(const std::string& path);
    // Applies a language file's lines. The first line is a title and never read. Each
    // other line is number "=" delimiter text delimiter; the two delimiters are dropped
    // unseen. A number outside 0..kLanguageStringCount - 1 and a line without "=" are skipped; a
    // later line wins. A number part that does not convert throws "'%s' is not a valid integer
    // value", with "SOURCE, line N: " in front when the lines come from the file `source`;
    // the lines before it stay applied.
    void LoadLanguageLines(const std::vector<std::string>& lines, const std::string& source = {});

    const std::array<std::string, kLanguageStringCount>& strings() const { return strings_; }

  private:
    std::array<std::string, kLanguageStringCount> strings_;
};

} // namespace lumexa
