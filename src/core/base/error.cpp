// The engine's error: wording, file and reason.
#include "core/base/error.h"

#include "core/base/shown_text.h"

#include <new>
#include <system_error>

namespace lumexa
{

Error::Error(const std::string& message, std::string file, std::string reason, int number,
             bool fileInFront)
    : std::runtime_error(fileInFront ? ShownText(file) + ": " + message : message),
      message_(message), file_(std::move(file)), reason_(std::move(reason)),
      languageString_(number), fileInFront_(fileInFront)
{
}

Error Error::about(const std::string& path) const
{
    if (!file_.empty())
        return *this;
    return Error(message_, path, reason_.empty() ? message_ : reason_, languageString_, true);
}

Error CannotWrite(const std::string& path, const std::string& reason)
{
    return Error("Cannot write file " + ShownText(path) + ": " + reason, path, reason);
}

Error CannotOpen(const std::string& path, const std::string& reason)
{
    return Error("Cannot open file " + ShownText(path) + (reason.empty() ? "" : ": " + reason),
                 path, reason);
}

Error CannotReadPicture(const std::string& path, const std::string& reason)
{
    return Error("Cannot read picture " + ShownText(path) + ": " + reason, path, reason);
}

Error CannotFind(const std::string& path)
{
    return Error("Cannot find file " + ShownText(path), path, std::string());
}

Error OutOfMemory()
{
    return Error("Not enough memory: a smaller result (a lower scale or a region) or fewer "
                 "threads need less");
}

Error NoMoreThreads()
{
    return Error("Cannot start another thread: the system's limit of threads or memory is "
                 "reached; fewer threads or a smaller result (a lower scale or a region) need "
                 "less");
}

bool IsThreadShortage(const std::exception& e)
{
    const auto* system = dynamic_cast<const std::system_error*>(&e);
    return system && system->code() == std::errc::resource_unavailable_try_again;
}

Error ErrorFrom(const std::exception& e)
{
    if (const auto* error = dynamic_cast<const Error*>(&e))
        return *error;
    if (dynamic_cast<const std::bad_alloc*>(&e))
        return OutOfMemory();
    if (IsThreadShortage(e))
        return NoMoreThreads();
    return Error(e.what());
}

Error InvalidInteger(const std::string& value)
{
    return Error("'" + ShownText(value) + "' is not a valid integer value");
}

} // namespace lumexa
