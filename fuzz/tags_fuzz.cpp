// Any text through the tag parser, "Clear", the strip's tag wrap and Delete's tag
// rewrite: errors are clean, nothing is read past an end, and a wrap of plain text
// reads back as the LED number it wrapped with.
#include "core/base/error.h"
#include "core/base/text_codec.h"
#include "core/project/tags.h"

#include <cstdint>
#include <string_view>

namespace
{

void check(bool ok)
{
    if (!ok)
        __builtin_trap();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    using namespace lumexa;
    if (size < 3)
        return 0;
    const int n = data[0] % 130;
    const int selStart = data[1] % 40;
    const int selLength = data[2] % 40;
    const std::u32string text =
        Utf8ToChars(std::string_view(reinterpret_cast<const char*>(data + 3), size - 3));

    try {
        const ParsedText parsed = ParseTags(text);
        check(parsed.ledMap.size() == parsed.stripped.size() + 1);
        check(parsed.level >= 0 && static_cast<size_t>(parsed.level) < parsed.stack.size());
    } catch (const Error&) {
    }

    const std::u32string cleared = StripAllTags(text);
    check(cleared.size() <= text.size());
    const std::u32string rewritten = RewriteTagsAfterDelete(text, n);
    check(rewritten.size() <= text.size());

    const std::u32string wrapped = WrapInTags(text, selStart, selLength, n);
    if (text.find(U"[&") == std::u32string::npos && text.find(U'[') == std::u32string::npos) {
        const ParsedText parsed = ParseTags(wrapped);
        check(parsed.stripped == text);
        const size_t start = std::min<size_t>(static_cast<size_t>(selStart), text.size());
        const size_t end = std::min<size_t>(start + static_cast<size_t>(selLength), text.size());
        for (size_t i = 0; i < text.size(); ++i) {
            const bool inside = i >= start && i < end && n >= 1 && n < 100;
            check(parsed.ledAt(static_cast<int>(i) + 1) == (inside ? n : 1));
        }
    }
    return 0;
}
