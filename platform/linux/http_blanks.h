#pragma once

#include <string_view>

namespace platform::linuxos {

// A header value, status line or URL without the blanks around it: spaces and
// tabs on both sides, and a CR left at the end by a line that ended in CR LF.
inline std::string_view trimBlanks(std::string_view s) {
  while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
  while (!s.empty() && (s.back() == ' ' || s.back() == '\t' || s.back() == '\r'))
    s.remove_suffix(1);
  return s;
}

}  // namespace platform::linuxos
