#pragma once

#include <string_view>

namespace probes {

// `text` is one IPv4 address in dotted-decimal form (four decimal parts of
// 0 to 255, no leading zeros) or one IPv6 address in its text forms (hex
// groups with at most one "::", an optional dotted IPv4 tail, an optional
// "%zone"), and nothing else: no spaces, no line ends, no port, no brackets.
bool isIpAddress(std::string_view text);

// `text` without the white space and line ends around it.
std::string_view trimmedText(std::string_view text);

}  // namespace probes
