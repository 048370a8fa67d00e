#pragma once

#include <optional>
#include <string>

#include "platform/linux/link_facts.h"

namespace platform::linuxos {

// Reads what netlink lacks from sysfs: a link's speed, its bus device, the
// driver bound to it, and the modalias of the PCI or USB device it sits on.
// Only the hardware database lookup is left to the caller.
class SysfsDevices {
 public:
  explicit SysfsDevices(const std::string& root);

  // The device facts of `link`. sysfs shows the links of the namespace it was
  // mounted in, which need not be the caller's: a directory whose interface
  // index is not the link's belongs to another link, and gives no facts.
  // A link that vanished gives no facts either, never an error.
  DeviceFacts read(const LinkFacts& link, bool withSpeed) const;

  // The modalias of the nearest PCI or USB device at or above the device
  // directory `devicePath` (an absolute path inside the sysfs root).
  std::optional<std::string> busModalias(const std::string& devicePath) const;

 private:
  std::string root_;
};

// A sysfs number file's contents ("1000\n") as a value; none when the text
// is not a decimal number.
std::optional<long long> parseSysfsNumber(const std::string& text);

}  // namespace platform::linuxos
