#include "platform/linux/hardware_database.h"

#include <libudev.h>

#include <cstring>

namespace platform::linuxos {

HardwareDatabase::HardwareDatabase() {
  udev_ = udev_new();
  if (udev_ != nullptr) hwdb_ = udev_hwdb_new(udev_);
}

HardwareDatabase::~HardwareDatabase() {
  if (hwdb_ != nullptr) udev_hwdb_unref(hwdb_);
  if (udev_ != nullptr) udev_unref(udev_);
}

HardwareNames HardwareDatabase::lookup(const std::string& modalias) const {
  HardwareNames names;
  if (hwdb_ == nullptr || modalias.empty()) return names;
  udev_list_entry* entry = nullptr;
  udev_list_entry_foreach(entry, udev_hwdb_get_properties_list_entry(hwdb_, modalias.c_str(), 0)) {
    const char* key = udev_list_entry_get_name(entry);
    const char* value = udev_list_entry_get_value(entry);
    if (key == nullptr || value == nullptr) continue;
    if (std::strcmp(key, "ID_VENDOR_FROM_DATABASE") == 0) names.vendor = value;
    if (std::strcmp(key, "ID_MODEL_FROM_DATABASE") == 0) names.model = value;
  }
  return names;
}

}  // namespace platform::linuxos
