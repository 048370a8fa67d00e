// The adapter list reads chains exactly as the Linux adapter table writes them.
#include <gtest/gtest.h>

#include "platform/adapter_records.h"
#include "reports/get_adapts_info.h"
#include "tests/fakes/fake_adapter_table.h"

namespace reports {
namespace {

using platform::AdapterRecordEntry;

AdapterRecordEntry entry(std::string name, std::int32_t index, std::string ip, std::string gw) {
  AdapterRecordEntry e;
  e.name = std::move(name);
  e.description = "Adapter " + e.name;
  e.index = index;
  e.ipAddress = std::move(ip);
  e.gateway = std::move(gw);
  return e;
}

TEST(LinuxAdapterRecords, ChainsOfOneAndThree) {
  const std::vector<AdapterRecordEntry> three = {
      entry("eth0", 2, "192.0.2.10", "192.0.2.1"),
      entry("wl\xC3\xA4n0", 3, "198.51.100.7", "0.0.0.0"),     // UTF-8 name stays UTF-8
      entry(std::string(300, 'x'), -4, "0.0.0.0", "0.0.0.0"),  // cut by the writer
  };
  for (std::size_t n : {1u, 3u}) {
    fakes::FakeAdapterTable table;
    table.chain = platform::buildAdapterRecords(
        std::vector<AdapterRecordEntry>(three.begin(), three.begin() + static_cast<long>(n)));
    std::vector<AdapterEntry> list;
    ASSERT_EQ(GetAdapterList(table, list), static_cast<std::int32_t>(n));
    EXPECT_EQ(list[0], (AdapterEntry{"eth0", 2, "192.0.2.10", "Adapter eth0", "192.0.2.1"}));
    if (n == 3) {
      EXPECT_EQ(list[1].Name, "wl\xC3\xA4n0");
      EXPECT_EQ(list[1].GatewayIP, "0.0.0.0");
      EXPECT_EQ(list[2].Name, std::string(259, 'x'));
      EXPECT_EQ(list[2].AdapterIndex, -4);
    }
  }
}

}  // namespace
}  // namespace reports
