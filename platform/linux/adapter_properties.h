#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "platform/linux/link_facts.h"

namespace platform::linuxos {

// Single-link properties, each a pure function of the link's facts.

// "AA:BB:CC:DD:EE:FF" (upper case, any length); empty for no address or an
// all-zero one.
std::string hardwareAddressText(const std::vector<std::uint8_t>& address);

bool isLoopback(const LinkFacts& link);

// The link's kind as the user knows it: the kernel's kind, "tap" for a tun
// link carrying Ethernet frames, "ppp" for a PPP link that reports no kind.
std::string linkKind(const LinkFacts& link);

// The adapter's description: the hardware database's model, the driver's
// name, or a fixed text naming a loopback, a VPN tunnel or a virtual link.
std::string description(const LinkFacts& link, const DeviceFacts& device);

// "Ethernet 802.3", "Wide Area Network (WAN)" or "Tunnel"; none for the
// loopback and for link types that are none of these.
std::optional<std::string> adapterType(const LinkFacts& link);

// 0 disconnected, 2 connected, 4 not present, 7 media disconnected,
// 8 dormant (authenticating); none for any other state.
std::optional<std::int32_t> connectionStatus(const LinkFacts& link);

// The speed in bits per second as decimal text; none when unknown.
std::optional<std::string> speedText(const DeviceFacts& device);

// A driver serves the adapter, or it needs none (a software link).
bool serviceEnabled(const DeviceFacts& device);

// An address's mask: dotted for IPv4 ("255.255.255.0"), the prefix length as
// text for IPv6 ("64").
std::string maskText(int family, std::uint8_t prefixLength);

// The adapter table's interface type number (6 Ethernet, 23 PPP, 24 loopback,
// 71 IEEE 802.11, 131 tunnel, 1 other).
std::uint32_t interfaceType(const LinkFacts& link, const DeviceFacts& device);

}  // namespace platform::linuxos
