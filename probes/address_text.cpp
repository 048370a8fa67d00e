#include "probes/address_text.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>

namespace probes {
namespace {

using Ipv4 = std::array<std::uint8_t, 4>;
using Ipv6 = std::array<std::uint8_t, 16>;

// An address as written: its bytes, and the zone that followed a '%'.
struct Parsed {
  bool six = false;
  Ipv6 bytes{};  // IPv4: the first four
  bool zoned = false;
};

bool isDigit(char c) {
  return c >= '0' && c <= '9';
}

int hexValue(char c) {
  if (isDigit(c)) return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

std::optional<Ipv4> parseIpv4(std::string_view text) {
  Ipv4 out{};
  for (std::size_t part = 0; part < 4; ++part) {
    std::size_t digits = 0;
    int value = 0;
    while (digits < text.size() && isDigit(text[digits]) && digits < 3) {
      value = value * 10 + (text[digits] - '0');
      ++digits;
    }
    if (digits == 0 || value > 255 || (digits > 1 && text.front() == '0')) return std::nullopt;
    out[part] = static_cast<std::uint8_t>(value);
    text.remove_prefix(digits);
    if (part == 3) break;
    if (text.empty() || text.front() != '.') return std::nullopt;
    text.remove_prefix(1);
  }
  if (!text.empty()) return std::nullopt;
  return out;
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

// The 16-bit groups of one side of a "::" (or of the whole address), an IPv4
// tail counting as two; false when a group is malformed.
bool readGroups(std::string_view side, bool mayEndInIpv4, std::array<std::uint16_t, 8>& groups,
                std::size_t& count) {
  if (side.empty()) return true;
  for (;;) {
    const std::size_t colon = side.find(':');
    const std::string_view group = side.substr(0, colon);
    if (colon == std::string_view::npos && mayEndInIpv4 &&
        group.find('.') != std::string_view::npos) {
      const auto tail = parseIpv4(group);
      if (!tail || count + 2 > groups.size()) return false;
      groups[count++] = static_cast<std::uint16_t>((*tail)[0] << 8 | (*tail)[1]);
      groups[count++] = static_cast<std::uint16_t>((*tail)[2] << 8 | (*tail)[3]);
      return true;
    }
    if (group.empty() || group.size() > 4 || count == groups.size()) return false;
    std::uint16_t value = 0;
    for (const char c : group) {
      const int digit = hexValue(c);
      if (digit < 0) return false;
      value = static_cast<std::uint16_t>(value << 4 | digit);
    }
    groups[count++] = value;
    if (colon == std::string_view::npos) return true;
    side.remove_prefix(colon + 1);
  }
}

std::optional<Parsed> parseIpv6(std::string_view text) {
  Parsed out;
  out.six = true;
  if (const std::size_t percent = text.find('%'); percent != std::string_view::npos) {
    if (!isZone(text.substr(percent + 1))) return std::nullopt;
    out.zoned = true;
    text = text.substr(0, percent);
  }
  const std::size_t gap = text.find("::");
  if (gap != std::string_view::npos && text.find("::", gap + 1) != std::string_view::npos) {
    return std::nullopt;
  }
  std::array<std::uint16_t, 8> head{};
  std::array<std::uint16_t, 8> tail{};
  std::size_t headCount = 0;
  std::size_t tailCount = 0;
  if (gap == std::string_view::npos) {
    if (!readGroups(text, true, head, headCount) || headCount != 8) return std::nullopt;
  } else {
    if (!readGroups(text.substr(0, gap), false, head, headCount)) return std::nullopt;
    if (!readGroups(text.substr(gap + 2), true, tail, tailCount)) return std::nullopt;
    if (headCount + tailCount > 7) return std::nullopt;
  }
  // The groups after the gap sit at the end; the gap is zeros.
  for (std::size_t i = 0; i < tailCount; ++i) head[8 - tailCount + i] = tail[i];
  for (std::size_t i = 0; i < 8; ++i) {
    out.bytes[2 * i] = static_cast<std::uint8_t>(head[i] >> 8);
    out.bytes[2 * i + 1] = static_cast<std::uint8_t>(head[i] & 0xFF);
  }
  return out;
}

std::optional<Parsed> parse(std::string_view text) {
  if (text.find(':') != std::string_view::npos) return parseIpv6(text);
  const auto four = parseIpv4(text);
  if (!four) return std::nullopt;
  Parsed out;
  for (std::size_t i = 0; i < 4; ++i) out.bytes[i] = (*four)[i];
  return out;
}

bool couldBePublicIpv4(std::uint8_t a, std::uint8_t b, std::uint8_t c, std::uint8_t d) {
  const bool unspecified = a == 0 && b == 0 && c == 0 && d == 0;
  const bool loopback = a == 127;
  const bool linkLocal = a == 169 && b == 254;
  const bool multicast = a >= 224 && a <= 239;
  const bool privateUse = a == 10 || (a == 172 && (b & 0xF0) == 16) || (a == 192 && b == 168);
  const bool shared = a == 100 && (b & 0xC0) == 64;
  return !(unspecified || loopback || linkLocal || multicast || privateUse || shared);
}

}  // namespace

bool isIpAddress(std::string_view text) {
  return parse(text).has_value();
}

bool couldBePublicAddress(std::string_view text) {
  const auto address = parse(text);
  if (!address || address->zoned) return false;
  const Ipv6& b = address->bytes;
  if (!address->six) return couldBePublicIpv4(b[0], b[1], b[2], b[3]);
  bool mapped = b[10] == 0xFF && b[11] == 0xFF;
  bool zeros = true;
  for (std::size_t i = 0; i < 10; ++i) {
    mapped = mapped && b[i] == 0;
    zeros = zeros && b[i] == 0;
  }
  // An IPv4 address written as IPv6 is judged as the IPv4 address it is.
  if (mapped) return couldBePublicIpv4(b[12], b[13], b[14], b[15]);
  const bool unspecifiedOrLoopback =
      zeros && b[10] == 0 && b[11] == 0 && b[12] == 0 && b[13] == 0 && b[14] == 0 && b[15] <= 1;
  const bool linkLocal = b[0] == 0xFE && (b[1] & 0xC0) == 0x80;
  const bool multicast = b[0] == 0xFF;
  const bool uniqueLocal = (b[0] & 0xFE) == 0xFC;
  return !(unspecifiedOrLoopback || linkLocal || multicast || uniqueLocal);
}

namespace {

enum class Scope { Unspecified, Loopback, LinkLocal, Other };

Scope scopeOf(const Parsed& address) {
  const Ipv6& b = address.bytes;
  if (!address.six) {
    if (b[0] == 0 && b[1] == 0 && b[2] == 0 && b[3] == 0) return Scope::Unspecified;
    if (b[0] == 127) return Scope::Loopback;
    if (b[0] == 169 && b[1] == 254) return Scope::LinkLocal;
    return Scope::Other;
  }
  bool zeros = true;
  for (std::size_t i = 0; i < 15; ++i) zeros = zeros && b[i] == 0;
  if (zeros && b[15] == 0) return Scope::Unspecified;
  if (zeros && b[15] == 1) return Scope::Loopback;
  if (b[0] == 0xFE && (b[1] & 0xC0) == 0x80) return Scope::LinkLocal;
  return Scope::Other;
}

}  // namespace

bool isAssignedAddress(std::string_view text) {
  const auto address = parse(text);
  return address && scopeOf(*address) == Scope::Other;
}

bool isLoopbackAddress(std::string_view text) {
  const auto address = parse(text);
  return address && scopeOf(*address) == Scope::Loopback;
}

std::string_view trimmedText(std::string_view text) {
  constexpr std::string_view kSpace = " \t\r\n\v\f";
  const std::size_t first = text.find_first_not_of(kSpace);
  if (first == std::string_view::npos) return {};
  return text.substr(first, text.find_last_not_of(kSpace) - first + 1);
}

}  // namespace probes
