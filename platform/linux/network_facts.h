#pragma once

#include "platform/linux/link_facts.h"
#include "platform/linux/system_paths.h"

namespace platform::linuxos {

// What a snapshot is taken for; each needs a different share of the facts.
enum class FactsFor {
  Adapters,        // links, speeds, devices
  Configurations,  // addresses, routes, links that are up, devices, host names and DNS
  AdapterTable,    // addresses, routes, links but the loopback, devices
};

// Takes one snapshot of the calling thread's network namespace: one dump each
// of addresses and routes (when needed), then of links, so every address and
// route kept belongs to a link that still existed at the end; then sysfs and
// the hardware database for the links kept. Raises toolkit::Error when the
// kernel cannot be asked at all.
NetworkFacts gatherNetworkFacts(const SystemPaths& paths, FactsFor purpose);

}  // namespace platform::linuxos
