#include "platform/linux/rtnetlink_parse.h"

#include <arpa/inet.h>
#include <linux/if.h>
#include <linux/if_addr.h>
#include <linux/if_link.h>
#include <linux/rtnetlink.h>
#include <netlink/attr.h>
#include <netlink/msg.h>

#include <array>
#include <cstring>

namespace platform::linuxos {
namespace {

// The longest hardware address kept (InfiniBand's is 20 bytes).
constexpr std::size_t kMaxHardwareAddress = 32;

template <std::size_t N>
using Policy = std::array<nla_policy, N>;

Policy<IFLA_MAX + 1> linkPolicy() {
  Policy<IFLA_MAX + 1> p{};
  p[IFLA_IFNAME] = {NLA_STRING, 0, IFNAMSIZ};
  p[IFLA_ADDRESS] = {NLA_UNSPEC, 0, kMaxHardwareAddress};
  p[IFLA_PERM_ADDRESS] = {NLA_UNSPEC, 0, kMaxHardwareAddress};
  p[IFLA_OPERSTATE] = {NLA_U8, 0, 0};
  p[IFLA_CARRIER] = {NLA_U8, 0, 0};
  p[IFLA_LINKINFO] = {NLA_NESTED, 0, 0};
  p[IFLA_PARENT_DEV_NAME] = {NLA_STRING, 0, 0};
  p[IFLA_PARENT_DEV_BUS_NAME] = {NLA_STRING, 0, 0};
  return p;
}

Policy<IFLA_INFO_MAX + 1> linkInfoPolicy() {
  Policy<IFLA_INFO_MAX + 1> p{};
  p[IFLA_INFO_KIND] = {NLA_STRING, 0, 0};
  return p;
}

Policy<IFA_MAX + 1> addressPolicy() {
  Policy<IFA_MAX + 1> p{};
  p[IFA_ADDRESS] = {NLA_UNSPEC, 4, 16};
  p[IFA_LOCAL] = {NLA_UNSPEC, 4, 16};
  p[IFA_CACHEINFO] = {NLA_UNSPEC, sizeof(ifa_cacheinfo), 0};
  return p;
}

Policy<RTA_MAX + 1> routePolicy() {
  Policy<RTA_MAX + 1> p{};
  p[RTA_TABLE] = {NLA_U32, 0, 0};
  p[RTA_OIF] = {NLA_U32, 0, 0};
  p[RTA_GATEWAY] = {NLA_UNSPEC, 4, 16};
  p[RTA_MULTIPATH] = {NLA_UNSPEC, 0, 0};
  return p;
}

const auto kLinkPolicy = linkPolicy();
const auto kLinkInfoPolicy = linkInfoPolicy();
const auto kAddressPolicy = addressPolicy();
const auto kRoutePolicy = routePolicy();

// The message's header when it is whole, of `type`, and long enough for its
// fixed part; null otherwise.
nlmsghdr* checkedHeader(const void* message, std::size_t length, std::uint16_t type,
                        std::size_t fixedPart) {
  if (message == nullptr || length < sizeof(nlmsghdr)) return nullptr;
  if (reinterpret_cast<std::uintptr_t>(message) % alignof(nlmsghdr) != 0) return nullptr;
  // libnl's parsers take a mutable header but never write through it.
  auto* header = static_cast<nlmsghdr*>(const_cast<void*>(message));
  if (header->nlmsg_type != type || header->nlmsg_len > length) return nullptr;
  if (header->nlmsg_len < NLMSG_LENGTH(fixedPart)) return nullptr;
  return header;
}

std::string addressText(int family, const nlattr* attribute) {
  const auto length = static_cast<std::size_t>(nla_len(attribute));
  if ((family == AF_INET && length != 4) || (family == AF_INET6 && length != 16)) return {};
  char text[INET6_ADDRSTRLEN] = {};
  if (inet_ntop(family, nla_data(attribute), text, sizeof text) == nullptr) return {};
  return text;
}

std::vector<std::uint8_t> bytesOf(const nlattr* attribute) {
  const auto* data = static_cast<const std::uint8_t*>(nla_data(attribute));
  return std::vector<std::uint8_t>(data, data + nla_len(attribute));
}

std::string textOf(const nlattr* attribute) {
  return nla_get_string(const_cast<nlattr*>(attribute));
}

// The hops of an RTA_MULTIPATH attribute; each record is length-checked
// against what is left before it is read.
void readMultipath(int family, const nlattr* multipath, std::vector<RouteFacts::Hop>& hops) {
  const auto* cursor = static_cast<const std::uint8_t*>(nla_data(multipath));
  std::size_t left = static_cast<std::size_t>(nla_len(multipath));
  while (left >= sizeof(rtnexthop)) {
    rtnexthop hop;
    std::memcpy(&hop, cursor, sizeof hop);
    if (hop.rtnh_len < sizeof(rtnexthop) || hop.rtnh_len > left) break;
    RouteFacts::Hop out;
    out.index = hop.rtnh_ifindex;
    const std::size_t attributesLength = hop.rtnh_len - RTNH_LENGTH(0);
    if (attributesLength > 0) {
      std::array<nlattr*, RTA_MAX + 1> attributes{};
      auto* head = reinterpret_cast<nlattr*>(const_cast<std::uint8_t*>(cursor) + RTNH_LENGTH(0));
      if (nla_parse(attributes.data(), RTA_MAX, head, static_cast<int>(attributesLength),
                    const_cast<nla_policy*>(kRoutePolicy.data())) == 0 &&
          attributes[RTA_GATEWAY] != nullptr) {
        out.gateway = addressText(family, attributes[RTA_GATEWAY]);
      }
    }
    hops.push_back(std::move(out));
    const std::size_t step = RTNH_ALIGN(hop.rtnh_len);
    if (step >= left) break;
    cursor += step;
    left -= step;
  }
}

}  // namespace

std::optional<LinkFacts> parseLinkMessage(const void* message, std::size_t length) {
  nlmsghdr* header = checkedHeader(message, length, RTM_NEWLINK, sizeof(ifinfomsg));
  if (header == nullptr) return std::nullopt;
  std::array<nlattr*, IFLA_MAX + 1> attributes{};
  if (nlmsg_parse(header, sizeof(ifinfomsg), attributes.data(), IFLA_MAX,
                  const_cast<nla_policy*>(kLinkPolicy.data())) != 0) {
    return std::nullopt;
  }
  const auto* info = static_cast<const ifinfomsg*>(nlmsg_data(header));
  if (info->ifi_index <= 0 || attributes[IFLA_IFNAME] == nullptr) return std::nullopt;

  LinkFacts link;
  link.index = info->ifi_index;
  link.flags = info->ifi_flags;
  link.arpType = info->ifi_type;
  link.name = textOf(attributes[IFLA_IFNAME]);
  if (link.name.empty()) return std::nullopt;
  if (attributes[IFLA_ADDRESS]) link.address = bytesOf(attributes[IFLA_ADDRESS]);
  if (attributes[IFLA_PERM_ADDRESS]) link.permanentAddress = bytesOf(attributes[IFLA_PERM_ADDRESS]);
  if (attributes[IFLA_OPERSTATE]) link.operState = nla_get_u8(attributes[IFLA_OPERSTATE]);
  // Kernels too old to report the carrier report it in the flags.
  link.carrier = attributes[IFLA_CARRIER] ? nla_get_u8(attributes[IFLA_CARRIER]) != 0
                                          : (link.flags & IFF_LOWER_UP) != 0;
  if (attributes[IFLA_LINKINFO]) {
    std::array<nlattr*, IFLA_INFO_MAX + 1> info{};
    if (nla_parse_nested(info.data(), IFLA_INFO_MAX, attributes[IFLA_LINKINFO],
                         const_cast<nla_policy*>(kLinkInfoPolicy.data())) == 0 &&
        info[IFLA_INFO_KIND] != nullptr) {
      link.kind = textOf(info[IFLA_INFO_KIND]);
    }
  }
  if (attributes[IFLA_PARENT_DEV_NAME] && attributes[IFLA_PARENT_DEV_BUS_NAME]) {
    link.parentDevice = textOf(attributes[IFLA_PARENT_DEV_NAME]);
    link.parentBus = textOf(attributes[IFLA_PARENT_DEV_BUS_NAME]);
  }
  return link;
}

std::optional<AddressFacts> parseAddressMessage(const void* message, std::size_t length) {
  nlmsghdr* header = checkedHeader(message, length, RTM_NEWADDR, sizeof(ifaddrmsg));
  if (header == nullptr) return std::nullopt;
  std::array<nlattr*, IFA_MAX + 1> attributes{};
  if (nlmsg_parse(header, sizeof(ifaddrmsg), attributes.data(), IFA_MAX,
                  const_cast<nla_policy*>(kAddressPolicy.data())) != 0) {
    return std::nullopt;
  }
  const auto* info = static_cast<const ifaddrmsg*>(nlmsg_data(header));
  if (info->ifa_family != AF_INET && info->ifa_family != AF_INET6) return std::nullopt;

  AddressFacts address;
  address.index = static_cast<std::int32_t>(info->ifa_index);
  address.family = info->ifa_family;
  address.prefixLength = info->ifa_prefixlen;
  // IPv4 sends the local address as IFA_LOCAL (IFA_ADDRESS is the peer on a
  // point-to-point link); IPv6 sends only IFA_ADDRESS.
  const nlattr* local = attributes[IFA_LOCAL] ? attributes[IFA_LOCAL] : attributes[IFA_ADDRESS];
  if (local == nullptr) return std::nullopt;
  address.text = addressText(address.family, local);
  if (address.text.empty()) return std::nullopt;
  if (attributes[IFA_CACHEINFO]) {
    ifa_cacheinfo cache;
    std::memcpy(&cache, nla_data(attributes[IFA_CACHEINFO]), sizeof cache);
    address.validLifetime = cache.ifa_valid;
  }
  return address;
}

std::optional<RouteFacts> parseRouteMessage(const void* message, std::size_t length) {
  nlmsghdr* header = checkedHeader(message, length, RTM_NEWROUTE, sizeof(rtmsg));
  if (header == nullptr) return std::nullopt;
  const auto* info = static_cast<const rtmsg*>(nlmsg_data(header));
  // Most routes are not default routes; they are passed over before any
  // attribute is looked at.
  if (info->rtm_dst_len != 0) return std::nullopt;
  if (info->rtm_family != AF_INET && info->rtm_family != AF_INET6) return std::nullopt;
  std::array<nlattr*, RTA_MAX + 1> attributes{};
  if (nlmsg_parse(header, sizeof(rtmsg), attributes.data(), RTA_MAX,
                  const_cast<nla_policy*>(kRoutePolicy.data())) != 0) {
    return std::nullopt;
  }
  RouteFacts route;
  route.family = info->rtm_family;
  route.type = info->rtm_type;
  route.dstLength = 0;
  route.table = attributes[RTA_TABLE] ? nla_get_u32(attributes[RTA_TABLE]) : info->rtm_table;
  if (attributes[RTA_MULTIPATH]) {
    readMultipath(route.family, attributes[RTA_MULTIPATH], route.hops);
  } else {
    RouteFacts::Hop hop;
    if (attributes[RTA_OIF])
      hop.index = static_cast<std::int32_t>(nla_get_u32(attributes[RTA_OIF]));
    if (attributes[RTA_GATEWAY]) hop.gateway = addressText(route.family, attributes[RTA_GATEWAY]);
    route.hops.push_back(std::move(hop));
  }
  return route;
}

}  // namespace platform::linuxos
