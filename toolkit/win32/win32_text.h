#pragma once

#include <string>
#include <string_view>

namespace toolkit::win32 {

// The logic speaks UTF-8, the system UTF-16. Bytes that are not UTF-8 become
// U+FFFD rather than vanishing, so a hostile reply still shows as something.
std::wstring widen(std::string_view text);
std::string narrow(std::wstring_view text);

}  // namespace toolkit::win32
