#include "reports/get_adapter_inventory.h"

#include <gtest/gtest.h>

#include <functional>

#include "tests/fakes/fake_management_objects.h"

namespace reports {
namespace {

using fakes::FakeObject;
using platform::Null;
using platform::TextArray;
using platform::Variant;

const NumberStyle kEnglish{".", ",", "\3\3"};
const std::string kNoConfig = "N/A (No IP Configuration)";

FakeObject adapter(std::int32_t index, const std::string& name) {
  return FakeObject{{"Description", "Desc " + name},
                    {"Index", index},
                    {"Name", name},
                    {"MACAddress", "02:00:00:00:00:0" + std::to_string(index % 10)},
                    {"Manufacturer", "Maker"},
                    {"ProductName", "Product " + name},
                    {"PhysicalAdapter", true},
                    {"AdapterType", "Ethernet 802.3"},
                    {"Speed", std::string("1000000000")},
                    {"NetConnectionStatus", std::int32_t{2}},
                    {"ServiceEnabled", true}};
}

FakeObject configuration(std::int32_t index, const std::string& address) {
  return FakeObject{{"Index", index},
                    {"IPAddress", TextArray{address}},
                    {"DefaultIPGateway", TextArray{"192.0.2.1"}},
                    {"DHCPEnabled", true},
                    {"DNSHostName", "host"},
                    {"DNSServerSearchOrder", TextArray{"192.0.2.53", "198.51.100.53"}},
                    {"IPSubnet", TextArray{"255.255.255.0"}}};
}

// Runs the inventory over `management`, collecting the messages it shows.
struct Inventory {
  std::vector<AdapterInventoryRecord> adapters;
  std::vector<std::string> messages;
  std::int32_t count = -99;

  Inventory& over(fakes::FakeManagement& management) {
    count = GetAdapterInventory(
        management, adapters,
        [this](const basics::Error&, const std::string& text) { messages.push_back(text); },
        kEnglish);
    return *this;
  }
};

TEST(GetAdapterInventory, FillsAndJoinsEveryAdapterInOrder) {
  fakes::FakeManagement m;
  m.adapters = {adapter(7, "eth0"), adapter(3, "wlan0"), adapter(9, "tun0")};
  // Reverse order: each adapter's join must start again from the first configuration.
  m.configurations = {configuration(3, "192.0.2.3"), configuration(7, "192.0.2.7")};
  Inventory run;
  run.over(m);

  ASSERT_EQ(run.count, 3);
  EXPECT_TRUE(run.messages.empty());
  ASSERT_EQ(run.adapters.size(), 3u);
  const AdapterInventoryRecord& eth0 = run.adapters[0];
  EXPECT_EQ(eth0.Description, "Desc eth0");
  EXPECT_EQ(eth0.Index, 7);
  EXPECT_EQ(eth0.Name, "eth0");
  EXPECT_EQ(eth0.IPAddress, "192.0.2.7");
  EXPECT_EQ(eth0.Gateway, "192.0.2.1");
  EXPECT_EQ(eth0.MACAddress, "02:00:00:00:00:07");
  EXPECT_EQ(eth0.DHCPEnabled, kTrue);
  EXPECT_EQ(eth0.DNSHostName, "host");
  EXPECT_EQ(eth0.DNSServers, "192.0.2.53, 198.51.100.53");
  EXPECT_EQ(eth0.SubnetMask, "255.255.255.0");
  EXPECT_EQ(eth0.Manufacturer, "Maker");
  EXPECT_EQ(eth0.ProductName, "Product eth0");
  EXPECT_EQ(eth0.Speed, "1,000.00 Mbps");
  EXPECT_EQ(eth0.ConnectionStatus, "Connected");
  EXPECT_EQ(eth0.ServiceEnabled, kTrue);
  EXPECT_EQ(eth0.PhysicalAdapter, kTrue);
  EXPECT_EQ(eth0.AdapterType, "Ethernet 802.3");
  EXPECT_EQ(run.adapters[1].IPAddress, "192.0.2.3");

  // No configuration for index 9: adapter fields filled, IP group marked.
  const AdapterInventoryRecord& tun0 = run.adapters[2];
  EXPECT_EQ(tun0.Name, "tun0");
  EXPECT_EQ(tun0.Speed, "1,000.00 Mbps");
  for (const std::string* text :
       {&tun0.IPAddress, &tun0.Gateway, &tun0.DNSHostName, &tun0.DNSServers, &tun0.SubnetMask}) {
    EXPECT_EQ(*text, kNoConfig);
  }
  EXPECT_EQ(tun0.DHCPEnabled, kFalse);
  EXPECT_EQ(m.queries, (std::vector<std::string>{std::string(platform::kAdapterQuery),
                                                 std::string(platform::kConfigurationQuery)}));
}

// Each skipped field: the value the record shows when the property is missing,
// null, of the wrong kind, or failing.
TEST(GetAdapterInventory, SkippedFieldsTakeTheirFallbacks) {
  using Field = std::function<std::string(const AdapterInventoryRecord&)>;
  auto flag = [](std::int16_t f) { return std::to_string(f); };
  struct Case {
    const char* property;
    Field field;
    std::string fallback;
    Variant wrongKind;
  };
  const Case cases[] = {
      {"Description", [](auto& r) { return r.Description; }, "", TextArray{}},
      {"Index", [](auto& r) { return std::to_string(r.Index); }, "0", std::string("x")},
      {"Name", [](auto& r) { return r.Name; }, "", TextArray{}},
      {"MACAddress", [](auto& r) { return r.MACAddress; }, "N/A", TextArray{}},
      {"Manufacturer", [](auto& r) { return r.Manufacturer; }, "N/A", TextArray{}},
      {"ProductName", [](auto& r) { return r.ProductName; }, "N/A", TextArray{}},
      {"PhysicalAdapter", [&](auto& r) { return flag(r.PhysicalAdapter); }, "0", std::string("y")},
      {"AdapterType", [](auto& r) { return r.AdapterType; }, "Unknown", TextArray{}},
      {"Speed", [](auto& r) { return r.Speed; }, "N/A", std::string("fast")},
      {"NetConnectionStatus", [](auto& r) { return r.ConnectionStatus; }, "N/A", std::string("up")},
      {"ServiceEnabled", [&](auto& r) { return flag(r.ServiceEnabled); }, "0", std::string("y")},
  };
  for (const Case& c : cases) {
    const basics::Error missing(platform::kNotFound, "SWbemObjectEx", "Not found");
    const basics::Error failure(-2147217407, "SWbemObjectEx", "Generic failure");
    std::vector<std::function<void(FakeObject&)>> spoilers = {
        [&](FakeObject& a) { a.fail(c.property, missing); },
        [&](FakeObject& a) { a.fail(c.property, failure); },
        [&](FakeObject& a) { a.set(c.property, c.wrongKind); },
    };
    // A null counts as a failure too, except for the status, which maps it.
    if (std::string(c.property) != "NetConnectionStatus") {
      spoilers.push_back([&](FakeObject& a) { a.set(c.property, Null{}); });
    }
    for (const auto& spoil : spoilers) {
      fakes::FakeManagement m;
      m.adapters = {adapter(4, "eth0")};
      spoil(m.adapters[0]);
      // The join reads the index again, and there a failure is reported (tested
      // below); with no configurations to compare it never gets that far.
      if (std::string(c.property) != "Index") m.configurations = {configuration(4, "192.0.2.4")};
      Inventory run;
      run.over(m);
      ASSERT_EQ(run.count, 1) << c.property;
      EXPECT_TRUE(run.messages.empty()) << c.property;
      EXPECT_EQ(c.field(run.adapters[0]), c.fallback) << c.property;
      // The other fields are still read.
      EXPECT_EQ(run.adapters[0].ServiceEnabled == kTrue,
                std::string(c.property) != "ServiceEnabled")
          << c.property;
    }
  }
}

TEST(GetAdapterInventory, StatusAndSpeedValues) {
  struct Case {
    const char* property;
    Variant value;
    std::string expected;
  };
  const Case cases[] = {
      {"NetConnectionStatus", std::int32_t{12}, "Unknown (12)"},
      {"NetConnectionStatus", Null{}, "Unknown ()"},
      {"NetConnectionStatus", std::int32_t{7}, "Media Disconnected"},
      {"Speed", Null{}, "N/A"},
      {"Speed", std::string("9223372036854775807"), "9,223,372,036,854.78 Mbps"},
      {"Speed", std::string("100000000"), "100.00 Mbps"},
  };
  for (const Case& c : cases) {
    fakes::FakeManagement m;
    m.adapters = {adapter(1, "eth0")};
    m.adapters[0].set(c.property, c.value);
    Inventory run;
    run.over(m);
    const AdapterInventoryRecord& r = run.adapters.at(0);
    EXPECT_EQ(std::string(c.property) == "Speed" ? r.Speed : r.ConnectionStatus, c.expected);
  }
}

TEST(GetAdapterInventory, IpGroupValues) {
  fakes::FakeManagement m;
  m.adapters = {adapter(1, "a"), adapter(2, "b"), adapter(3, "c"), adapter(4, "d")};
  m.configurations = {
      // IPv4 and IPv6: only the first address, every mask.
      FakeObject{{"Index", 1},
                 {"IPAddress", TextArray{"192.0.2.10", "2001:db8::10"}},
                 {"DefaultIPGateway", TextArray{"192.0.2.1", "2001:db8::1"}},
                 {"DHCPEnabled", false},
                 {"DNSHostName", "h"},
                 {"DNSServerSearchOrder", TextArray{"192.0.2.53"}},
                 {"IPSubnet", TextArray{"255.255.255.0", "64"}}},
      // Empty arrays are "N/A", not the no-configuration text; nulls likewise.
      FakeObject{{"Index", 2},
                 {"IPAddress", TextArray{}},
                 {"DefaultIPGateway", Null{}},
                 {"DHCPEnabled", Null{}},
                 {"DNSHostName", Null{}},
                 {"DNSServerSearchOrder", TextArray{}},
                 {"IPSubnet", Null{}}},
      // Index given as text still joins.
      configuration(3, "192.0.2.30").set("Index", std::string("3")),
      // Two configurations with index 4: the first one wins.
      configuration(4, "192.0.2.41"),
      configuration(4, "192.0.2.42"),
  };
  Inventory run;
  run.over(m);
  ASSERT_EQ(run.count, 4);
  const auto& a = run.adapters[0];
  EXPECT_EQ(a.IPAddress, "192.0.2.10");
  EXPECT_EQ(a.Gateway, "192.0.2.1");
  EXPECT_EQ(a.SubnetMask, "255.255.255.0, 64");
  EXPECT_EQ(a.DHCPEnabled, kFalse);
  const auto& b = run.adapters[1];
  for (const std::string* text :
       {&b.IPAddress, &b.Gateway, &b.DNSHostName, &b.DNSServers, &b.SubnetMask}) {
    EXPECT_EQ(*text, "N/A");
  }
  EXPECT_EQ(b.DHCPEnabled, kFalse);
  EXPECT_EQ(run.adapters[2].IPAddress, "192.0.2.30");
  EXPECT_EQ(run.adapters[3].IPAddress, "192.0.2.41");
}

TEST(GetAdapterInventory, NullIndexMatchesNothing) {
  fakes::FakeManagement m;
  m.adapters = {adapter(0, "a")};
  m.adapters[0].set("Index", Null{});
  m.configurations = {configuration(0, "192.0.2.1").set("Index", Null{})};
  Inventory run;
  run.over(m);
  ASSERT_EQ(run.count, 1);
  EXPECT_EQ(run.adapters[0].Index, 0);
  EXPECT_EQ(run.adapters[0].IPAddress, kNoConfig);
}

TEST(GetAdapterInventory, EmptyAdapterSetLeavesOneEmptyRecord) {
  fakes::FakeManagement m;
  m.configurations = {configuration(1, "192.0.2.1")};
  Inventory run;
  run.adapters.resize(5);
  run.adapters[0].Name = "stale";
  run.over(m);
  EXPECT_EQ(run.count, 0);
  EXPECT_TRUE(run.messages.empty());
  ASSERT_EQ(run.adapters.size(), 1u);
  EXPECT_EQ(run.adapters[0].Name, "");
  EXPECT_EQ(run.adapters[0].Index, 0);
}

// Failures outside the per-adapter fields: one message, count 0, the list as it
// stood when the failure came.
TEST(GetAdapterInventory, ReportedFailures) {
  const basics::Error failure(basics::errorNumber(0x80041001u), "SWbemServicesEx",
                              "Generic failure");
  const std::string message =
      "An error occurred in GetAdaptersInfo: Generic failure\r\n"
      "Error Number: -2147217407\r\nSource: SWbemServicesEx";
  struct Case {
    const char* what;
    std::function<void(fakes::FakeManagement&)> spoil;
    std::size_t recordsAfter;  // 2: untouched; otherwise resized
    std::string message;
  };
  const Case cases[] = {
      {"bind", [&](auto& m) { m.bindError = failure; }, 2, message},
      {"adapter query",
       [&](auto& m) { m.queryErrors.emplace(std::string(platform::kAdapterQuery), failure); }, 2,
       message},
      {"configuration query",
       [&](auto& m) { m.queryErrors.emplace(std::string(platform::kConfigurationQuery), failure); },
       2, message},
      {"count", [&](auto& m) { m.tweakAdapters = [&](auto& s) { s.countError = failure; }; }, 2,
       message},
      {"adapter enumeration",
       [&](auto& m) {
         m.tweakAdapters = [&](auto& s) {
           s.enumerationError = failure;
           s.failAt = 1;
         };
       },
       3, message},
      {"configuration enumeration",
       [&](auto& m) {
         m.tweakConfigurations = [&](auto& s) {
           s.enumerationError = failure;
           s.failAt = 1;
         };
       },
       3, message},
      {"third adapter's configuration",
       [](auto& m) { m.configurations[2].set("DHCPEnabled", std::string("maybe")); }, 3,
       "An error occurred in GetAdaptersInfo: Type mismatch\r\nError Number: 13\r\n"
       "Source: Tarnwick"},
      {"third adapter's address list",
       [&](auto& m) { m.configurations[2].fail("IPAddress", failure); }, 3, message},
      {"third adapter's index in the join", [&](auto& m) { m.adapters[2].fail("Index", failure); },
       3, message},
      {"configuration's index",
       [](auto& m) { m.configurations[2].set("Index", std::string("three")); }, 3,
       "An error occurred in GetAdaptersInfo: Type mismatch\r\nError Number: 13\r\n"
       "Source: Tarnwick"},
      {"more adapters than counted",
       [](auto& m) { m.tweakAdapters = [](auto& s) { s.countOverride = 2; }; }, 2,
       "An error occurred in GetAdaptersInfo: Subscript out of range\r\nError Number: 9\r\n"
       "Source: Tarnwick"},
  };
  for (const Case& c : cases) {
    fakes::FakeManagement m;
    m.adapters = {adapter(1, "a"), adapter(2, "b"), adapter(3, "c")};
    m.configurations = {configuration(1, "192.0.2.1"), configuration(2, "192.0.2.2"),
                        configuration(3, "192.0.2.3")};
    c.spoil(m);
    Inventory run;
    run.adapters.resize(2);
    run.adapters[0].Name = "before";
    run.over(m);
    EXPECT_EQ(run.count, 0) << c.what;
    ASSERT_EQ(run.messages.size(), 1u) << c.what;
    EXPECT_EQ(run.messages[0], c.message) << c.what;
    EXPECT_EQ(run.adapters.size(), c.recordsAfter) << c.what;
  }
}

TEST(GetAdapterInventory, FewerAdaptersThanCountedLeavesEmptyRecords) {
  fakes::FakeManagement m;
  m.adapters = {adapter(1, "a")};
  m.tweakAdapters = [](auto& s) { s.countOverride = 3; };
  Inventory run;
  run.over(m);
  EXPECT_EQ(run.count, 1);
  EXPECT_TRUE(run.messages.empty());
  ASSERT_EQ(run.adapters.size(), 3u);
  EXPECT_EQ(run.adapters[1].Name, "");
}

TEST(GetAdapterInventory, BothQueriesRunBeforeAnyEnumeration) {
  fakes::FakeManagement m;
  m.adapters = {adapter(1, "a")};
  m.tweakAdapters = [](auto& s) { s.countError = basics::Error(1, "s", "d"); };
  Inventory run;
  run.over(m);
  EXPECT_EQ(m.queries.size(), 2u);
}

}  // namespace
}  // namespace reports
