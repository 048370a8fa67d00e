#pragma once

#include <string_view>

namespace probes {

// `text` is one IPv4 address in dotted-decimal form (four decimal parts of
// 0 to 255, no leading zeros) or one IPv6 address in its text forms (hex
// groups with at most one "::", an optional dotted IPv4 tail, an optional
// "%zone"), and nothing else: no spaces, no line ends, no port, no brackets.
bool isIpAddress(std::string_view text);

// `text` is an IP address (as isIpAddress) that could be a machine's public
// address on the internet: not unspecified, loopback, link-local, multicast,
// private-use (10/8, 172.16/12, 192.168/16, fc00::/7) or shared (100.64/10),
// and without a zone. An IPv4 address written as IPv6 (::ffff:a.b.c.d) is
// judged as the IPv4 address. An echo reply of anything else did not come
// from the far side of the internet, whatever answered it.
bool couldBePublicAddress(std::string_view text);

// `text` is an IP address (as isIpAddress) a network gave the machine: not
// unspecified, not loopback, and not one a machine takes for itself when no
// network hands it one (IPv4 link-local 169.254/16, IPv6 link-local fe80::/10).
bool isAssignedAddress(std::string_view text);

// `text` is an IP address (as isIpAddress) of the loopback (127/8, ::1).
bool isLoopbackAddress(std::string_view text);

// `text` without the white space and line ends around it.
std::string_view trimmedText(std::string_view text);

}  // namespace probes
