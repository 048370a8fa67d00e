#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "platform/linux/link_facts.h"
#include "platform/linux/system_paths.h"

namespace platform::linuxos {

// The name servers a resolv.conf names, in file order.
std::vector<std::string> parseResolvConf(std::string_view text);

// The servers systemd-resolved keeps for one link (its runtime state file's
// SERVERS= line), as bare addresses: ports, scopes and server names dropped,
// anything that is not an address left out.
std::vector<std::string> parseResolvedLinkServers(std::string_view text);

// Fills the host's DNS server lists: the system-wide one from resolv.conf
// (resolved's upstream list when resolv.conf names only its local stub), and
// each link's own from resolved's runtime state. Missing files give empty lists.
void readDnsServers(const SystemPaths& paths, HostFacts& host);

}  // namespace platform::linuxos
