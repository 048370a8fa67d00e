#pragma once

#include <string>

struct udev;
struct udev_hwdb;

namespace platform::linuxos {

// Vendor and model names of a device, empty when the database has none.
struct HardwareNames {
  std::string vendor;
  std::string model;
};

// The system's hardware database (the compiled one udev keeps), read through
// libudev; no udev daemon is needed. Without a database every lookup gives
// empty names.
class HardwareDatabase {
 public:
  HardwareDatabase();
  ~HardwareDatabase();
  HardwareDatabase(const HardwareDatabase&) = delete;
  HardwareDatabase& operator=(const HardwareDatabase&) = delete;

  bool available() const { return hwdb_ != nullptr; }
  // Names for a device's modalias ("pci:v00008086d000010D3sv...").
  HardwareNames lookup(const std::string& modalias) const;

 private:
  udev* udev_ = nullptr;
  udev_hwdb* hwdb_ = nullptr;
};

}  // namespace platform::linuxos
