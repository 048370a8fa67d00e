#include "platform/linux/adapter_objects.h"

#include <gtest/gtest.h>
#include <linux/if.h>
#include <linux/if_arp.h>
#include <linux/rtnetlink.h>

#include "tests/platform_linux/object_reading.h"

namespace platform_linux_test {
namespace {

using namespace platform::linuxos;
using platform::Null;
using platform::TextArray;
using platform::Variant;

LinkFacts link(int index, std::string name, std::uint32_t flags, std::string kind = "veth") {
  LinkFacts facts;
  facts.index = index;
  facts.name = std::move(name);
  facts.flags = flags;
  facts.kind = std::move(kind);
  facts.arpType = ARPHRD_ETHER;
  facts.operState = IF_OPER_UP;
  facts.carrier = true;
  facts.address = {0x02, 0, 0, 0, 0, static_cast<std::uint8_t>(index)};
  return facts;
}

AddressFacts address(int index, int family, std::string text, int prefix,
                     std::uint32_t valid = 0xFFFFFFFF) {
  return {index, family, std::move(text), static_cast<std::uint8_t>(prefix), valid};
}

RouteFacts defaultRoute(int family, std::vector<RouteFacts::Hop> hops,
                        std::uint32_t table = RT_TABLE_MAIN) {
  RouteFacts route;
  route.family = family;
  route.table = table;
  route.type = RTN_UNICAST;
  route.hops = std::move(hops);
  return route;
}

// A small machine: a loopback, two up links (listed out of order, one twice)
// and one down link, with addresses and routes in kernel order.
NetworkFacts machine() {
  NetworkFacts facts;
  LinkFacts loopback = link(1, "lo", IFF_UP | IFF_LOOPBACK, "");
  loopback.arpType = ARPHRD_LOOPBACK;
  loopback.address = {0, 0, 0, 0, 0, 0};
  facts.links = {link(4, "eth1", 0, ""), link(3, "veth0", IFF_UP), loopback,
                 link(2, "eth0", IFF_UP, ""), link(3, "veth0-again", IFF_UP)};
  facts.devices[2].hasBusDevice = true;
  facts.devices[2].driver = "e1000e";
  facts.devices[2].model = "82574L Gigabit Network Connection";
  facts.devices[2].vendor = "Intel Corporation";
  facts.devices[2].speedMbps = 1000;
  facts.devices[4].hasBusDevice = true;
  facts.devices[4].driver = "igb";
  facts.addresses = {
      address(1, AF_INET, "127.0.0.1", 8),
      address(2, AF_INET, "192.0.2.10", 24, 3600),
      address(3, AF_INET, "198.51.100.7", 25),
      address(2, AF_INET, "192.0.2.11", 24),
      address(9, AF_INET, "203.0.113.9", 24),  // a link that is gone
      address(1, AF_INET6, "::1", 128),
      address(2, AF_INET6, "2001:db8::10", 64),
      address(3, AF_INET6, "2001:db8:1::7", 48, 86400),
      address(2, AF_INET6, "fe80::1", 64),
  };
  facts.routes = {
      defaultRoute(AF_INET6, {{2, "2001:db8::1"}}),
      defaultRoute(AF_INET, {{2, "192.0.2.1"}}),
      defaultRoute(AF_INET, {{3, "198.51.100.1"}, {2, "192.0.2.254"}}),
      defaultRoute(AF_INET, {{3, ""}}),                      // no gateway
      defaultRoute(AF_INET, {{3, "198.51.100.99"}}, 51820),  // another table
  };
  RouteFacts unreachable = defaultRoute(AF_INET, {{3, "198.51.100.98"}});
  unreachable.type = RTN_UNREACHABLE;
  facts.routes.push_back(unreachable);
  facts.host.hostName = "tarnwick-host";
  facts.host.dnsServers = {"192.0.2.53"};
  facts.host.linkDnsServers[3] = {"198.51.100.53", "2001:db8::53"};
  return facts;
}

std::vector<Properties> read(const std::vector<PropertyObject>& objects,
                             const std::vector<std::string>& names) {
  std::vector<PropertyObject> copy = objects;
  return readObjects(PropertyObjectSet(std::move(copy)), names);
}

TEST(AdapterObjects, OnePerLinkInIndexOrder) {
  const auto adapters = read(adapterObjects(machine()), kAdapterNames);
  ASSERT_EQ(adapters.size(), 4u);
  const char* names[] = {"lo", "eth0", "veth0", "eth1"};
  for (std::size_t i = 0; i < adapters.size(); ++i) {
    EXPECT_EQ(adapters[i].at("Index"), Variant(static_cast<std::int32_t>(i + 1)));
    EXPECT_EQ(adapters[i].at("Name"), Variant(std::string(names[i])));
  }
  const auto& eth0 = adapters[1];
  EXPECT_EQ(eth0.at("Description"), Variant("82574L Gigabit Network Connection"));
  EXPECT_EQ(eth0.at("Manufacturer"), Variant("Intel Corporation"));
  EXPECT_EQ(eth0.at("ProductName"), Variant("82574L Gigabit Network Connection"));
  EXPECT_EQ(eth0.at("PhysicalAdapter"), Variant(true));
  EXPECT_EQ(eth0.at("Speed"), Variant("1000000000"));
  EXPECT_EQ(eth0.at("MACAddress"), Variant("02:00:00:00:00:02"));
  EXPECT_EQ(eth0.at("DeviceID"), Variant("2"));
  const auto& eth1 = adapters[3];
  EXPECT_EQ(eth1.at("Description"), Variant("igb Network Adapter"));
  EXPECT_EQ(eth1.at("Manufacturer"), Variant(Null{}));
  EXPECT_EQ(eth1.at("NetConnectionStatus"), Variant(0));
  EXPECT_EQ(eth1.at("NetEnabled"), Variant(false));
  EXPECT_EQ(eth1.at("Speed"), Variant(Null{}));
  EXPECT_EQ(adapters[0].at("MACAddress"), Variant(Null{}));
  EXPECT_EQ(adapters[0].at("AdapterType"), Variant(Null{}));
  EXPECT_EQ(adapters[2].at("PhysicalAdapter"), Variant(false));
  EXPECT_EQ(adapters[2].at("ServiceEnabled"), Variant(true));
}

TEST(AdapterObjects, ConfigurationsOfTheLinksThatAreUp) {
  const auto configurations = read(configurationObjects(machine()), kConfigurationNames);
  ASSERT_EQ(configurations.size(), 3u);  // eth1 is down
  const auto& lo = configurations[0];
  EXPECT_EQ(lo.at("IPAddress"), Variant(TextArray{"127.0.0.1", "::1"}));
  EXPECT_EQ(lo.at("IPSubnet"), Variant(TextArray{"255.0.0.0", "128"}));
  EXPECT_EQ(lo.at("DefaultIPGateway"), Variant(Null{}));

  const auto& eth0 = configurations[1];
  EXPECT_EQ(eth0.at("Index"), Variant(2));
  EXPECT_EQ(eth0.at("IPAddress"),
            Variant(TextArray{"192.0.2.10", "192.0.2.11", "2001:db8::10", "fe80::1"}));
  EXPECT_EQ(eth0.at("IPSubnet"), Variant(TextArray{"255.255.255.0", "255.255.255.0", "64", "64"}));
  EXPECT_EQ(eth0.at("DefaultIPGateway"),
            Variant(TextArray{"192.0.2.1", "192.0.2.254", "2001:db8::1"}));
  EXPECT_EQ(eth0.at("DHCPEnabled"), Variant(true));
  EXPECT_EQ(eth0.at("DNSServerSearchOrder"), Variant(TextArray{"192.0.2.53"}));
  EXPECT_EQ(eth0.at("DNSHostName"), Variant("tarnwick-host"));
  EXPECT_EQ(eth0.at("IPEnabled"), Variant(true));
  EXPECT_EQ(eth0.at("Description"), Variant("82574L Gigabit Network Connection"));

  const auto& veth = configurations[2];
  EXPECT_EQ(veth.at("DefaultIPGateway"), Variant(TextArray{"198.51.100.1"}));
  EXPECT_EQ(veth.at("DHCPEnabled"), Variant(false));  // only its IPv6 address is leased
  EXPECT_EQ(veth.at("DNSServerSearchOrder"), Variant(TextArray{"198.51.100.53", "2001:db8::53"}));
}

TEST(AdapterObjects, EmptyFactsAreNullNotEmpty) {
  NetworkFacts facts;
  facts.links = {link(6, "bare0", IFF_UP)};
  facts.links[0].address.clear();
  const auto configurations = read(configurationObjects(facts), kConfigurationNames);
  ASSERT_EQ(configurations.size(), 1u);
  for (const char* name : {"IPAddress", "IPSubnet", "DefaultIPGateway", "DNSHostName",
                           "DNSServerSearchOrder", "MACAddress"}) {
    EXPECT_EQ(configurations[0].at(name), Variant(Null{})) << name;
  }
  EXPECT_EQ(configurations[0].at("DHCPEnabled"), Variant(false));
}

TEST(AdapterObjects, PropertyNamesIgnoreCaseAndUnknownOnesAreErrors) {
  const auto objects = configurationObjects(machine());
  const PropertyObject& eth0 = objects[1];
  EXPECT_EQ(eth0.property("IpAddress"), eth0.property("IPADDRESS"));
  EXPECT_EQ(eth0.property("settingid"), eth0.property("SettingID"));
  // Each class answers its own names only.
  for (const char* name : {"Speed", "Name", "", "IPAddresses"}) {
    try {
      eth0.property(name);
      ADD_FAILURE() << name << " was answered";
    } catch (const basics::Error& error) {
      EXPECT_EQ(error.number(), platform::kNotFound) << name;
    }
  }
  EXPECT_THROW(adapterObjects(machine())[0].property("IPAddress"), basics::Error);
}

TEST(AdapterObjects, TableEntriesForEveryLinkButTheLoopback) {
  const auto entries = adapterRecordEntries(machine());
  ASSERT_EQ(entries.size(), 3u);
  EXPECT_EQ(entries[0].name, "eth0");
  EXPECT_EQ(entries[0].index, 2);
  EXPECT_EQ(entries[0].description, "82574L Gigabit Network Connection");
  EXPECT_EQ(entries[0].ipAddress, "192.0.2.10");
  EXPECT_EQ(entries[0].ipMask, "255.255.255.0");
  EXPECT_EQ(entries[0].gateway, "192.0.2.1");
  EXPECT_TRUE(entries[0].dhcpEnabled);
  EXPECT_EQ(entries[0].type, 6u);
  EXPECT_EQ(entries[1].name, "veth0");
  EXPECT_EQ(entries[1].gateway, "198.51.100.1");
  EXPECT_EQ(entries[2].name, "eth1");
  EXPECT_EQ(entries[2].ipAddress, "0.0.0.0");
  EXPECT_EQ(entries[2].gateway, "0.0.0.0");
  EXPECT_FALSE(entries[2].dhcpEnabled);
}

}  // namespace
}  // namespace platform_linux_test
