#include "printed_output/report_fields.h"

#include <gtest/gtest.h>

#include "reports/show_adapter_inventory.h"
#include "reports/show_adapter_list.h"
#include "tests/fakes/fake_text_box.h"

namespace printed_output {
namespace {

using reports::AdapterEntry;
using reports::AdapterInventoryRecord;
using reports::ShowAdapterInventory;
using reports::ShowAdapterList;

using Fields = std::vector<std::pair<std::string, std::string>>;

// What the report writers write must read back as the values they were given,
// even where a value looks like the report's own separators.
TEST(ReadReportFields, ReadsBackWhatTheReportWritersWrote) {
  const std::vector<AdapterEntry> entries = {
      {"eth0", 12, "192.0.2.10", "Intel = Ethernet", "192.0.2.1"},
      {"tun0", 3, "", "line one\r\nline two", ""},
  };
  fakes::FakeTextBox list;
  ShowAdapterList(list, entries, 2);
  const ReportFields read = ReadReportFields(list.text());
  EXPECT_EQ(read.count, 2);
  ASSERT_EQ(read.adapters.size(), 2u);
  EXPECT_EQ(read.adapters[0], (Fields{{"Description", "Intel = Ethernet"},
                                      {"AdapterIndex", "12"},
                                      {"Name", "eth0"},
                                      {"IP", "192.0.2.10"},
                                      {"GatewayIP", "192.0.2.1"}}));
  EXPECT_EQ(read.adapters[1][0],
            (std::pair<std::string, std::string>{"Description", "line one\r\nline two"}));
  EXPECT_EQ(read.adapters[1].size(), 5u);

  AdapterInventoryRecord record;
  record.Description = "Adapter 7";  // a heading's words, but a value
  record.Name = "eth0";
  fakes::FakeTextBox inventory;
  ShowAdapterInventory(inventory, {record}, 1);
  const ReportFields readInventory = ReadReportFields(inventory.text());
  EXPECT_EQ(readInventory.count, 1);
  ASSERT_EQ(readInventory.adapters.size(), 1u);
  ASSERT_EQ(readInventory.adapters[0].size(), 17u);
  EXPECT_EQ(readInventory.adapters[0][0],
            (std::pair<std::string, std::string>{"Description", "Adapter 7"}));
  EXPECT_EQ(readInventory.adapters[0][1].first, "Name (Adapter)");

  fakes::FakeTextBox none;
  ShowAdapterList(none, {}, 0);
  EXPECT_EQ(ReadReportFields(none.text()).count, 0);
  EXPECT_TRUE(ReadReportFields(none.text()).adapters.empty());
  EXPECT_FALSE(ReadReportFields("").count);
}

}  // namespace
}  // namespace printed_output
