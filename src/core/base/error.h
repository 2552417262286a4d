// The one exception type of the engine. Its text is what the user reads; when the
// message is a language string, its number travels with it so that the windows can
// show the text of the language in force.
#pragma once

#include <stdexcept>
#include <string>

namespace lumexa
{

class Error : public std::runtime_error
{
  public:
    explicit Error(const std::string& text) : std::runtime_error(text) {}
    // An error whose text is language string `number`; `fallback` is shown where no
    // language table is at hand (the headless renderer, tests).
    Error(int number, const std::string& fallback)
        : std::runtime_error(fallback), languageString_(number)
    {
    }

    // The language string number of the message, or -1 for a plain text.
    int languageString() const { return languageString_; }

  private:
    int languageString_ = -1;
};

// Thrown by long steps before a result (the render layout) when their stop token asks
// them to stop: the caller reports a cancel, not a failure.
class Stopped : public std::exception
{
  public:
    const char* what() const noexcept override { return "stopped"; }
};

// "'%s' is not a valid integer value"
Error invalidInteger(const std::string& value);
// "Cannot open file %s"
Error cannotOpen(const std::string& path);

} // namespace lumexa
