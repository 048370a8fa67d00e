#pragma once

#include <optional>
#include <string>

#include "platform/linux/link_facts.h"

namespace platform::linuxos {

// Reads what netlink lacks from sysfs: the driver bound to a link's bus
// device and the modalias of the PCI or USB device it sits on (the hardware
// database's key), and whether it is a Wi-Fi adapter.
class SysfsDevices {
 public:
  explicit SysfsDevices(const std::string& root);

  // The device facts of `link`, speed and names aside. When the kernel names
  // links' parent devices (`parentsReported`), a link without one has no bus
  // device and costs no file access; otherwise the link's class directory is
  // asked. sysfs shows the links of the namespace it was mounted in, which
  // need not be the caller's: a class directory whose interface index is not
  // the link's belongs to another link and gives no facts. A link that
  // vanished gives no facts either, never an error.
  DeviceFacts read(const LinkFacts& link, bool parentsReported) const;

  // The modalias of the nearest PCI or USB device at or above the device
  // directory `devicePath` (an absolute, resolved path inside the root).
  std::optional<std::string> busModalias(const std::string& devicePath) const;

 private:
  void readBusDevice(const std::string& devicePath, DeviceFacts& facts) const;
  // An open descriptor of the link's class directory when it is this link's
  // (sysfs may show another namespace's link of the same name), else -1.
  int classDirectory(const LinkFacts& link) const;

  std::string root_;
};

// A sysfs number file's contents ("1000\n") as a value; none when the text
// is not a decimal number.
std::optional<long long> parseSysfsNumber(const std::string& text);

// Whether a kernel of this release ("6.1.0-13-amd64") names links' parent
// devices in its link dumps (5.16 and later).
bool kernelReportsParents(const std::string& release);

}  // namespace platform::linuxos
