#pragma once

#include <cstdint>
#include <string>

namespace reports {

// One adapter of the "Adapter Info" window. Every text is display-ready: the
// value to show or its fixed fallback. Flags are -1 (true) or 0 (false).
// A fresh record holds empty texts, 0 and false.
struct AdapterInventoryRecord {
  std::string Description;
  std::int32_t Index = 0;
  std::string Name;
  std::string IPAddress;
  std::string Gateway;
  std::string MACAddress;
  std::int16_t DHCPEnabled = 0;
  std::string DNSHostName;
  std::string DNSServers;
  std::string SubnetMask;
  std::string Manufacturer;
  std::string ProductName;
  std::string Speed;
  std::string ConnectionStatus;
  std::int16_t ServiceEnabled = 0;
  std::int16_t PhysicalAdapter = 0;
  std::string AdapterType;

  bool operator==(const AdapterInventoryRecord&) const = default;
};

constexpr std::int16_t kTrue = -1;
constexpr std::int16_t kFalse = 0;
inline std::int16_t flagOf(bool value) {
  return value ? kTrue : kFalse;
}

}  // namespace reports
