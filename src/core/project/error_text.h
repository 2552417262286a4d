// What the user reads of an error: the language string it stands for when the table holds
// it, else its own wording; with the file in front when the error was put about one.
#pragma once

#include "core/project/language_table.h"

#include <exception>
#include <string>

namespace lumexa
{

std::string ErrorText(const std::exception& e, const LanguageTable& language);

} // namespace lumexa
