#include "platform/linux/adapter_objects.h"

#include <linux/if.h>
#include <linux/rtnetlink.h>
#include <sys/socket.h>

#include <algorithm>
#include <unordered_map>

#include "platform/linux/adapter_properties.h"
#include "platform/linux/setting_id.h"

namespace platform::linuxos {
namespace {

// The links in index order, each index once.
std::vector<const LinkFacts*> orderedLinks(const std::vector<LinkFacts>& links) {
  std::vector<const LinkFacts*> ordered;
  ordered.reserve(links.size());
  for (const LinkFacts& link : links) ordered.push_back(&link);
  std::stable_sort(ordered.begin(), ordered.end(),
                   [](const LinkFacts* a, const LinkFacts* b) { return a->index < b->index; });
  ordered.erase(
      std::unique(ordered.begin(), ordered.end(),
                  [](const LinkFacts* a, const LinkFacts* b) { return a->index == b->index; }),
      ordered.end());
  return ordered;
}

const DeviceFacts& deviceOf(const NetworkFacts& facts, std::int32_t index) {
  static const DeviceFacts kNone;
  auto found = facts.devices.find(index);
  return found == facts.devices.end() ? kNone : found->second;
}

// What a configuration needs of the address and route dumps, per link.
struct LinkAddressing {
  std::vector<const AddressFacts*> ipv4;  // kernel order
  std::vector<const AddressFacts*> ipv6;
  std::vector<std::string> gateways4;
  std::vector<std::string> gateways6;
};

bool isDefaultRoute(const RouteFacts& route) {
  return route.table == RT_TABLE_MAIN && route.type == RTN_UNICAST && route.dstLength == 0;
}

std::unordered_map<std::int32_t, LinkAddressing> addressingByLink(const NetworkFacts& facts) {
  std::unordered_map<std::int32_t, LinkAddressing> byLink;
  for (const AddressFacts& address : facts.addresses) {
    if (address.text.empty()) continue;
    if (address.family == AF_INET) byLink[address.index].ipv4.push_back(&address);
    if (address.family == AF_INET6) byLink[address.index].ipv6.push_back(&address);
  }
  for (const RouteFacts& route : facts.routes) {
    if (!isDefaultRoute(route)) continue;
    for (const RouteFacts::Hop& hop : route.hops) {
      if (hop.gateway.empty()) continue;
      if (route.family == AF_INET) byLink[hop.index].gateways4.push_back(hop.gateway);
      if (route.family == AF_INET6) byLink[hop.index].gateways6.push_back(hop.gateway);
    }
  }
  return byLink;
}

Variant textOrNull(std::string text) {
  if (text.empty()) return Null{};
  return text;
}

template <class T>
Variant optionalOrNull(const std::optional<T>& value) {
  if (!value) return Null{};
  return *value;
}

Variant arrayOrNull(TextArray items) {
  if (items.empty()) return Null{};
  return items;
}

PropertyObject adapterObject(const LinkFacts& link, const DeviceFacts& device) {
  const bool software = !device.hasBusDevice;
  PropertyObject object(kAdapterClass);
  object.set("Index", link.index)
      .set("InterfaceIndex", link.index)
      .set("DeviceID", std::to_string(link.index))
      .set("Name", link.name)
      .set("NetConnectionID", link.name)
      .set("Description", description(link, device))
      .set("GUID", settingId(link))
      .set("MACAddress", textOrNull(hardwareAddressText(link.address)))
      .set("Manufacturer", software ? Variant(Null{}) : textOrNull(device.vendor))
      .set("ProductName", software ? Variant(Null{}) : textOrNull(device.model))
      .set("PhysicalAdapter", device.hasBusDevice)
      .set("AdapterType", optionalOrNull(adapterType(link)))
      .set("Speed", optionalOrNull(speedText(device)))
      .set("NetConnectionStatus", optionalOrNull(connectionStatus(link)))
      .set("NetEnabled", (link.flags & IFF_UP) != 0)
      .set("ServiceEnabled", serviceEnabled(device));
  return object;
}

PropertyObject configurationObject(const LinkFacts& link, const DeviceFacts& device,
                                   const LinkAddressing* addressing, const HostFacts& host) {
  TextArray addresses, masks, gateways;
  bool leased = false;
  if (addressing != nullptr) {
    for (const auto* list : {&addressing->ipv4, &addressing->ipv6}) {
      for (const AddressFacts* address : *list) {
        addresses.push_back(address->text);
        masks.push_back(maskText(address->family, address->prefixLength));
      }
    }
    // A finite lifetime on an IPv4 address means somebody leased it to us.
    leased = std::any_of(addressing->ipv4.begin(), addressing->ipv4.end(),
                         [](const AddressFacts* a) { return a->validLifetime != 0xFFFFFFFF; });
    gateways = addressing->gateways4;
    gateways.insert(gateways.end(), addressing->gateways6.begin(), addressing->gateways6.end());
  }
  auto dns = host.linkDnsServers.find(link.index);
  TextArray servers =
      dns != host.linkDnsServers.end() && !dns->second.empty() ? dns->second : host.dnsServers;
  PropertyObject object(kConfigurationClass);
  object.set("Index", link.index)
      .set("InterfaceIndex", link.index)
      .set("Description", description(link, device))
      .set("SettingID", settingId(link))
      .set("MACAddress", textOrNull(hardwareAddressText(link.address)))
      .set("IPAddress", arrayOrNull(std::move(addresses)))
      .set("IPSubnet", arrayOrNull(std::move(masks)))
      .set("DefaultIPGateway", arrayOrNull(std::move(gateways)))
      .set("DHCPEnabled", leased)
      .set("DNSHostName", textOrNull(host.hostName))
      .set("DNSServerSearchOrder", arrayOrNull(std::move(servers)))
      .set("IPEnabled", true);
  return object;
}

}  // namespace

std::vector<PropertyObject> adapterObjects(const NetworkFacts& facts) {
  std::vector<PropertyObject> objects;
  for (const LinkFacts* link : orderedLinks(facts.links)) {
    objects.push_back(adapterObject(*link, deviceOf(facts, link->index)));
  }
  return objects;
}

std::vector<PropertyObject> configurationObjects(const NetworkFacts& facts) {
  return configurationObjects(facts, facts.host);
}

std::vector<PropertyObject> configurationObjects(const NetworkFacts& facts, const HostFacts& host) {
  const auto byLink = addressingByLink(facts);
  std::vector<PropertyObject> objects;
  for (const LinkFacts* link : orderedLinks(facts.links)) {
    if ((link->flags & IFF_UP) == 0) continue;
    auto found = byLink.find(link->index);
    objects.push_back(configurationObject(*link, deviceOf(facts, link->index),
                                          found == byLink.end() ? nullptr : &found->second, host));
  }
  return objects;
}

std::vector<AdapterRecordEntry> adapterRecordEntries(const NetworkFacts& facts) {
  const auto byLink = addressingByLink(facts);
  std::vector<AdapterRecordEntry> entries;
  for (const LinkFacts* link : orderedLinks(facts.links)) {
    if (isLoopback(*link)) continue;
    const DeviceFacts& device = deviceOf(facts, link->index);
    AdapterRecordEntry entry;
    entry.name = link->name;
    entry.description = description(*link, device);
    entry.index = link->index;
    entry.type = interfaceType(*link, device);
    entry.hardwareAddress = link->address;
    auto found = byLink.find(link->index);
    if (found != byLink.end()) {
      const LinkAddressing& addressing = found->second;
      if (!addressing.ipv4.empty()) {
        entry.ipAddress = addressing.ipv4.front()->text;
        entry.ipMask = maskText(AF_INET, addressing.ipv4.front()->prefixLength);
        entry.dhcpEnabled =
            std::any_of(addressing.ipv4.begin(), addressing.ipv4.end(),
                        [](const AddressFacts* a) { return a->validLifetime != 0xFFFFFFFF; });
      }
      if (!addressing.gateways4.empty()) entry.gateway = addressing.gateways4.front();
    }
    entries.push_back(std::move(entry));
  }
  return entries;
}

bool hasDefaultRoute(const NetworkFacts& facts) {
  return std::any_of(facts.routes.begin(), facts.routes.end(), [&](const RouteFacts& route) {
    return isDefaultRoute(route) &&
           std::any_of(route.hops.begin(), route.hops.end(), [&](const RouteFacts::Hop& hop) {
             return std::any_of(facts.links.begin(), facts.links.end(),
                                [&](const LinkFacts& link) { return link.index == hop.index; });
           });
  });
}

}  // namespace platform::linuxos
