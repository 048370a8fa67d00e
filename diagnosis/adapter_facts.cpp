#include "diagnosis/adapter_facts.h"

#include <algorithm>
#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "basics/error.h"
#include "basics/text.h"
#include "probes/address_text.h"

namespace diagnosis {
namespace {

// The connection status of an adapter whose link is up and connected.
constexpr std::int32_t kConnected = 2;

struct Adapter {
  std::optional<bool> connected;  // none: the status is not known
  bool loopback = false;
  std::vector<std::string> addresses;
};

std::vector<std::string> addressesOf(const platform::ManagementObject& configuration) {
  const platform::Variant addresses = configuration.property("IPAddress");
  if (platform::isNull(addresses)) return {};
  return platform::toArray(addresses);
}

std::map<std::int32_t, std::vector<std::string>> addressesByIndex(
    platform::ManagementService& service) {
  std::map<std::int32_t, std::vector<std::string>> byIndex;
  service.execQuery(platform::kConfigurationQuery)->forEach([&](const auto& configuration) {
    // A configuration that cannot be read adds nothing.
    basics::skipOnFailure([&] {
      byIndex[platform::toInt32(configuration.property("Index"))] = addressesOf(configuration);
    });
    return true;
  });
  return byIndex;
}

std::vector<Adapter> readAdapters(platform::ManagementLocator& locator) {
  const auto service = locator.bind(platform::kCimv2Moniker);
  const auto addresses = addressesByIndex(*service);
  std::vector<Adapter> adapters;
  service->execQuery(platform::kAdapterQuery)->forEach([&](const auto& object) {
    Adapter adapter;
    basics::skipOnFailure([&] {
      const platform::Variant status = object.property("NetConnectionStatus");
      if (!platform::isNull(status)) adapter.connected = platform::toInt32(status) == kConnected;
    });
    basics::skipOnFailure([&] {
      const auto found = addresses.find(platform::toInt32(object.property("Index")));
      if (found != addresses.end()) adapter.addresses = found->second;
    });
    basics::skipOnFailure([&] {
      const platform::Variant description = object.property("Description");
      adapter.loopback = !platform::isNull(description) &&
                         basics::containsIgnoringCase(platform::toText(description), "loopback");
    });
    // The loopback carries no traffic off the machine, whatever it is called.
    if (!adapter.addresses.empty() &&
        std::all_of(adapter.addresses.begin(), adapter.addresses.end(),
                    [](const std::string& a) { return probes::isLoopbackAddress(a); })) {
      adapter.loopback = true;
    }
    adapters.push_back(std::move(adapter));
    return true;
  });
  return adapters;
}

}  // namespace

AdapterFacts ReadAdapterFacts(platform::ManagementLocator& locator, platform::AdapterTable& table) {
  AdapterFacts facts;
  basics::skipOnFailure([&] { facts.defaultRoute = table.hasDefaultRoute(); });
  std::vector<Adapter> adapters;
  if (!basics::skipOnFailure([&] { adapters = readAdapters(locator); })) return facts;

  bool connected = false;
  bool unknown = false;
  bool assigned = false;
  for (const Adapter& adapter : adapters) {
    if (adapter.loopback || adapter.connected == false) continue;
    // An adapter whose status is not known may be the connected one.
    (adapter.connected ? connected : unknown) = true;
    assigned =
        assigned || std::any_of(adapter.addresses.begin(), adapter.addresses.end(),
                                [](const std::string& a) { return probes::isAssignedAddress(a); });
  }
  if (connected) facts.anyConnected = true;
  if (!connected && !unknown) facts.anyConnected = false;
  if (assigned) facts.anyAssignedAddress = true;
  // Addresses are only missing for sure where the adapters' states are known.
  if (!assigned && connected && !unknown) facts.anyAssignedAddress = false;
  return facts;
}

}  // namespace diagnosis
