#include "platform/adapter_records.h"

#include <gtest/gtest.h>

#include "tests/platform_linux/object_reading.h"

namespace platform_linux_test {
namespace {

using namespace platform;
namespace record = platform::adapter_record;

AdapterRecordEntry entry(int index, std::string name) {
  AdapterRecordEntry e;
  e.index = index;
  e.name = std::move(name);
  e.description = "Virtual veth Adapter";
  e.type = 6;
  e.hardwareAddress = {0x02, 0xab, 0xcd, 0xef, 0x01, static_cast<std::uint8_t>(index)};
  return e;
}

TEST(AdapterRecords, AChainOfFixedRecordsLinkedByOffset) {
  std::vector<AdapterRecordEntry> entries = {entry(2, "eth0"), entry(3, "veth0"),
                                             entry(70000, "wg0")};
  entries[0].ipAddress = "192.0.2.10";
  entries[0].ipMask = "255.255.255.0";
  entries[0].gateway = "192.0.2.1";
  entries[0].dhcpEnabled = true;
  const auto buffer = buildAdapterRecords(entries);
  ASSERT_EQ(buffer.size(), 3 * record::kSize);
  const auto records = readChain(buffer);
  ASSERT_EQ(records.size(), 3u);
  EXPECT_EQ(records[0].next, record::kSize);
  EXPECT_EQ(records[1].next, 2 * record::kSize);
  EXPECT_EQ(records[2].next, 0u);
  EXPECT_EQ(records[0].name, "eth0");
  EXPECT_EQ(records[0].index, 2);
  EXPECT_EQ(records[0].ipAddress, "192.0.2.10");
  EXPECT_EQ(records[0].ipMask, "255.255.255.0");
  EXPECT_EQ(records[0].gateway, "192.0.2.1");
  EXPECT_EQ(records[0].dhcp, 1u);
  EXPECT_EQ(records[0].type, 6u);
  EXPECT_EQ(records[0].hardwareAddress, entries[0].hardwareAddress);
  EXPECT_EQ(records[1].ipAddress, "0.0.0.0");
  EXPECT_EQ(records[1].gateway, "0.0.0.0");
  EXPECT_EQ(records[1].dhcp, 0u);
  EXPECT_EQ(records[2].index, 70000);
  // Little-endian, whatever the machine.
  EXPECT_EQ(buffer[2 * record::kSize + record::kIndex], 0x70);
  EXPECT_EQ(buffer[2 * record::kSize + record::kIndex + 1], 0x11);
  EXPECT_EQ(buffer[2 * record::kSize + record::kIndex + 2], 0x01);
  EXPECT_TRUE(buildAdapterRecords({}).empty());
}

// One record as its reader expects it, byte by byte: offsets written as numbers
// here, not taken from the constants the writer uses, so a wrong constant shows.
TEST(AdapterRecords, OneRecordMatchesItsByteImage) {
  struct Field {
    std::size_t offset;
    const char* hex;
  };
  const Field image[] = {
      {0, "00000000"},                                      // Next: the last record
      {4, "02000000"},                                      // ComboIndex
      {8, "6574683000"},                                    // AdapterName "eth0"
      {268, "5669727475616c2076657468204164617074657200"},  // Description
      {400, "06000000"},                                    // AddressLength
      {404, "02abcdef01020000"},                            // Address
      {412, "02000000"},                                    // Index
      {416, "06000000"},                                    // Type
      {420, "01000000"},                                    // DhcpEnabled
      {432, "3139322e302e322e313000"},                      // IpAddress "192.0.2.10"
      {448, "3235352e3235352e3235352e3000"},                // IpMask
      {472, "3139322e302e322e3100"},                        // Gateway "192.0.2.1"
      {488, "3235352e3235352e3235352e32353500"},            // its mask
  };
  std::vector<std::uint8_t> expected(640, 0);
  for (const Field& field : image) {
    const std::string hex = field.hex;
    for (std::size_t i = 0; i < hex.size(); i += 2) {
      expected[field.offset + i / 2] =
          static_cast<std::uint8_t>(std::stoul(hex.substr(i, 2), nullptr, 16));
    }
  }
  AdapterRecordEntry e = entry(2, "eth0");
  e.ipAddress = "192.0.2.10";
  e.ipMask = "255.255.255.0";
  e.gateway = "192.0.2.1";
  e.dhcpEnabled = true;
  const auto buffer = buildAdapterRecords({e});
  ASSERT_EQ(buffer.size(), expected.size());
  for (std::size_t at = 0; at < expected.size(); ++at) {
    EXPECT_EQ(buffer[at], expected[at]) << "byte " << at;
  }
}

TEST(AdapterRecords, TextsAreCutToTheirFieldAndTerminated) {
  struct Case {
    std::string description;
    std::string expected;
  };
  const std::string long131(131, 'd');
  const std::string umlauts = std::string(130, 'x') + "\xC3\xA4\xC3\xB6";  // 134 bytes
  const Case cases[] = {
      {"", ""},
      {long131, long131},                // exactly fits with its NUL
      {long131 + "overflow", long131},   // cut
      {umlauts, std::string(130, 'x')},  // the ä would be split: dropped
      {std::string(129, 'x') + "\xE2\x82\xAC", std::string(129, 'x')},  // a cut euro sign
      {std::string(128, 'x') + "\xE2\x82\xAC", std::string(128, 'x') + "\xE2\x82\xAC"},
      {std::string("a\0b", 3), "a"},  // an embedded NUL ends it
  };
  for (const Case& c : cases) {
    AdapterRecordEntry e = entry(1, "x");
    e.description = c.description;
    const auto buffer = buildAdapterRecords({e});
    EXPECT_EQ(readChain(buffer)[0].description, c.expected) << c.description.size();
    EXPECT_EQ(buffer[record::kDescription + record::kDescriptionWidth - 1], 0);
  }
  AdapterRecordEntry e = entry(1, std::string(300, 'n'));
  e.ipAddress = "2001:db8::1234:5678";  // no IPv6 here, but never past the field
  e.hardwareAddress.assign(20, 0xee);   // an InfiniBand address: 8 bytes kept
  const auto buffer = buildAdapterRecords({e});
  const auto view = readChain(buffer)[0];
  EXPECT_EQ(view.name, std::string(259, 'n'));
  EXPECT_EQ(view.ipAddress, "2001:db8::1234:");
  EXPECT_EQ(view.hardwareAddress.size(), 8u);
}

TEST(AdapterRecords, EveryByteOfTheRecordsIsWritten) {
  std::vector<std::uint8_t> buffer(2 * record::kSize, 0xAA);
  writeAdapterRecords({entry(1, "a"), entry(2, "b")}, buffer.data());
  // The alignment bytes after HaveWins and the unused lists are zero.
  for (std::size_t at :
       {std::size_t{549}, std::size_t{550}, std::size_t{551}, std::size_t{600}, std::size_t{639}}) {
    EXPECT_EQ(buffer[at], 0) << at;
    EXPECT_EQ(buffer[record::kSize + at], 0) << at;
  }
  EXPECT_EQ(std::count(buffer.begin(), buffer.end(), 0xAA), 0);
}

}  // namespace
}  // namespace platform_linux_test
