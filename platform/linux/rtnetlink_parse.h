#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>

#include "platform/linux/link_facts.h"

namespace platform::linuxos {

// Parsers for single rtnetlink messages: bytes in, plain facts out, nothing
// fetched. Each takes one message, its netlink header included, `length`
// bytes long and aligned for the header. Every length is checked before it
// is read and attributes are validated against a policy; a message that is
// cut short, malformed or of another type gives none, never a crash.

// RTM_NEWLINK: a link.
std::optional<LinkFacts> parseLinkMessage(const void* message, std::size_t length);

// RTM_NEWADDR: an IPv4 or IPv6 address.
std::optional<AddressFacts> parseAddressMessage(const void* message, std::size_t length);

// RTM_NEWROUTE: a route, kept only when it is an IPv4 or IPv6 default route
// (destination length 0), since the gateways are all that is read of routes.
std::optional<RouteFacts> parseRouteMessage(const void* message, std::size_t length);

}  // namespace platform::linuxos
