#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace platform::linuxos {

// Plain facts about the network, as fetched from the kernel and the system.
// Fetching fills them; the property builders only read them, so they can be
// fed recorded or made-up facts without a kernel.

// One link of the link dump.
struct LinkFacts {
  std::int32_t index = 0;
  std::string name;
  std::string kind;            // the link's kind ("veth", "bridge", "tun"); empty for hardware
  std::uint32_t flags = 0;     // IFF_* interface flags
  std::uint8_t operState = 0;  // IF_OPER_*
  bool carrier = false;
  std::uint16_t arpType = 0;  // ARPHRD_*
  std::vector<std::uint8_t> address;
  std::vector<std::uint8_t> permanentAddress;  // empty when the kernel reports none
  std::string parentBus;     // the bus device the kernel names ("pci", "usb", "virtio")
  std::string parentDevice;  // and its name on that bus ("0000:00:03.0"); empty for none
};

// One address of the address dump.
struct AddressFacts {
  std::int32_t index = 0;  // interface index
  int family = 0;          // AF_INET or AF_INET6
  std::string text;        // the local address, "192.0.2.1" or "2001:db8::1"
  std::uint8_t prefixLength = 0;
  std::uint32_t validLifetime = 0xFFFFFFFF;  // seconds; all ones means forever
};

// One route of the route dump, reduced to what the gateways need.
struct RouteFacts {
  struct Hop {
    std::int32_t index = 0;  // outgoing interface
    std::string gateway;     // empty when the hop has none
  };
  int family = 0;
  std::uint32_t table = 0;
  std::uint8_t type = 0;       // RTN_*
  std::uint8_t dstLength = 0;  // 0 for a default route
  std::vector<Hop> hops;
};

// What sysfs and the hardware database say about a link's device.
struct DeviceFacts {
  bool hasBusDevice = false;
  bool wireless = false;                   // an IEEE 802.11 (Wi-Fi) adapter
  std::string driver;                      // empty when no driver is bound
  std::optional<std::uint64_t> speedMbps;  // none when the kernel reports none
  std::string vendor;                      // hardware database names, empty when unknown
  std::string model;
  std::string modalias;  // of the PCI or USB device, the hardware database's key
};

// Facts about the host that every configuration shares.
struct HostFacts {
  std::string hostName;
  std::vector<std::string> dnsServers;                              // the system-wide list
  std::map<std::int32_t, std::vector<std::string>> linkDnsServers;  // by interface index
};

}  // namespace platform::linuxos

namespace platform::linuxos {

// Everything one query is built from: the three dumps, the device facts of
// the links (by interface index) and the host's facts.
struct NetworkFacts {
  std::vector<LinkFacts> links;
  std::vector<AddressFacts> addresses;
  std::vector<RouteFacts> routes;
  std::map<std::int32_t, DeviceFacts> devices;
  HostFacts host;
};

}  // namespace platform::linuxos
