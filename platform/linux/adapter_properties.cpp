#include "platform/linux/adapter_properties.h"

#include <linux/if.h>
#include <linux/if_arp.h>
#include <sys/socket.h>

#include <algorithm>

namespace platform::linuxos {
namespace {

bool isVpnKind(const std::string& kind) {
  return kind == "tun" || kind == "tap" || kind == "wireguard" || kind == "ppp";
}

bool isTunnelArpType(std::uint16_t type) {
  switch (type) {
    case ARPHRD_TUNNEL:
    case ARPHRD_TUNNEL6:
    case ARPHRD_SIT:
    case ARPHRD_IPGRE:
    case ARPHRD_IP6GRE:
    case ARPHRD_NONE:  // tun and wireguard carry bare IP packets
      return true;
    default:
      return false;
  }
}

bool isEthernetArpType(std::uint16_t type) {
  return type == ARPHRD_ETHER || type == ARPHRD_IEEE80211 || type == ARPHRD_IEEE80211_PRISM ||
         type == ARPHRD_IEEE80211_RADIOTAP;
}

}  // namespace

std::string hardwareAddressText(const std::vector<std::uint8_t>& address) {
  if (std::all_of(address.begin(), address.end(), [](std::uint8_t b) { return b == 0; })) return {};
  static constexpr char kHex[] = "0123456789ABCDEF";
  std::string text;
  text.reserve(address.size() * 3);
  for (std::uint8_t b : address) {
    if (!text.empty()) text += ':';
    text += kHex[b >> 4];
    text += kHex[b & 0x0F];
  }
  return text;
}

bool isLoopback(const LinkFacts& link) {
  return (link.flags & IFF_LOOPBACK) != 0 || link.arpType == ARPHRD_LOOPBACK;
}

std::string linkKind(const LinkFacts& link) {
  if (link.kind == "tun" && link.arpType == ARPHRD_ETHER) return "tap";
  if (link.kind.empty() && link.arpType == ARPHRD_PPP) return "ppp";
  return link.kind;
}

std::string description(const LinkFacts& link, const DeviceFacts& device) {
  if (isLoopback(link)) return "Software Loopback Interface 1";
  if (device.hasBusDevice) {
    if (!device.model.empty()) return device.model;
    if (!device.driver.empty()) return device.driver + " Network Adapter";
    return "Network Adapter";
  }
  const std::string kind = linkKind(link);
  if (isVpnKind(kind)) return "VPN Tunnel Adapter (" + kind + ")";
  if (kind.empty()) return "Virtual Network Adapter";
  return "Virtual " + kind + " Adapter";
}

std::optional<std::string> adapterType(const LinkFacts& link) {
  if (isLoopback(link)) return std::nullopt;
  if (isEthernetArpType(link.arpType)) return "Ethernet 802.3";
  if (link.arpType == ARPHRD_PPP) return "Wide Area Network (WAN)";
  if (isTunnelArpType(link.arpType)) return "Tunnel";
  if ((link.flags & IFF_POINTOPOINT) != 0) return "Wide Area Network (WAN)";
  return std::nullopt;
}

std::optional<std::int32_t> connectionStatus(const LinkFacts& link) {
  if ((link.flags & IFF_UP) == 0) return 0;
  switch (link.operState) {
    case IF_OPER_NOTPRESENT:
      return 4;
    case IF_OPER_UP:
      return 2;
    case IF_OPER_UNKNOWN:
      // Loopback and tun report no state of their own; the carrier tells.
      return link.carrier ? 2 : 7;
    case IF_OPER_DORMANT:
      return 8;
    case IF_OPER_DOWN:
    case IF_OPER_LOWERLAYERDOWN:
      return link.carrier ? std::nullopt : std::optional<std::int32_t>(7);
    default:
      return std::nullopt;
  }
}

std::optional<std::string> speedText(const DeviceFacts& device) {
  if (!device.speedMbps || *device.speedMbps == 0) return std::nullopt;
  // sysfs reports megabits; the property is bits per second.
  return std::to_string(*device.speedMbps * 1000000ULL);
}

bool serviceEnabled(const DeviceFacts& device) {
  return !device.hasBusDevice || !device.driver.empty();
}

std::string maskText(int family, std::uint8_t prefixLength) {
  if (family == AF_INET6) return std::to_string(prefixLength);
  const unsigned bits = std::min<unsigned>(prefixLength, 32);
  const std::uint32_t mask = bits == 0 ? 0 : ~std::uint32_t{0} << (32 - bits);
  return std::to_string(mask >> 24) + '.' + std::to_string((mask >> 16) & 0xFF) + '.' +
         std::to_string((mask >> 8) & 0xFF) + '.' + std::to_string(mask & 0xFF);
}

std::uint32_t interfaceType(const LinkFacts& link, const DeviceFacts& device) {
  if (isLoopback(link)) return 24;
  if (device.wireless) return 71;
  if (link.arpType == ARPHRD_PPP) return 23;
  if (link.arpType == ARPHRD_IEEE80211 || link.arpType == ARPHRD_IEEE80211_RADIOTAP ||
      link.arpType == ARPHRD_IEEE80211_PRISM) {
    return 71;
  }
  if (link.arpType == ARPHRD_ETHER) return 6;
  if (isTunnelArpType(link.arpType)) return 131;
  return 1;
}

}  // namespace platform::linuxos
