// The engine's error: wording, file and reason.
#include "core/base/error.h"

namespace lumexa
{

Error::Error(const std::string& message, std::string file, std::string reason, int number,
             bool fileInFront)
    : std::runtime_error(fileInFront ? file + ": " + message : message), message_(message),
      file_(std::move(file)), reason_(std::move(reason)), languageString_(number),
      fileInFront_(fileInFront)
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
    return Error("Cannot write file " + path + ": " + reason, path, reason);
}

Error CannotOpen(const std::string& path, const std::string& reason)
{
    return Error("Cannot open file " + path + (reason.empty() ? "" : ": " + reason), path, reason);
}

Error CannotReadPicture(const std::string& path, const std::string& reason)
{
    return Error("Cannot read picture " + path + ": " + reason, path, reason);
}

Error CannotFind(const std::string& path)
{
    return Error("Cannot find file " + path, path, std::string());
}

Error OutOfMemory()
{
    return Error("Not enough memory: a smaller result (a lower scale or a region) or fewer "
                 "threads need less");
}

Error InvalidInteger(const std::string& value)
{
    return Error("'" + value + "' is not a valid integer value");
}

} // namespace lumexa
