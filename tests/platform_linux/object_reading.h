#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "platform/adapter_table.h"
#include "platform/management_objects.h"

namespace platform_linux_test {

// A query's objects with the named properties read out, in enumeration order.
using Properties = std::map<std::string, platform::Variant>;
std::vector<Properties> readObjects(const platform::ObjectSet& set,
                                    const std::vector<std::string>& names);

// The platform's own management service (defined with the platform's tests).
std::unique_ptr<platform::ManagementLocator> platformLocator();

// Binds the platform's own service and runs one of the two queries.
std::vector<Properties> query(std::string_view text, const std::vector<std::string>& names);

inline const std::vector<std::string> kAdapterNames = {"Index",
                                                       "Name",
                                                       "Description",
                                                       "MACAddress",
                                                       "Manufacturer",
                                                       "ProductName",
                                                       "PhysicalAdapter",
                                                       "AdapterType",
                                                       "Speed",
                                                       "NetConnectionStatus",
                                                       "ServiceEnabled",
                                                       "NetEnabled",
                                                       "DeviceID",
                                                       "NetConnectionID",
                                                       "GUID"};
inline const std::vector<std::string> kConfigurationNames = {
    "Index",       "Description", "SettingID",
    "IPAddress",   "IPSubnet",    "DefaultIPGateway",
    "DHCPEnabled", "DNSHostName", "DNSServerSearchOrder",
    "IPEnabled",   "MACAddress"};

// What a test reads back from one record of an adapter chain.
struct RecordView {
  std::uint32_t offset = 0;
  std::uint32_t next = 0;
  std::int32_t index = 0;
  std::uint32_t type = 0;
  std::uint32_t dhcp = 0;
  std::string name, description, ipAddress, ipMask, gateway;
  std::vector<std::uint8_t> hardwareAddress;
};

// Follows a chain from offset 0. A link that leaves the buffer or does not
// lead forward fails the test and ends the walk.
std::vector<RecordView> readChain(const std::vector<std::uint8_t>& buffer);

// Runs the two-call protocol on a table and returns the filled buffer.
std::vector<std::uint8_t> fetchTable(platform::AdapterTable& table, std::uint32_t* status);

// "a, b, c" for messages.
std::string joined(const platform::Variant& value);

}  // namespace platform_linux_test
