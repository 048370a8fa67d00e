#pragma once

#include <string>
#include <string_view>

namespace reports {

// The part of `text` before its first NUL; the whole text when it has none.
std::string TrimAtNul(std::string_view text);

}  // namespace reports
