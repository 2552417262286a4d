// The table of 158 numbered interface texts, filled from language files. Reading a file
// overwrites only the numbers it holds; the windows apply the captions themselves.
#pragma once

#include <array>
#include <string>
#include <vector>

namespace lumexa
{

inline constexpr int kLanguageStringCount = 158;

class LanguageTable
{
  public:
    // The text of string n; an empty text for a number outside 0..157.
    const std::string& operator[](int n) const;

    // Reads the file at `path`: "Cannot open file %s" when it cannot be opened (nothing
    // changes); see LoadLanguageLines for the rest.
    void LoadLanguage(const std::string& path);
    // Applies a language file's lines. The first line is a title and never read. Each
    // other line is number "=" delimiter text delimiter; the two delimiters are dropped
    // unseen. A number outside 0..157 and a line without "=" are skipped; a later line
    // wins. A number part that does not convert throws "'%s' is not a valid integer
    // value"; the lines before it stay applied.
    void LoadLanguageLines(const std::vector<std::string>& lines);

    const std::array<std::string, kLanguageStringCount>& strings() const { return strings_; }

  private:
    std::array<std::string, kLanguageStringCount> strings_;
};

} // namespace lumexa
