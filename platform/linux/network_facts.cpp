#include "platform/linux/network_facts.h"

#include <linux/if.h>
#include <sys/utsname.h>
#include <unistd.h>

#include <climits>
#include <optional>

#include "platform/linux/adapter_properties.h"
#include "platform/linux/hardware_database.h"
#include "platform/linux/link_speeds.h"
#include "platform/linux/netlink_dump.h"
#include "platform/linux/resolver_files.h"
#include "platform/linux/sysfs_devices.h"

namespace platform::linuxos {
namespace {

std::string hostName() {
  char name[HOST_NAME_MAX + 1] = {};
  if (gethostname(name, sizeof name - 1) != 0) return {};
  return name;
}

bool parentsReported() {
  utsname system{};
  return uname(&system) == 0 && kernelReportsParents(system.release);
}

}  // namespace

NetworkFacts gatherNetworkFacts(const SystemPaths& paths) {
  NetworkFacts facts;
  {
    NetlinkDump dump;
    facts.addresses = dump.addresses();
    facts.routes = dump.routes();
    facts.links = dump.links();
  }

  const SysfsDevices sysfs(paths.sysfs);
  const bool parents = parentsReported();
  LinkSpeeds speeds;
  // Opened only when some link sits on a bus device: most snapshots of
  // virtual links never need it.
  std::optional<HardwareDatabase> names;
  for (const LinkFacts& link : facts.links) {
    if (isLoopback(link)) continue;  // no device, no speed; its description is fixed
    DeviceFacts device = sysfs.read(link, parents);
    // A link that is down has no speed, as sysfs has it.
    if ((link.flags & IFF_UP) != 0) device.speedMbps = speeds.megabits(link.name);
    if (!device.modalias.empty()) {
      if (!names) names.emplace();
      HardwareNames found = names->lookup(device.modalias);
      device.vendor = std::move(found.vendor);
      device.model = std::move(found.model);
    }
    facts.devices.emplace(link.index, std::move(device));
  }
  return facts;
}

HostFacts gatherHostFacts(const SystemPaths& paths) {
  HostFacts host;
  host.hostName = hostName();
  readDnsServers(paths, host);
  return host;
}

}  // namespace platform::linuxos
