#pragma once

#include <string>
#include <string_view>

#include "platform/management_objects.h"

namespace probes {

// What GetPhysicalLanIP returns when no adapter qualifies.
inline constexpr std::string_view kNotFound = "Not Found";

// The first address of the first IP-enabled adapter that looks physical: its
// identity is not the all-zero GUID and its description names no loopback,
// virtual, Hyper-V or VPN adapter. Adapters are taken in the order the service
// yields them; one that qualifies but has no address is passed over. Returns
// kNotFound when none qualifies. Any failure of the service (binding, query,
// enumeration, a property read) and an address list of the wrong type propagate
// as basics::Error.
std::string GetPhysicalLanIP(platform::ManagementLocator& locator);

}  // namespace probes
