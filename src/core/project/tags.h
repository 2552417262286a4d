// LED tags in the text field: "[&+NN]" opens a part of the text drawn with LED image NN,
// "[&-NN]" closes it. The layout strips them and remembers, per character, the LED
// number in force; the strip and the "Clear" button rewrite them.
#pragma once

#include <string>
#include <vector>

namespace lumexa
{

struct ParsedText {
    // The text without its tags.
    std::u32string stripped;
    // ledMap[i] is the LED number in force at the i-th character of `stripped`, counted
    // from 1; ledMap[0] is unused. Holds stripped.size() + 1 entries.
    std::vector<int> ledMap{1};
    // The tag stack as the walk left it: stack[0] is always 1, `level` the current level.
    std::vector<int> stack{1};
    int level = 0;

    // The LED number of the character at 1-based `index`, or 1 when there is no such
    // character.
    int ledAt(int index) const;
};

// Walks the text, strips "[&+" and "[&-" tags (six characters each) and records the LED
// number of every remaining character. The two characters after "[&+" are read as an
// integer; when they are not one, the conversion error ("'5]' is not a valid integer
// value") is thrown. No length or nesting limit.
ParsedText ParseTags(const std::u32string& text);

// The first tag that is cut short at the end of the text (being typed) or whose number
// the layout cannot read, as it stands in the text: "[&+0", "[&-", "[&+x1]". Empty when
// every tag is whole.
std::u32string FirstIncompleteTag(const std::u32string& text);

// The "Clear" button's rewrite: drops every complete tag ("[&+NN]" or "[&-NN]", two
// decimal digits) and leaves any other text, brackets and ampersands included, alone.
std::u32string StripAllTags(const std::u32string& text);

// After LED image `n` is deleted: removes every complete tag whose number is `n` and
// renumbers the tags numbered above `n` one down. Anything that is not a complete tag is
// left as plain text.
std::u32string RewriteTagsAfterDelete(const std::u32string& text, int n);

// Wraps the selection (start counted from 0, length in characters) in "[&+NN]" and
// "[&-NN]". Nothing is inserted for an empty selection, for n < 1, or for n >= 100,
// whose number would not fit the two characters the tags are read back with. The
// selection is clamped to the text.
std::u32string WrapInTags(const std::u32string& text, int selStart, int selLength, int n);

} // namespace lumexa
