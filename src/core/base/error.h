// The one exception type of the engine. Besides its wording it carries the file it is
// about (if any) and the reason apart from the wording, so that callers decide whether to
// name a file from the error's fields, never from its text. When the message is a language
// string, its number travels with it so that the windows can show the text of the
// language in force (ErrorText in core/project/error_text.h).
#pragma once

#include <cstddef>
#include <stdexcept>
#include <stop_token>
#include <string>

namespace lumexa
{

class Error : public std::runtime_error
{
  public:
    // A plain text about no file.
    explicit Error(const std::string& text) : Error(text, {}, {}, -1, false) {}
    // An error whose text is language string `number`; `fallback` is shown where no
    // language table is at hand (the headless renderer, tests).
    Error(int number, const std::string& fallback) : Error(fallback, {}, {}, number, false) {}
    // The same about `file` for `reason`; a language string that holds %1 gets the file
    // in its place.
    Error(int number, const std::string& fallback, const std::string& file,
          const std::string& reason)
        : Error(fallback, file, reason, number, false)
    {
    }
    // An error about `file` whose `message` names it, for `reason`.
    Error(const std::string& message, const std::string& file, const std::string& reason)
        : Error(message, file, reason, -1, false)
    {
    }

    // The language string number of the message, or -1 for a plain text.
    int languageString() const { return languageString_; }
    // The file the error is about; empty when it is about none. The text names it.
    const std::string& file() const { return file_; }
    // Why, without the wording around it ("No space left on device"); empty when the
    // text is all there is.
    const std::string& reason() const { return reason_; }
    // The wording without the file put in front by about().
    const std::string& message() const { return message_; }
    // True when about() put the file in front of the message.
    bool fileInFront() const { return fileInFront_; }

    // The same error about `path`: "PATH: message". An error already about a file names
    // that one and is returned as it is.
    Error about(const std::string& path) const;

  private:
    Error(const std::string& message, std::string file, std::string reason, int number,
          bool fileInFront);

    std::string message_;
    std::string file_;
    std::string reason_;
    int languageString_ = -1;
    bool fileInFront_ = false;
};

// Thrown by long steps before a result (the render layout) when their stop token asks
// them to stop: the caller reports a cancel, not a failure.
class Stopped : public std::exception
{
  public:
    const char* what() const noexcept override { return "stopped"; }
};

// Throws Stopped once `stop` is requested.
inline void CheckStop(const std::stop_token& stop)
{
    if (stop.stop_requested())
        throw Stopped();
}

// Throws Stopped once `stop` is requested, looking only at every 65536th step of a loop
// over millions, where even the look would cost.
inline void CheckStopEvery(size_t step, const std::stop_token& stop)
{
    if ((step & 0xFFFF) == 0)
        CheckStop(stop);
}

// "Cannot write file PATH: reason", the one wording of every failed write.
Error CannotWrite(const std::string& path, const std::string& reason);
// "Cannot open file PATH", with ": reason" when one is given.
Error CannotOpen(const std::string& path, const std::string& reason = {});
// "Cannot read picture PATH: reason"
Error CannotReadPicture(const std::string& path, const std::string& reason);
// "Cannot find file PATH"
Error CannotFind(const std::string& path);
// "Not enough memory...", for work that ran out of memory, with what makes it need less.
Error OutOfMemory();
// "Cannot start another thread...", for work whose threads the system would not give (its
// limit of threads, or the memory for another stack, is reached), with what needs fewer.
Error NoMoreThreads();
// True for the failure to start a thread: the std::system_error of EAGAIN ("Resource
// temporarily unavailable") that std::thread throws.
bool IsThreadShortage(const std::exception& e);
// The error to report for an exception that is no Error: what ran out for a shortage of
// memory or threads, else its own text.
Error ErrorFrom(const std::exception& e);
// "'%s' is not a valid integer value"
Error InvalidInteger(const std::string& value);

} // namespace lumexa
