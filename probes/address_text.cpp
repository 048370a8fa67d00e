#include "probes/address_text.h"

#include <cstddef>

namespace probes {
namespace {

bool isDigit(char c) {
  return c >= '0' && c <= '9';
}

bool isHexDigit(char c) {
  return isDigit(c) || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
}

bool isIpv4(std::string_view text) {
  int parts = 0;
  while (parts < 4) {
    std::size_t digits = 0;
    int value = 0;
    while (digits < text.size() && isDigit(text[digits]) && digits < 3) {
      value = value * 10 + (text[digits] - '0');
      ++digits;
    }
    if (digits == 0 || value > 255 || (digits > 1 && text.front() == '0')) return false;
    text.remove_prefix(digits);
    ++parts;
    if (parts == 4) break;
    if (text.empty() || text.front() != '.') return false;
    text.remove_prefix(1);
  }
  return text.empty();
}

// A zone names an interface: letters, digits and a few marks, never empty.
bool isZone(std::string_view zone) {
  if (zone.empty()) return false;
  for (const char c : zone) {
    const bool letter = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
    if (!letter && !isDigit(c) && c != '_' && c != '-' && c != '.') return false;
  }
  return true;
}

bool isIpv6(std::string_view text) {
  if (const std::size_t percent = text.find('%'); percent != std::string_view::npos) {
    if (!isZone(text.substr(percent + 1))) return false;
    text = text.substr(0, percent);
  }
  const std::size_t gap = text.find("::");
  if (gap != std::string_view::npos && text.find("::", gap + 1) != std::string_view::npos) {
    return false;
  }
  // Count the 16-bit groups on each side of the gap; an IPv4 tail is two.
  int groups = 0;
  const auto readGroups = [&](std::string_view side, bool mayEndInIpv4) {
    if (side.empty()) return true;
    for (;;) {
      const std::size_t colon = side.find(':');
      const std::string_view group = side.substr(0, colon);
      if (colon == std::string_view::npos && mayEndInIpv4 &&
          group.find('.') != std::string_view::npos) {
        groups += 2;
        return isIpv4(group);
      }
      if (group.empty() || group.size() > 4) return false;
      for (const char c : group) {
        if (!isHexDigit(c)) return false;
      }
      ++groups;
      if (colon == std::string_view::npos) return true;
      side.remove_prefix(colon + 1);
    }
  };
  if (gap == std::string_view::npos) return readGroups(text, true) && groups == 8;
  if (!readGroups(text.substr(0, gap), false)) return false;
  if (!readGroups(text.substr(gap + 2), true)) return false;
  return groups <= 7;
}

}  // namespace

bool isIpAddress(std::string_view text) {
  if (text.find(':') != std::string_view::npos) return isIpv6(text);
  return isIpv4(text);
}

std::string_view trimmedText(std::string_view text) {
  constexpr std::string_view kSpace = " \t\r\n\v\f";
  const std::size_t first = text.find_first_not_of(kSpace);
  if (first == std::string_view::npos) return {};
  return text.substr(first, text.find_last_not_of(kSpace) - first + 1);
}

}  // namespace probes
