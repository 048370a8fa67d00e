// The two queries and the adapter table, run inside a private network
// namespace staged with links of every kind, compared with what iproute2
// reports of the same namespace.
#include <gtest/gtest.h>
#include <unistd.h>

#include <nlohmann/json.hpp>

#include <algorithm>
#include <chrono>
#include <climits>
#include <map>
#include <optional>
#include <set>
#include <thread>

#include "platform/linux/linux_adapter_table.h"
#include "tests/platform_linux/object_reading.h"
#include "tests/platform_linux/private_network.h"
#include "tests/support/iproute_text.h"

namespace platform_linux_test {
namespace {

using nlohmann::json;
using platform::Null;
using platform::TextArray;
using platform::Variant;

const char* const kStaging[] = {
    "ip link set lo up",
    "ip link add veth0 type veth peer name veth1",
    "ip link add vethA type veth peer name vethB",
    "ip link add down0 type veth peer name down1",
    "ip link add br0 type bridge",
    "ip link add mv0 link veth0 type macvlan mode bridge",
    "ip tuntap add tun0 mode tun",
    "ip tuntap add tap0 mode tap",
    "for l in veth0 veth1 vethA br0 mv0 tun0 tap0; do ip link set $l up || exit 1; done",
    "ip addr add 192.0.2.10/24 dev veth0",
    "ip addr add 192.0.2.11/24 dev veth0",
    "ip addr add 2001:db8:1::10/64 dev veth0 nodad",
    "ip addr add 2001:db8:1::11/64 dev veth0 nodad",
    "ip addr add 198.51.100.20/24 dev veth1 valid_lft 3600 preferred_lft 3600",
    "ip addr add 203.0.113.1/24 dev br0",
    "ip addr add 2001:db8:2::1/48 dev br0 nodad",
    "ip addr add 192.0.2.200 peer 192.0.2.201 dev tun0",
    "ip addr add 198.51.100.130/25 dev mv0",
    "ip route add default via 192.0.2.1 dev veth0 metric 100",
    "ip route add default via 203.0.113.254 dev br0 metric 200",
    "ip -6 route add default via 2001:db8:1::1 dev veth0 metric 100",
    "ip route add default metric 300 nexthop via 192.0.2.2 dev veth0 nexthop via 203.0.113.253 "
    "dev br0",
};

// The states the staging leads to, once carriers have settled.
const std::map<std::string, std::int32_t> kStatus = {
    {"lo", 2},    {"veth0", 2}, {"veth1", 2}, {"vethA", 7}, {"vethB", 0}, {"down0", 0},
    {"down1", 0}, {"br0", 2},   {"mv0", 2},   {"tun0", 7},  {"tap0", 7}};

// One interface as iproute2 reports it.
struct Expected {
  std::int32_t index = 0;
  std::string name, kind, mac, operstate;
  bool up = false;
  TextArray addresses, masks, gateways4, gateways6;
  bool leased = false;
  std::string firstIpv4 = "0.0.0.0", firstMask = "0.0.0.0";
};

json ipJson(const std::string& arguments) {
  const CommandResult result = run("ip -j " + arguments);
  EXPECT_EQ(result.status, 0) << "ip -j " << arguments;
  return json::parse(result.output.empty() ? "[]" : result.output);
}

std::vector<Expected> fromIproute() {
  std::vector<Expected> all;
  std::map<std::string, std::size_t> byName;
  for (const json& link : ipJson("-d link show")) {
    Expected e;
    e.index = link.value("ifindex", 0);
    e.name = link.value("ifname", "");
    e.kind = link.value(json::json_pointer("/linkinfo/info_kind"), "");
    if (e.kind == "tun") e.kind = link.value(json::json_pointer("/linkinfo/info_data/type"), "");
    const std::string mac = tests_support::upperCase(link.value("address", ""));
    e.mac = mac.find_first_not_of("0:") == std::string::npos ? "" : mac;
    e.operstate = link.value("operstate", "");
    const auto flags = link.value("flags", std::vector<std::string>());
    e.up = std::find(flags.begin(), flags.end(), "UP") != flags.end();
    byName[e.name] = all.size();
    all.push_back(e);
  }
  for (const json& link : ipJson("addr show")) {
    auto found = byName.find(link.value("ifname", ""));
    if (found == byName.end()) continue;
    Expected& e = all[found->second];
    for (const char* family : {"inet", "inet6"}) {
      for (const json& address : link.value("addr_info", json::array())) {
        if (address.value("family", "") != family) continue;
        const int prefix = address.value("prefixlen", 0);
        e.addresses.push_back(address.value("local", ""));
        e.masks.push_back(family == std::string("inet") ? tests_support::dottedMask(prefix)
                                                        : std::to_string(prefix));
        if (family == std::string("inet")) {
          if (e.firstIpv4 == "0.0.0.0") {
            e.firstIpv4 = address.value("local", "");
            e.firstMask = tests_support::dottedMask(prefix);
          }
          if (address.value("valid_life_time", 0.0) != 4294967295.0) e.leased = true;
        }
      }
    }
  }
  for (const char* family : {"-4", "-6"}) {
    for (const json& route : ipJson(std::string(family) + " route show default")) {
      std::vector<const json*> hops;
      if (route.contains("nexthops")) {
        for (const json& hop : route.at("nexthops")) hops.push_back(&hop);
      } else {
        hops.push_back(&route);
      }
      for (const json* hop : hops) {
        auto found = byName.find(hop->value("dev", ""));
        if (found == byName.end() || !hop->contains("gateway")) continue;
        auto& list = family == std::string("-4") ? all[found->second].gateways4
                                                 : all[found->second].gateways6;
        list.push_back(hop->at("gateway").get<std::string>());
      }
    }
  }
  std::sort(all.begin(), all.end(), [](const auto& a, const auto& b) { return a.index < b.index; });
  return all;
}

bool sameFacts(const std::vector<Expected>& a, const std::vector<Expected>& b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (a[i].index != b[i].index || a[i].name != b[i].name || a[i].mac != b[i].mac ||
        a[i].operstate != b[i].operstate || a[i].up != b[i].up ||
        a[i].addresses != b[i].addresses || a[i].gateways4 != b[i].gateways4 ||
        a[i].gateways6 != b[i].gateways6) {
      return false;
    }
  }
  return true;
}

Variant textOrNull(const std::string& text) {
  return text.empty() ? Variant(Null{}) : Variant(text);
}
Variant arrayOrNull(const TextArray& items) {
  return items.empty() ? Variant(Null{}) : Variant(items);
}

std::string expectedDescription(const Expected& e) {
  if (e.name == "lo") return "Software Loopback Interface 1";
  if (e.kind == "tun" || e.kind == "tap") return "VPN Tunnel Adapter (" + e.kind + ")";
  return "Virtual " + e.kind + " Adapter";
}

Variant expectedSpeed(const std::string& name) {
  const CommandResult result = run("cat /sys/class/net/" + name + "/speed");
  if (result.status != 0) return Null{};
  const long long mbps = std::atoll(result.output.c_str());
  return mbps > 0 ? Variant(std::to_string(mbps * 1000000LL)) : Variant(Null{});
}

void waitForCarriers() {
  for (int attempt = 0; attempt < 50; ++attempt) {
    bool settled = true;
    for (const Expected& e : fromIproute()) {
      auto status = kStatus.find(e.name);
      if (status != kStatus.end() && status->second == 2 && e.operstate != "UP" &&
          e.operstate != "UNKNOWN") {
        settled = false;
      }
    }
    if (settled) return;
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
  }
  ADD_FAILURE() << "carriers did not settle";
}

class NamespaceCompareTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { unavailable_ = privateNetworkUnavailable(); }
  void SetUp() override {
    if (!unavailable_.empty()) GTEST_SKIP() << unavailable_;
  }
  static inline std::string unavailable_;
};

TEST_F(NamespaceCompareTest, BothQueriesAndTheTableMatchIproute) {
  runInPrivateNetwork([] {
    for (const char* line : kStaging) stage(line);
    waitForCarriers();

    // Sample iproute2 on both sides of our snapshot; a change in between
    // (a carrier settling late) means sampling again.
    std::vector<Expected> expected;
    std::vector<Properties> adapters, configurations;
    std::vector<RecordView> records;
    std::uint32_t status = 0;
    platform::linuxos::LinuxAdapterTable table;
    for (int attempt = 0; attempt < 5; ++attempt) {
      const auto before = fromIproute();
      adapters = query(platform::kAdapterQuery, kAdapterNames);
      configurations = query(platform::kConfigurationQuery, kConfigurationNames);
      const auto buffer = fetchTable(table, &status);
      records = readChain(buffer);
      expected = fromIproute();
      if (sameFacts(before, expected)) break;
    }
    ASSERT_EQ(status, platform::kSuccess);
    // The staging shows in iproute2's view, so the comparison below is not of nothing.
    const auto veth0 = std::find_if(expected.begin(), expected.end(),
                                    [](const Expected& e) { return e.name == "veth0"; });
    ASSERT_NE(veth0, expected.end());
    EXPECT_EQ(veth0->gateways4, (TextArray{"192.0.2.1", "192.0.2.2"}));
    EXPECT_EQ(veth0->gateways6, TextArray{"2001:db8:1::1"});
    EXPECT_EQ(std::vector<std::string>(veth0->addresses.begin(), veth0->addresses.begin() + 2),
              (TextArray{"192.0.2.10", "192.0.2.11"}));
    char host[HOST_NAME_MAX + 1] = {};
    gethostname(host, sizeof host - 1);

    ASSERT_EQ(adapters.size(), expected.size());
    std::map<std::int32_t, std::string> descriptions;
    for (std::size_t i = 0; i < expected.size(); ++i) {
      const Expected& e = expected[i];
      Properties& a = adapters[i];
      SCOPED_TRACE(e.name);
      EXPECT_EQ(a["Index"], Variant(e.index));
      EXPECT_EQ(a["Name"], Variant(e.name));
      EXPECT_EQ(a["NetConnectionID"], Variant(e.name));
      EXPECT_EQ(a["DeviceID"], Variant(std::to_string(e.index)));
      EXPECT_EQ(a["MACAddress"], textOrNull(e.mac));
      EXPECT_EQ(a["Description"], Variant(expectedDescription(e)));
      EXPECT_EQ(a["PhysicalAdapter"], Variant(false));
      EXPECT_EQ(a["ServiceEnabled"], Variant(true));
      EXPECT_EQ(a["Manufacturer"], Variant(Null{}));
      EXPECT_EQ(a["ProductName"], Variant(Null{}));
      EXPECT_EQ(a["NetEnabled"], Variant(e.up));
      EXPECT_EQ(a["Speed"], expectedSpeed(e.name));
      EXPECT_EQ(a["NetConnectionStatus"], Variant(kStatus.at(e.name)));
      const Variant type = e.name == "lo"    ? Variant(Null{})
                           : e.kind == "tun" ? Variant(std::string("Tunnel"))
                                             : Variant(std::string("Ethernet 802.3"));
      EXPECT_EQ(a["AdapterType"], type);
      descriptions[e.index] = expectedDescription(e);
    }

    std::vector<Expected> up;
    std::copy_if(expected.begin(), expected.end(), std::back_inserter(up),
                 [](const Expected& e) { return e.up; });
    ASSERT_EQ(configurations.size(), up.size());
    for (std::size_t i = 0; i < up.size(); ++i) {
      const Expected& e = up[i];
      Properties& c = configurations[i];
      SCOPED_TRACE(e.name);
      EXPECT_EQ(c["Index"], Variant(e.index));
      EXPECT_EQ(c["Description"], Variant(descriptions[e.index]));
      EXPECT_EQ(c["MACAddress"], textOrNull(e.mac));
      EXPECT_EQ(c["IPAddress"], arrayOrNull(e.addresses)) << joined(c["IPAddress"]);
      EXPECT_EQ(c["IPSubnet"], arrayOrNull(e.masks)) << joined(c["IPSubnet"]);
      TextArray gateways = e.gateways4;
      gateways.insert(gateways.end(), e.gateways6.begin(), e.gateways6.end());
      EXPECT_EQ(c["DefaultIPGateway"], arrayOrNull(gateways)) << joined(c["DefaultIPGateway"]);
      EXPECT_EQ(c["DHCPEnabled"], Variant(e.leased));
      EXPECT_EQ(c["IPEnabled"], Variant(true));
      EXPECT_EQ(c["DNSHostName"], textOrNull(host));
      const std::string id = platform::toText(c["SettingID"]);
      EXPECT_EQ(id.size(), 38u);
      EXPECT_NE(id, "{00000000-0000-0000-0000-000000000000}");
    }

    std::vector<Expected> listed;
    std::copy_if(expected.begin(), expected.end(), std::back_inserter(listed),
                 [](const Expected& e) { return e.name != "lo"; });
    ASSERT_EQ(records.size(), listed.size());
    for (std::size_t i = 0; i < listed.size(); ++i) {
      const Expected& e = listed[i];
      SCOPED_TRACE(e.name);
      EXPECT_EQ(records[i].offset, i * platform::adapter_record::kSize);
      EXPECT_EQ(records[i].name, e.name);
      EXPECT_EQ(records[i].index, e.index);
      EXPECT_EQ(records[i].description, descriptions[e.index]);
      EXPECT_EQ(records[i].ipAddress, e.firstIpv4);
      EXPECT_EQ(records[i].ipMask, e.firstMask);
      EXPECT_EQ(records[i].gateway, e.gateways4.empty() ? "0.0.0.0" : e.gateways4.front());
      EXPECT_EQ(records[i].dhcp, e.leased ? 1u : 0u);
    }
  });
}

TEST_F(NamespaceCompareTest, IdentitiesAreStableAndDistinct) {
  runInPrivateNetwork([] {
    stage("ip link set lo up");
    stage("ip link add idA type veth peer name idB");
    stage("ip link set idA up && ip link set idB up");
    const auto first = query(platform::kConfigurationQuery, {"Index", "SettingID"});
    const auto second = query(platform::kConfigurationQuery, {"Index", "SettingID"});
    ASSERT_EQ(first.size(), 3u);
    ASSERT_EQ(second.size(), 3u);
    std::set<std::string> seen;
    for (std::size_t i = 0; i < first.size(); ++i) {
      EXPECT_EQ(first[i].at("SettingID"), second[i].at("SettingID"));
      seen.insert(platform::toText(first[i].at("SettingID")));
    }
    EXPECT_EQ(seen.size(), 3u);
  });
}

// Whether iproute2 lists a default route of the main table that leads
// somewhere: an unreachable or blackhole default does not.
bool iprouteHasDefaultRoute() {
  for (const char* family : {"-4", "-6"}) {
    for (const json& route : ipJson(std::string(family) + " route show default table main")) {
      if (route.value("type", "unicast") == "unicast") return true;
    }
  }
  return false;
}

TEST_F(NamespaceCompareTest, DefaultRouteAsIprouteListsIt) {
  struct Row {
    const char* name;
    const char* route;  // besides a link with IPv4 and IPv6 addresses and a tunnel
    bool expected;
  };
  const Row rows[] = {
      {"None", "true", false},
      {"ThroughAGateway", "ip route add default via 192.0.2.1 dev rt0", true},
      {"StraightOutOfATunnel", "ip route add default dev rtun0", true},
      {"Ipv6Only", "ip -6 route add default via 2001:db8:1::1 dev rt0", true},
      {"UnreachableOnly", "ip route add unreachable default", false},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    runInPrivateNetwork([&row] {
      stage("ip link set lo up");
      stage("ip link add rt0 type veth peer name rt1 && ip link set rt0 up && ip link set rt1 up");
      stage("ip addr add 192.0.2.10/24 dev rt0 && ip addr add 2001:db8:1::10/64 dev rt0 nodad");
      stage("ip tuntap add rtun0 mode tun && ip link set rtun0 up");
      stage(row.route);
      EXPECT_EQ(iprouteHasDefaultRoute(), row.expected);
      platform::linuxos::LinuxAdapterTable table;
      EXPECT_EQ(table.hasDefaultRoute(), std::optional<bool>(row.expected));
    });
  }
}

TEST_F(NamespaceCompareTest, AnEmptyNamespaceHasOnlyTheLoopback) {
  runInPrivateNetwork([] {
    // The loopback starts down: no configuration, no table entry.
    EXPECT_EQ(query(platform::kAdapterQuery, {"Name"}).size(), 1u);
    EXPECT_TRUE(query(platform::kConfigurationQuery, {"Index"}).empty());
    platform::linuxos::LinuxAdapterTable table;
    std::uint32_t size = 0;
    EXPECT_EQ(table.getAdaptersInfo(nullptr, &size), platform::kNoData);
    EXPECT_EQ(table.lastError(), static_cast<std::int32_t>(platform::kNoData));
  });
}

}  // namespace
}  // namespace platform_linux_test
