// The two queries and the adapter table as Wine answers them inside the
// private network namespace run_in_private_network.sh stages, compared with
// what iproute2 reported of the same namespace.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <map>
#include <set>
#include <sstream>

#include "platform/windows/windows_adapter_table.h"
#include "tests/platform_linux/mini_json.h"
#include "tests/platform_linux/object_reading.h"

namespace platform_linux_test {
namespace {

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

std::string upper(std::string text) {
  for (char& c : text) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return text;
}

std::string dotted(int prefix) {
  const std::uint32_t mask = prefix == 0 ? 0 : ~std::uint32_t{0} << (32 - prefix);
  return std::to_string(mask >> 24) + "." + std::to_string(mask >> 16 & 255) + "." +
         std::to_string(mask >> 8 & 255) + "." + std::to_string(mask & 255);
}

Json factsFile(const std::string& name) {
  std::ifstream in(std::string(std::getenv("TARNWICK_IP_FACTS")) + "/" + name);
  std::stringstream text;
  text << in.rdbuf();
  EXPECT_TRUE(in.good() || in.eof()) << name;
  return parseJson(text.str().empty() ? "[]" : text.str());
}

// Every link but the loopback, in index order.
std::vector<Expected> fromIproute() {
  std::vector<Expected> all;
  for (const Json& link : factsFile("links.json").items) {
    if (link["ifname"].text == "lo") continue;
    Expected e;
    e.index = static_cast<std::int32_t>(link["ifindex"].number);
    e.name = link["ifname"].text;
    e.mac = upper(link["address"].text);
    std::istringstream bytes(link["address"].text);
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
  for (const Json& link : factsFile("addresses.json").items) {
    Expected* e = byName(link["ifname"].text);
    if (e == nullptr) continue;
    for (const Json& address : link["addr_info"].items) {
      const int prefix = static_cast<int>(address["prefixlen"].number);
      const bool v4 = address["family"].text == "inet";
      e->masks[address["local"].text] = v4 ? dotted(prefix) : std::to_string(prefix);
      if (v4) e->ipv4.push_back(address["local"].text);
    }
  }
  for (const char* file : {"routes4.json", "routes6.json"}) {
    for (const Json& route : factsFile(file).items) {
      if (Expected* e = byName(route["dev"].text); e != nullptr && route.has("gateway")) {
        e->gateways.push_back(route["gateway"].text);
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
    EXPECT_EQ(upper(platform::toText(a.at("MACAddress"))), e.mac);
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
    EXPECT_EQ(upper(platform::toText(c.at("MACAddress"))), e.mac);
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

TEST_F(StagedNetwork, AdapterTableMatchesIprouteAndTheConfigurations) {
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
    std::cout << "record " << r.index << " name=" << r.name << " description=" << r.description
              << " ip=" << r.ipAddress << "/" << r.ipMask << " gateway=" << r.gateway
              << " dhcp=" << r.dhcp << "\n";
  }
}

}  // namespace
}  // namespace platform_linux_test
