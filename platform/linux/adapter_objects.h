#pragma once

#include <vector>

#include "platform/adapter_records.h"
#include "platform/linux/link_facts.h"
#include "platform/linux/property_object.h"

namespace platform::linuxos {

// The class names the two queries answer with.
inline constexpr const char* kAdapterClass = "Win32_NetworkAdapter";
inline constexpr const char* kConfigurationClass = "Win32_NetworkAdapterConfiguration";

// Turn fetched facts into what the platform seams hand out. All three are
// pure: ordered by interface index, a link listed twice counts once, and
// addresses, routes or devices of links not in `facts.links` are ignored.

// One adapter object per link.
std::vector<PropertyObject> adapterObjects(const NetworkFacts& facts);

// One configuration object per link that is administratively up, with the
// host's facts `host` (those of `facts` in the first form).
std::vector<PropertyObject> configurationObjects(const NetworkFacts& facts, const HostFacts& host);
std::vector<PropertyObject> configurationObjects(const NetworkFacts& facts);

// One adapter-table entry per link except the loopback.
std::vector<AdapterRecordEntry> adapterRecordEntries(const NetworkFacts& facts);

// Whether the main table routes everywhere: a unicast default route, IPv4 or
// IPv6, through a gateway or straight out of a link (a tunnel's, say), that
// leaves through a link in `facts.links`.
bool hasDefaultRoute(const NetworkFacts& facts);

}  // namespace platform::linuxos
