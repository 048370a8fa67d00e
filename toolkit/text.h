#pragma once

#include <cstddef>
#include <string_view>

namespace toolkit {

// Length of the well-formed UTF-8 sequence at the start of `text` (no overlong
// forms, no surrogates, nothing past U+10FFFF): 1 for ASCII, 0 when the bytes
// there are not one, or when `text` is empty.
std::size_t utf8SequenceLength(std::string_view text);

// Equal when only the case of ASCII letters differs.
bool equalIgnoringCase(std::string_view a, std::string_view b);

// `part` occurs in `text`, ASCII letter case ignored; an empty text contains nothing.
bool containsIgnoringCase(std::string_view text, std::string_view part);

}  // namespace toolkit
