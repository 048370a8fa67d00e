#pragma once

#include <string>

namespace platform::linuxos {

// Where the facts that netlink lacks are read from. Tests point these at
// recorded trees; the program uses the defaults.
struct SystemPaths {
  std::string sysfs = "/sys";
  std::string resolvConf = "/etc/resolv.conf";
  std::string resolvedState = "/run/systemd/resolve";  // resolv.conf and netif/<index>
};

}  // namespace platform::linuxos
