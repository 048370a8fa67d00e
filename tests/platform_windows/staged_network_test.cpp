// The two queries and the adapter table as Wine answers them inside the
// private network namespace run_in_private_network.sh stages, compared with
// what iproute2 reported of the same namespace.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <map>
#include <optional>
#include <set>
#include <sstream>

#include <nlohmann/json.hpp>

#include "platform/windows/windows_adapter_table.h"
#include "tests/platform_linux/object_reading.h"
#include "tests/support/iproute_text.h"

namespace platform_linux_test {
namespace {

using nlohmann::json;
using platform::TextArray;
using platform::Variant;

// One link as iproute2 reported it.
struct Expected {
  std::int32_t index = 0;
  std::string name, mac;  // mac upper case, empty for none
  std::vector<std::uint8_t> macBytes;
  std::map<std::string, std::string> masks;  // address -> mask as the service writes it
  TextArray ipv4, gateways;                  // gateways: IPv4 ones first
};

json factsFile(const std::string& name) {
  std::ifstream in(std::string(std::getenv("TARNWICK_IP_FACTS")) + "/" + name);
  std::stringstream text;
  text << in.rdbuf();
  EXPECT_TRUE(in.good() || in.eof()) << name;
  return json::parse(text.str().empty() ? "[]" : text.str());
}

// Every link but the loopback, in index order.
std::vector<Expected> fromIproute() {
  std::vector<Expected> all;
  for (const json& link : factsFile("links.json")) {
    if (link.at("ifname") == "lo") continue;
    Expected e;
    e.index = link.at("ifindex").get<std::int32_t>();
    e.name = link.at("ifname").get<std::string>();
    e.mac = tests_support::upperCase(link.value("address", ""));
    std::istringstream bytes(link.value("address", ""));
    for (std::string part; std::getline(bytes, part, ':');) {
      e.macBytes.push_back(static_cast<std::uint8_t>(std::stoul(part, nullptr, 16)));
    }
    all.push_back(e);
  }
  auto byName = [&all](const std::string& name) -> Expected* {
    for (Expected& e : all) {
      if (e.name == name) return &e;
    }
    return nullptr;
  };
  for (const json& link : factsFile("addresses.json")) {
    Expected* e = byName(link.at("ifname").get<std::string>());
    if (e == nullptr) continue;
    for (const json& address : link.value("addr_info", json::array())) {
      const int prefix = address.at("prefixlen").get<int>();
      const bool v4 = address.at("family") == "inet";
      const std::string local = address.at("local").get<std::string>();
      e->masks[local] = v4 ? tests_support::dottedMask(prefix) : std::to_string(prefix);
      if (v4) e->ipv4.push_back(local);
    }
  }
  for (const char* file : {"routes4.json", "routes6.json"}) {
    for (const json& route : factsFile(file)) {
      if (Expected* e = byName(route.value("dev", "")); e != nullptr && route.contains("gateway")) {
        e->gateways.push_back(route.at("gateway").get<std::string>());
      }
    }
  }
  std::sort(all.begin(), all.end(), [](const auto& a, const auto& b) { return a.index < b.index; });
  return all;
}

TextArray sorted(const Variant& value) {
  if (platform::isNull(value)) return {};
  TextArray items = platform::toArray(value);
  std::sort(items.begin(), items.end());
  return items;
}

TextArray keys(const std::map<std::string, std::string>& map) {
  TextArray items;
  for (const auto& [key, value] : map) items.push_back(key);
  return items;
}

class StagedNetwork : public testing::Test {
 protected:
  void SetUp() override {
    if (std::getenv("TARNWICK_IP_FACTS") == nullptr) {
      GTEST_SKIP() << "runs inside the namespace run_in_private_network.sh stages";
    }
    expected_ = fromIproute();
    ASSERT_EQ(expected_.size(), 3u) << "veth0, veth1 and br0 staged";
  }
  std::vector<Expected> expected_;
};

TEST_F(StagedNetwork, AdapterObjectsMatchIproute) {
  const auto adapters = query(platform::kAdapterQuery, {"Index", "InterfaceIndex", "DeviceID",
                                                        "Name", "Description", "MACAddress"});
  ASSERT_EQ(adapters.size(), expected_.size());
  for (std::size_t i = 0; i < expected_.size(); ++i) {
    const Expected& e = expected_[i];
    const Properties& a = adapters[i];
    SCOPED_TRACE(e.name);
    EXPECT_EQ(a.at("Index"), Variant(e.index));
    EXPECT_EQ(a.at("InterfaceIndex"), Variant(e.index));
    EXPECT_EQ(a.at("DeviceID"), Variant(std::to_string(e.index)));
    EXPECT_EQ(a.at("Name"), Variant(e.name));
    // Wine writes hardware addresses in lower case, Windows in upper.
    EXPECT_EQ(tests_support::upperCase(platform::toText(a.at("MACAddress"))), e.mac);
  }
}

TEST_F(StagedNetwork, ConfigurationObjectsMatchIproute) {
  const auto configurations =
      query(platform::kConfigurationQuery, {"Index", "IPAddress", "IPSubnet", "DefaultIPGateway",
                                            "MACAddress", "SettingID", "IPEnabled"});
  ASSERT_EQ(configurations.size(), expected_.size());
  for (std::size_t i = 0; i < expected_.size(); ++i) {
    const Expected& e = expected_[i];
    const Properties& c = configurations[i];
    SCOPED_TRACE(e.name);
    EXPECT_EQ(c.at("Index"), Variant(e.index));
    EXPECT_EQ(tests_support::upperCase(platform::toText(c.at("MACAddress"))), e.mac);
    // Addresses and their masks pair up; the order of the families is the service's.
    EXPECT_EQ(sorted(c.at("IPAddress")), keys(e.masks)) << joined(c.at("IPAddress"));
    if (!platform::isNull(c.at("IPAddress"))) {
      const TextArray& addresses = platform::toArray(c.at("IPAddress"));
      const TextArray& masks = platform::toArray(c.at("IPSubnet"));
      ASSERT_EQ(masks.size(), addresses.size());
      for (std::size_t k = 0; k < addresses.size(); ++k) {
        const auto mask = e.masks.find(addresses[k]);
        EXPECT_EQ(masks[k], mask == e.masks.end() ? "(none)" : mask->second) << addresses[k];
      }
    }
    // Wine lists the IPv4 default gateways only.
    TextArray gateways4;
    std::copy_if(e.gateways.begin(), e.gateways.end(), std::back_inserter(gateways4),
                 [](const std::string& g) { return g.find(':') == std::string::npos; });
    EXPECT_EQ(sorted(c.at("DefaultIPGateway")), gateways4) << joined(c.at("DefaultIPGateway"));
    EXPECT_EQ(platform::toText(c.at("SettingID")).size(), 38u);
  }
}

TEST_F(StagedNetwork, AdapterTableMatchesIprouteAndTheAdapterObjects) {
  // The adapter's name in the table is its identifier in the adapter query.
  std::map<std::int32_t, std::string> guids;
  for (const Properties& a : query(platform::kAdapterQuery, {"Index", "GUID"})) {
    guids[platform::toInt32(a.at("Index"))] = platform::toText(a.at("GUID"));
  }
  platform::windows::WindowsAdapterTable table;
  std::uint32_t status = 0;
  const auto records = readChain(fetchTable(table, &status));
  ASSERT_EQ(status, platform::kSuccess);
  ASSERT_EQ(records.size(), expected_.size());
  for (std::size_t i = 0; i < expected_.size(); ++i) {
    const Expected& e = expected_[i];
    const RecordView& r = records[i];
    SCOPED_TRACE(e.name);
    EXPECT_EQ(r.index, e.index);
    EXPECT_EQ(r.name, guids[e.index]);
    EXPECT_EQ(r.hardwareAddress, e.macBytes);
    EXPECT_EQ(r.ipAddress, e.ipv4.empty() ? "0.0.0.0" : e.ipv4.front());
    EXPECT_EQ(r.ipMask, e.ipv4.empty() ? "0.0.0.0" : e.masks.at(e.ipv4.front()));
    const auto gateway4 = std::find_if(e.gateways.begin(), e.gateways.end(), [](const auto& g) {
      return g.find(':') == std::string::npos;
    });
    EXPECT_EQ(r.gateway, gateway4 == e.gateways.end() ? "0.0.0.0" : *gateway4);
    EXPECT_EQ(r.type, 6u);  // Ethernet
  }
  // The namespace has default routes through veth0 (IPv4 and IPv6).
  EXPECT_EQ(table.hasDefaultRoute(), std::optional<bool>(true));
}

}  // namespace
}  // namespace platform_linux_test
