#include "reports/show_adapter_list.h"

#include <gtest/gtest.h>

#include "tests/fakes/fake_text_box.h"

namespace reports {
namespace {

const std::vector<AdapterEntry> kThree = {
    {"eth0", 12, "192.0.2.10", "Intel Ethernet", "192.0.2.1"},
    {"lo", -1, "127.0.0.1", "", ""},
    {"wlan0", 3, "", "Wireless", "198.51.100.1"},
};

const char* const kBlocks =
    "Adapter 0\r\n"
    "\tDescription = Intel Ethernet\r\n"
    "\tAdapterIndex = 12\r\n"
    "\tName = eth0\r\n"
    "\tIP = 192.0.2.10\r\n"
    "\tGatewayIP = 192.0.2.1\r\n"
    "\r\n"
    "Adapter 1\r\n"
    "\tDescription = \r\n"
    "\tAdapterIndex = -1\r\n"
    "\tName = lo\r\n"
    "\tIP = 127.0.0.1\r\n"
    "\tGatewayIP = \r\n"
    "\r\n"
    "Adapter 2\r\n"
    "\tDescription = Wireless\r\n"
    "\tAdapterIndex = 3\r\n"
    "\tName = wlan0\r\n"
    "\tIP = \r\n"
    "\tGatewayIP = 198.51.100.1\r\n"
    "\r\n";

TEST(ShowAdapterList, GoldenTexts) {
  const std::string blocks = kBlocks;
  const std::size_t firstBlock = blocks.find("Adapter 1");
  struct Case {
    std::vector<AdapterEntry> adapters;
    std::int32_t count;
    std::string expected;
  };
  const Case cases[] = {
      {{}, 0, "0 adapter(s) found.\r\n\r\n"},
      {kThree, 0, "0 adapter(s) found.\r\n\r\n"},  // the entries are not read
      {{}, -1, "-1 adapter(s) found.\r\n\r\n"},
      {{kThree[0]}, 1, "1 adapter(s) found.\r\n\r\n" + blocks.substr(0, firstBlock)},
      {kThree, 3, "3 adapter(s) found.\r\n\r\n" + blocks},
  };
  for (const Case& c : cases) {
    fakes::FakeTextBox box;
    ShowAdapterList(box, c.adapters, c.count);
    EXPECT_EQ(box.text(), c.expected);
    EXPECT_EQ(box.pieces.size(), 1u + 7u * static_cast<std::size_t>(std::max(c.count, 0)));
    EXPECT_EQ(box.caret(), static_cast<int>(c.expected.size()));
  }
}

TEST(ShowAdapterList, WritesAtTheCaret) {
  fakes::FakeTextBox box;
  box.setText("<>");
  box.select(1, 0);
  ShowAdapterList(box, {}, 0);
  EXPECT_EQ(box.text(), "<0 adapter(s) found.\r\n\r\n>");
}

TEST(ShowAdapterList, EntryOutsideTheListIsASubscriptError) {
  for (std::int32_t count : {2, 0x7FFFFFFF}) {
    fakes::FakeTextBox box;
    try {
      ShowAdapterList(box, {kThree[0]}, count);
      ADD_FAILURE() << "no error";
    } catch (const basics::Error& e) {
      EXPECT_EQ(e.number(), 9);
      EXPECT_EQ(e.description(), "Subscript out of range");
    }
    // The first block and the second title were written before the bad read.
    EXPECT_EQ(box.pieces.size(), 1u + 7u + 1u);
  }
}

}  // namespace
}  // namespace reports
