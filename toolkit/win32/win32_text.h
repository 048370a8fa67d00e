#pragma once

#include <string>
#include <string_view>

namespace toolkit::win32 {

// The logic speaks UTF-8, the system UTF-16. Bytes that are not UTF-8 become
// U+FFFD rather than vanishing, so a hostile reply still shows as something.
std::wstring widen(std::string_view text);
std::string narrow(std::wstring_view text);

// How many UTF-16 units the UTF-8 text `text` takes: the edit control counts
// its caret in those.
std::size_t utf16Length(std::string_view text);
// The byte offset in `text` of the UTF-16 position `units` (clamped to the end).
std::size_t utf8OffsetOf(std::string_view text, std::size_t units);

}  // namespace toolkit::win32
