// Any bytes as a language file: the reader either applies lines or stops with a clear
// error, and never reads or writes outside the table.
#include "core/base/error.h"
#include "core/base/text_codec.h"
#include "core/project/language_table.h"

#include <cstdint>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    lumexa::LanguageTable table;
    try {
        table.LoadLanguageLines(lumexa::SplitLines(lumexa::DecodeTextFile(bytes)));
    } catch (const lumexa::Error&) {
    }
    // Every string must be valid UTF-8, since the windows show them as they are.
    for (const std::string& s : table.strings())
        if (!lumexa::IsValidUtf8(s))
            __builtin_trap();
    return 0;
}
