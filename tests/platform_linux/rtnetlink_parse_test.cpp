#include "platform/linux/rtnetlink_parse.h"

#include <gtest/gtest.h>
#include <linux/if.h>
#include <linux/if_addr.h>
#include <linux/if_arp.h>
#include <linux/if_link.h>
#include <linux/rtnetlink.h>

#include <algorithm>

#include "tests/platform_linux/netlink_message.h"

namespace platform_linux_test {
namespace {

using platform::linuxos::parseAddressMessage;
using platform::linuxos::parseLinkMessage;
using platform::linuxos::parseRouteMessage;

const std::uint8_t kMac[6] = {0x02, 0xab, 0xcd, 0x00, 0x00, 0x01};
const std::uint8_t kPermanent[6] = {0x00, 0x1b, 0x21, 0x0a, 0x0b, 0x0c};

NetlinkMessage linkMessage(int index = 7, const std::string& name = "eth0") {
  ifinfomsg info{};
  info.ifi_family = AF_UNSPEC;
  info.ifi_index = index;
  info.ifi_type = ARPHRD_ETHER;
  info.ifi_flags = IFF_UP | IFF_LOWER_UP | IFF_BROADCAST;
  NetlinkMessage message(RTM_NEWLINK, info);
  message.text(IFLA_IFNAME, name).attribute(IFLA_ADDRESS, kMac, sizeof kMac);
  return message;
}

std::vector<std::uint8_t> addressMessage(int family, const void* local, const void* peer,
                                         std::uint32_t valid) {
  ifaddrmsg info{};
  info.ifa_family = static_cast<std::uint8_t>(family);
  info.ifa_prefixlen = family == AF_INET ? 24 : 64;
  info.ifa_index = 3;
  NetlinkMessage message(RTM_NEWADDR, info);
  const std::size_t size = family == AF_INET ? 4 : 16;
  if (peer != nullptr) message.attribute(IFA_ADDRESS, peer, size);
  if (local != nullptr) message.attribute(IFA_LOCAL, local, size);
  ifa_cacheinfo cache{};
  cache.ifa_valid = valid;
  cache.ifa_prefered = valid;
  message.attribute(IFA_CACHEINFO, &cache, sizeof cache);
  return message.bytes();
}

NetlinkMessage routeMessage(int family, std::uint8_t dstLength,
                            std::uint8_t table = RT_TABLE_MAIN) {
  rtmsg info{};
  info.rtm_family = static_cast<std::uint8_t>(family);
  info.rtm_dst_len = dstLength;
  info.rtm_table = table;
  info.rtm_type = RTN_UNICAST;
  return NetlinkMessage(RTM_NEWROUTE, info);
}

TEST(LinkMessage, ReadsEveryFact) {
  auto message = linkMessage();
  message.attribute(IFLA_PERM_ADDRESS, kPermanent, sizeof kPermanent)
      .u8(IFLA_OPERSTATE, IF_OPER_UP)
      .u8(IFLA_CARRIER, 1)
      .nested(IFLA_LINKINFO,
              NetlinkMessage::attributesOnly().text(IFLA_INFO_KIND, "veth").attributeBytes())
      .text(IFLA_PARENT_DEV_NAME, "0000:00:03.0")
      .text(IFLA_PARENT_DEV_BUS_NAME, "pci");
  const auto bytes = message.bytes();
  const auto link = parseLinkMessage(bytes.data(), bytes.size());
  ASSERT_TRUE(link);
  EXPECT_EQ(link->index, 7);
  EXPECT_EQ(link->name, "eth0");
  EXPECT_EQ(link->kind, "veth");
  EXPECT_EQ(link->arpType, ARPHRD_ETHER);
  EXPECT_EQ(link->flags, static_cast<std::uint32_t>(IFF_UP | IFF_LOWER_UP | IFF_BROADCAST));
  EXPECT_EQ(link->operState, IF_OPER_UP);
  EXPECT_TRUE(link->carrier);
  EXPECT_EQ(link->address, std::vector<std::uint8_t>(kMac, kMac + 6));
  EXPECT_EQ(link->permanentAddress, std::vector<std::uint8_t>(kPermanent, kPermanent + 6));
  EXPECT_EQ(link->parentBus, "pci");
  EXPECT_EQ(link->parentDevice, "0000:00:03.0");
}

TEST(LinkMessage, CarrierFallsBackOnTheFlags) {
  const auto bytes = linkMessage().bytes();
  const auto link = parseLinkMessage(bytes.data(), bytes.size());
  ASSERT_TRUE(link);
  EXPECT_TRUE(link->carrier);  // IFF_LOWER_UP
  EXPECT_TRUE(link->kind.empty());
  EXPECT_TRUE(link->permanentAddress.empty());
  EXPECT_TRUE(link->parentDevice.empty());
}

TEST(LinkMessage, RejectsWhatIsNotAWholeLink) {
  std::uint8_t longAddress[40] = {};
  const char unterminated[4] = {'e', 't', 'h', '0'};
  ifinfomsg noIndex{};
  struct Case {
    const char* what;
    std::vector<std::uint8_t> bytes;
  };
  std::vector<Case> cases = {
      {"no name", NetlinkMessage(RTM_NEWLINK, ifinfomsg{7, 0, 1, 0, 0, 0}).bytes()},
      {"index 0", NetlinkMessage(RTM_NEWLINK, noIndex).text(IFLA_IFNAME, "x").bytes()},
      {"empty name", linkMessage(7, "").bytes()},
      {"name without its NUL", NetlinkMessage(RTM_NEWLINK, ifinfomsg{0, 0, 1, 7, 0, 0})
                                   .attribute(IFLA_IFNAME, unterminated, sizeof unterminated)
                                   .bytes()},
      {"address over 32 bytes",
       linkMessage().attribute(IFLA_ADDRESS, longAddress, sizeof longAddress).bytes()},
      {"an address message", addressMessage(AF_INET, kMac, nullptr, 0)},
  };
  // A header that claims more than there is.
  auto cut = linkMessage().bytes();
  cut.resize(cut.size() - 4);
  cases.push_back({"cut short", cut});
  // An attribute that claims more than the message holds.
  auto overrun = linkMessage().bytes();
  overrun[32] = 0xff;  // the name attribute's length
  cases.push_back({"attribute overrun", overrun});
  for (const Case& c : cases) {
    EXPECT_FALSE(parseLinkMessage(c.bytes.data(), c.bytes.size())) << c.what;
  }
  EXPECT_FALSE(parseLinkMessage(nullptr, 0));
}

TEST(AddressMessage, ReadsTheLocalAddress) {
  const std::uint8_t local[4] = {192, 0, 2, 200}, peer[4] = {192, 0, 2, 201};
  const std::uint8_t v6[16] = {0x20, 0x01, 0x0d, 0xb8, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0x10};
  struct Case {
    const char* what;
    std::vector<std::uint8_t> bytes;
    std::string text;
    std::uint32_t valid;
  };
  const Case cases[] = {
      {"IPv4 with a peer", addressMessage(AF_INET, local, peer, 0xFFFFFFFF), "192.0.2.200",
       0xFFFFFFFF},
      {"IPv4 leased", addressMessage(AF_INET, local, local, 3600), "192.0.2.200", 3600},
      {"IPv6 sends IFA_ADDRESS alone", addressMessage(AF_INET6, nullptr, v6, 0xFFFFFFFF),
       "2001:db8::10", 0xFFFFFFFF},
  };
  for (const Case& c : cases) {
    const auto address = parseAddressMessage(c.bytes.data(), c.bytes.size());
    ASSERT_TRUE(address) << c.what;
    EXPECT_EQ(address->text, c.text) << c.what;
    EXPECT_EQ(address->validLifetime, c.valid) << c.what;
    EXPECT_EQ(address->index, 3) << c.what;
  }
}

TEST(AddressMessage, RejectsOddFamiliesAndSizes) {
  const std::uint8_t sixteen[16] = {};
  const std::vector<std::uint8_t> cases[] = {
      addressMessage(AF_PACKET, sixteen, nullptr, 0),
      addressMessage(AF_INET6, nullptr, nullptr, 0),
      NetlinkMessage(RTM_NEWADDR, ifaddrmsg{AF_INET, 24, 0, 0, 3})
          .attribute(IFA_LOCAL, sixteen, sizeof sixteen)
          .bytes(),
  };
  for (const auto& bytes : cases) EXPECT_FALSE(parseAddressMessage(bytes.data(), bytes.size()));
}

TEST(RouteMessage, KeepsDefaultRoutesOnly) {
  const std::uint8_t gateway[4] = {192, 0, 2, 1};
  const auto plain =
      routeMessage(AF_INET, 0).attribute(RTA_GATEWAY, gateway, 4).u32(RTA_OIF, 5).bytes();
  const auto route = parseRouteMessage(plain.data(), plain.size());
  ASSERT_TRUE(route);
  EXPECT_EQ(route->family, AF_INET);
  EXPECT_EQ(route->table, static_cast<std::uint32_t>(RT_TABLE_MAIN));
  EXPECT_EQ(route->type, RTN_UNICAST);
  ASSERT_EQ(route->hops.size(), 1u);
  EXPECT_EQ(route->hops[0].index, 5);
  EXPECT_EQ(route->hops[0].gateway, "192.0.2.1");

  const auto subnet = routeMessage(AF_INET, 24).u32(RTA_OIF, 5).bytes();
  EXPECT_FALSE(parseRouteMessage(subnet.data(), subnet.size()));

  // RTA_TABLE carries tables above 255.
  const auto other = routeMessage(AF_INET6, 0, RT_TABLE_COMPAT).u32(RTA_TABLE, 51820).bytes();
  const auto otherRoute = parseRouteMessage(other.data(), other.size());
  ASSERT_TRUE(otherRoute);
  EXPECT_EQ(otherRoute->table, 51820u);
  EXPECT_TRUE(otherRoute->hops.front().gateway.empty());
}

std::vector<std::uint8_t> hop(int index, const std::vector<std::uint8_t>& attributes) {
  rtnexthop header{};
  header.rtnh_len = static_cast<unsigned short>(sizeof header + attributes.size());
  header.rtnh_ifindex = index;
  // Sized once: GCC 12 at -O3 warns (-Warray-bounds) on an insert that grows the vector.
  std::vector<std::uint8_t> bytes(sizeof header + attributes.size());
  std::memcpy(bytes.data(), &header, sizeof header);
  std::copy(attributes.begin(), attributes.end(), bytes.begin() + sizeof header);
  return bytes;
}

TEST(RouteMessage, ReadsEveryHopOfAMultipathRoute) {
  const std::uint8_t first[16] = {0x20, 0x01, 0x0d, 0xb8, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 1};
  const std::uint8_t second[16] = {0x20, 0x01, 0x0d, 0xb8, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 2};
  auto hops =
      hop(4, NetlinkMessage::attributesOnly().attribute(RTA_GATEWAY, first, 16).attributeBytes());
  const auto more =
      hop(6, NetlinkMessage::attributesOnly().attribute(RTA_GATEWAY, second, 16).attributeBytes());
  hops.insert(hops.end(), more.begin(), more.end());
  const auto bare = hop(9, {});
  hops.insert(hops.end(), bare.begin(), bare.end());
  const auto bytes = routeMessage(AF_INET6, 0).nested(RTA_MULTIPATH, hops).bytes();
  const auto route = parseRouteMessage(bytes.data(), bytes.size());
  ASSERT_TRUE(route);
  ASSERT_EQ(route->hops.size(), 3u);
  EXPECT_EQ(route->hops[0].index, 4);
  EXPECT_EQ(route->hops[0].gateway, "2001:db8::1");
  EXPECT_EQ(route->hops[1].index, 6);
  EXPECT_EQ(route->hops[1].gateway, "2001:db8::2");
  EXPECT_EQ(route->hops[2].index, 9);
  EXPECT_EQ(route->hops[2].gateway, "");

  // A hop that claims more than the attribute holds ends the list there.
  auto broken = hops;
  broken[sizeof(rtnexthop) + 20] = 0xff;  // the second hop's length
  const auto brokenBytes = routeMessage(AF_INET6, 0).nested(RTA_MULTIPATH, broken).bytes();
  const auto partial = parseRouteMessage(brokenBytes.data(), brokenBytes.size());
  ASSERT_TRUE(partial);
  EXPECT_EQ(partial->hops.size(), 1u);
}

// A message cut anywhere short of the length its header gives is refused
// whole, never read as the part that arrived.
TEST(Messages, CutMessagesAreRefused) {
  const std::uint8_t gateway[4] = {192, 0, 2, 1};
  const auto linkBytes =
      linkMessage()
          .u8(IFLA_OPERSTATE, IF_OPER_UP)
          .nested(IFLA_LINKINFO,
                  NetlinkMessage::attributesOnly().text(IFLA_INFO_KIND, "bridge").attributeBytes())
          .bytes();
  const auto addressBytes = addressMessage(AF_INET, gateway, gateway, 60);
  const auto routeBytes = routeMessage(AF_INET, 0)
                              .nested(RTA_MULTIPATH, hop(2, NetlinkMessage::attributesOnly()
                                                                .attribute(RTA_GATEWAY, gateway, 4)
                                                                .attributeBytes()))
                              .bytes();
  ASSERT_TRUE(parseLinkMessage(linkBytes.data(), linkBytes.size()));
  ASSERT_TRUE(parseAddressMessage(addressBytes.data(), addressBytes.size()));
  ASSERT_TRUE(parseRouteMessage(routeBytes.data(), routeBytes.size()));
  for (std::size_t length = 0; length < linkBytes.size(); ++length) {
    EXPECT_FALSE(parseLinkMessage(linkBytes.data(), length)) << length;
  }
  for (std::size_t length = 0; length < addressBytes.size(); ++length) {
    EXPECT_FALSE(parseAddressMessage(addressBytes.data(), length)) << length;
  }
  for (std::size_t length = 0; length < routeBytes.size(); ++length) {
    EXPECT_FALSE(parseRouteMessage(routeBytes.data(), length)) << length;
  }
}

}  // namespace
}  // namespace platform_linux_test
