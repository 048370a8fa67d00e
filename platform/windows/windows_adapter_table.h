#pragma once

#include "platform/adapter_table.h"

namespace platform::windows {

// The adapter table from the system's GetAdaptersInfo, re-encoded into the
// program's fixed record image (the system's own 64-bit records hold
// pointers). Each call asks the system afresh; the size a caller is told is
// the size of the records, and the system's statuses (87, 232, any other
// with its last-error code) pass through unchanged.
class WindowsAdapterTable : public AdapterTable {
 public:
  std::uint32_t getAdaptersInfo(std::uint8_t* buffer, std::uint32_t* size) override;
  std::int32_t lastError() const override { return lastError_; }
  // From the IP Helper's routing table, IPv4 and IPv6 alike.
  std::optional<bool> hasDefaultRoute() override;

 private:
  std::int32_t lastError_ = 0;
};

}  // namespace platform::windows
