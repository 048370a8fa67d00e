#include "platform/linux/adapter_properties.h"

#include <gtest/gtest.h>
#include <linux/if.h>
#include <linux/if_arp.h>

namespace platform_linux_test {
namespace {

using namespace platform::linuxos;

LinkFacts link(std::string kind, std::uint16_t arpType, std::uint32_t flags = IFF_UP) {
  LinkFacts facts;
  facts.index = 5;
  facts.name = "x0";
  facts.kind = std::move(kind);
  facts.arpType = arpType;
  facts.flags = flags;
  return facts;
}

DeviceFacts busDevice(std::string driver, std::string model = "", std::string vendor = "") {
  DeviceFacts device;
  device.hasBusDevice = true;
  device.driver = std::move(driver);
  device.model = std::move(model);
  device.vendor = std::move(vendor);
  return device;
}

TEST(AdapterProperties, Description) {
  struct Case {
    LinkFacts link;
    DeviceFacts device;
    const char* expected;
  };
  const Case cases[] = {
      {link("", ARPHRD_LOOPBACK, IFF_UP | IFF_LOOPBACK), {}, "Software Loopback Interface 1"},
      {link("", ARPHRD_ETHER), busDevice("e1000e", "82574L Gigabit Network Connection"),
       "82574L Gigabit Network Connection"},
      {link("", ARPHRD_ETHER), busDevice("r8169"), "r8169 Network Adapter"},
      {link("", ARPHRD_ETHER), busDevice(""), "Network Adapter"},
      {link("veth", ARPHRD_ETHER), {}, "Virtual veth Adapter"},
      {link("bridge", ARPHRD_ETHER), {}, "Virtual bridge Adapter"},
      {link("macvlan", ARPHRD_ETHER), {}, "Virtual macvlan Adapter"},
      {link("vxlan", ARPHRD_ETHER), {}, "Virtual vxlan Adapter"},
      {link("ifb", ARPHRD_ETHER), {}, "Virtual ifb Adapter"},
      {link("tun", ARPHRD_NONE, IFF_UP | IFF_POINTOPOINT), {}, "VPN Tunnel Adapter (tun)"},
      {link("tun", ARPHRD_ETHER), {}, "VPN Tunnel Adapter (tap)"},
      {link("wireguard", ARPHRD_NONE), {}, "VPN Tunnel Adapter (wireguard)"},
      {link("", ARPHRD_PPP, IFF_UP | IFF_POINTOPOINT), {}, "VPN Tunnel Adapter (ppp)"},
      {link("", ARPHRD_ETHER), {}, "Virtual Network Adapter"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(description(c.link, c.device), c.expected) << c.link.kind << "/" << c.link.arpType;
  }
}

TEST(AdapterProperties, AdapterType) {
  struct Case {
    LinkFacts link;
    std::optional<std::string> expected;
  };
  const Case cases[] = {
      {link("", ARPHRD_LOOPBACK, IFF_UP | IFF_LOOPBACK), std::nullopt},
      {link("", ARPHRD_ETHER), "Ethernet 802.3"},
      {link("tun", ARPHRD_ETHER), "Ethernet 802.3"},  // a tap carries Ethernet frames
      {link("", ARPHRD_IEEE80211_RADIOTAP), "Ethernet 802.3"},
      {link("", ARPHRD_PPP, IFF_UP | IFF_POINTOPOINT), "Wide Area Network (WAN)"},
      {link("tun", ARPHRD_NONE, IFF_UP | IFF_POINTOPOINT), "Tunnel"},
      {link("wireguard", ARPHRD_NONE), "Tunnel"},
      {link("gre", ARPHRD_IPGRE), "Tunnel"},
      {link("sit", ARPHRD_SIT), "Tunnel"},
      {link("", ARPHRD_SLIP, IFF_UP | IFF_POINTOPOINT), "Wide Area Network (WAN)"},
      {link("", ARPHRD_INFINIBAND), std::nullopt},
  };
  for (const Case& c : cases) EXPECT_EQ(adapterType(c.link), c.expected) << c.link.arpType;
}

TEST(AdapterProperties, ConnectionStatus) {
  struct Case {
    std::uint32_t flags;
    std::uint8_t operState;
    bool carrier;
    std::optional<std::int32_t> expected;
  };
  const Case cases[] = {
      {0, IF_OPER_DOWN, false, 0},  // administratively down
      {0, IF_OPER_UP, true, 0},     // down wins over a stale state
      {IFF_UP, IF_OPER_UP, true, 2},
      {IFF_UP, IF_OPER_UNKNOWN, true, 2},  // loopback, tun with a reader
      {IFF_UP, IF_OPER_UNKNOWN, false, 7},
      {IFF_UP, IF_OPER_DOWN, false, 7},  // cable out
      {IFF_UP, IF_OPER_LOWERLAYERDOWN, false, 7},
      {IFF_UP, IF_OPER_DORMANT, true, 8},  // waiting for 802.1X
      {IFF_UP, IF_OPER_NOTPRESENT, false, 4},
      {IFF_UP, IF_OPER_TESTING, true, std::nullopt},
      {IFF_UP, IF_OPER_DOWN, true, std::nullopt},
      {IFF_UP, 42, true, std::nullopt},
  };
  for (const Case& c : cases) {
    LinkFacts facts = link("", ARPHRD_ETHER, c.flags);
    facts.operState = c.operState;
    facts.carrier = c.carrier;
    EXPECT_EQ(connectionStatus(facts), c.expected)
        << c.flags << "/" << int(c.operState) << "/" << c.carrier;
  }
}

TEST(AdapterProperties, Texts) {
  EXPECT_EQ(hardwareAddressText({0x02, 0xab, 0xcd, 0x00, 0x0f, 0xff}), "02:AB:CD:00:0F:FF");
  EXPECT_EQ(hardwareAddressText({0, 0, 0, 0, 0, 0}), "");
  EXPECT_EQ(hardwareAddressText({}), "");
  EXPECT_EQ(hardwareAddressText({192, 0, 2, 1}), "C0:00:02:01");  // an ipip tunnel's

  EXPECT_EQ(maskText(AF_INET, 24), "255.255.255.0");
  EXPECT_EQ(maskText(AF_INET, 0), "0.0.0.0");
  EXPECT_EQ(maskText(AF_INET, 32), "255.255.255.255");
  EXPECT_EQ(maskText(AF_INET, 25), "255.255.255.128");
  EXPECT_EQ(maskText(AF_INET, 200), "255.255.255.255");
  EXPECT_EQ(maskText(AF_INET6, 64), "64");
  EXPECT_EQ(maskText(AF_INET6, 128), "128");

  DeviceFacts device;
  EXPECT_EQ(speedText(device), std::nullopt);
  device.speedMbps = 0;
  EXPECT_EQ(speedText(device), std::nullopt);
  device.speedMbps = 100;
  EXPECT_EQ(speedText(device), "100000000");
  device.speedMbps = 400000;
  EXPECT_EQ(speedText(device), "400000000000");
}

TEST(AdapterProperties, ServiceAndInterfaceType) {
  EXPECT_TRUE(serviceEnabled(DeviceFacts{}));  // software needs no driver
  EXPECT_TRUE(serviceEnabled(busDevice("e1000e")));
  EXPECT_FALSE(serviceEnabled(busDevice("")));

  DeviceFacts wifi = busDevice("iwlwifi");
  wifi.wireless = true;
  EXPECT_EQ(interfaceType(link("", ARPHRD_ETHER), wifi), 71u);
  EXPECT_EQ(interfaceType(link("", ARPHRD_ETHER), {}), 6u);
  EXPECT_EQ(interfaceType(link("", ARPHRD_LOOPBACK, IFF_LOOPBACK), {}), 24u);
  EXPECT_EQ(interfaceType(link("", ARPHRD_PPP), {}), 23u);
  EXPECT_EQ(interfaceType(link("tun", ARPHRD_NONE), {}), 131u);
  EXPECT_EQ(interfaceType(link("", ARPHRD_INFINIBAND), {}), 1u);
}

}  // namespace
}  // namespace platform_linux_test
