#pragma once

#include "platform/linux/link_facts.h"
#include "platform/linux/system_paths.h"

namespace platform::linuxos {

// Takes one snapshot of the calling thread's network namespace, enough for
// every query the services answer: one dump each of addresses and routes,
// then of links, so every address and route kept belongs to a link that
// still existed at the end; then sysfs and the hardware database for every
// link but the loopback, and the speeds of the links that are up. The host's
// facts are left empty (gatherHostFacts reads them). Raises basics::Error
// when the kernel cannot be asked at all.
NetworkFacts gatherNetworkFacts(const SystemPaths& paths);

// The host name and the DNS servers, read afresh: they change without a word
// from the kernel.
HostFacts gatherHostFacts(const SystemPaths& paths);

}  // namespace platform::linuxos
