// Errors in the words of the language in force.
#include "core/project/error_text.h"

#include "core/base/error.h"
#include "core/base/shown_text.h"

namespace lumexa
{

std::string ErrorText(const std::exception& e, const LanguageTable& language)
{
    const auto* error = dynamic_cast<const Error*>(&e);
    // Memory or threads that ran out are told with what needs less.
    if (!error)
        return ErrorFrom(e).what();
    const int n = error->languageString();
    if (n < 0 || language[n].empty())
        return error->what();
    std::string text = language[n];
    if (const auto at = text.find("%1"); at != std::string::npos)
        text.replace(at, 2, ShownText(error->file()));
    return error->fileInFront() ? ShownText(error->file()) + ": " + text : text;
}

} // namespace lumexa
