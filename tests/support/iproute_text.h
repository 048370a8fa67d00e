#pragma once

#include <cctype>
#include <cstdint>
#include <string>

// How the adapter services write what iproute2 reports, for the tests that
// compare the two in a staged network namespace (Linux and under Wine).
namespace tests_support {

// A hardware address as the services write it: iproute2's, upper case.
inline std::string upperCase(std::string text) {
  for (char& c : text) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return text;
}

// An IPv4 prefix length as a dotted mask ("255.255.255.0" for 24).
inline std::string dottedMask(int prefix) {
  const std::uint32_t mask = prefix == 0 ? 0 : ~std::uint32_t{0} << (32 - prefix);
  return std::to_string(mask >> 24) + "." + std::to_string(mask >> 16 & 255) + "." +
         std::to_string(mask >> 8 & 255) + "." + std::to_string(mask & 255);
}

}  // namespace tests_support
