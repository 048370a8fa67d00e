#include <gtest/gtest.h>

#include <functional>

#include "reports/get_adapts_info.h"
#include "tests/fakes/fake_adapter_table.h"

namespace reports {
namespace {

using fakes::ChainAdapter;
using fakes::FakeAdapterTable;
using Scripted = FakeAdapterTable::Scripted;
namespace record = platform::adapter_record;

const std::vector<ChainAdapter> kThree = {
    {"eth0", "Intel Ethernet", 2, {"192.0.2.10"}, {"192.0.2.1"}},
    {"lo", "Loopback", 1, {"127.0.0.1"}, {}},
    {"wlan0", "Wireless", 3, {"198.51.100.7", "198.51.100.8"}, {"198.51.100.1", "198.51.100.2"}},
};

std::vector<AdapterEntry> stale(std::size_t n) {
  return std::vector<AdapterEntry>(n, AdapterEntry{"stale", 99, "x", "y", "z"});
}

Scripted call(std::uint32_t status, std::int32_t lastError = 0,
              std::optional<std::uint32_t> sizeOut = std::nullopt) {
  Scripted s;
  s.status = status;
  s.lastError = lastError;
  s.sizeOut = sizeOut;
  return s;
}

TEST(GetAdapterList, WalksChainsInOrder) {
  for (std::size_t n : {1u, 3u}) {
    FakeAdapterTable table;
    table.chain = fakes::buildAdapterChain(
        std::vector<ChainAdapter>(kThree.begin(), kThree.begin() + static_cast<long>(n)));
    auto list = stale(5);  // entries beyond the new bounds are dropped
    ASSERT_EQ(GetAdapterList(table, list), static_cast<std::int32_t>(n));
    ASSERT_EQ(list.size(), n);
    EXPECT_EQ(list[0], (AdapterEntry{"eth0", 2, "192.0.2.10", "Intel Ethernet", "192.0.2.1"}));
    if (n == 3) {
      EXPECT_EQ(list[1], (AdapterEntry{"lo", 1, "127.0.0.1", "Loopback", ""}));
      // Only the first address and gateway of a list.
      EXPECT_EQ(list[2], (AdapterEntry{"wlan0", 3, "198.51.100.7", "Wireless", "198.51.100.1"}));
    }
    // The sizing call has no buffer; the second one gets exactly the size asked for.
    ASSERT_EQ(table.calls.size(), 2u);
    EXPECT_FALSE(table.calls[0].withBuffer);
    EXPECT_EQ(table.calls[0].sizeIn, 0u);
    EXPECT_TRUE(table.calls[1].withBuffer);
    EXPECT_EQ(table.calls[1].sizeIn, table.chain.size());
  }
}

TEST(GetAdapterList, FieldTexts) {
  const std::string longName(record::kAdapterNameWidth, 'n');
  const std::string longDescription(record::kDescriptionWidth + 5, 'd');
  FakeAdapterTable table;
  table.chain = fakes::buildAdapterChain({
      {longName, longDescription, -1, {"255.255.255.255X"}, {}},  // no NUL in any field
      {"", "Caf\xE9 \xC3\xA9t\xC3\xA9", 0x7FFFFFFF, {""}, {""}},  // Latin-1 and UTF-8 bytes
  });
  std::vector<AdapterEntry> list;
  ASSERT_EQ(GetAdapterList(table, list), 2);
  EXPECT_EQ(list[0].Name, longName);
  EXPECT_EQ(list[0].Description, std::string(record::kDescriptionWidth, 'd'));
  EXPECT_EQ(list[0].IP, "255.255.255.255X");
  EXPECT_EQ(list[0].AdapterIndex, -1);
  EXPECT_EQ(list[1].Name, "");
  EXPECT_EQ(list[1].Description, "Caf\xC3\xA9 \xC3\xA9t\xC3\xA9");
  EXPECT_EQ(list[1].AdapterIndex, 0x7FFFFFFF);
  EXPECT_EQ(list[1].IP, "");
  EXPECT_EQ(list[1].GatewayIP, "");
}

TEST(GetAdapterList, NoDataOnTheFirstCallIsAnEmptyList) {
  FakeAdapterTable table;  // no adapters: the table answers 232
  auto list = stale(2);
  EXPECT_EQ(GetAdapterList(table, list), 0);
  EXPECT_EQ(list, stale(2));
  EXPECT_EQ(table.calls.size(), 1u);
}

// Every failing status of either call, with its number and text.
TEST(GetAdapterList, ErrorTable) {
  struct Case {
    std::optional<Scripted> first;
    std::optional<Scripted> second;
    std::uint32_t number;
    const char* description;
  };
  const std::optional<Scripted> unscripted;
  const Case cases[] = {
      {call(0), unscripted, 0x8004B700u, "GetAdaptersInfo Early Success: internal error"},
      {call(50), unscripted, 0x8004B710u, "GetAdaptersInfo is not supported by this OS"},
      {call(87), unscripted, 0x8004B720u, "GetAdaptersInfo Bad Parameters: internal error"},
      {call(1, 31), unscripted, 0x8004B770u, "GetAdaptersInfo system error 31"},
      {call(8, -5), unscripted, 0x8004B770u, "GetAdaptersInfo system error -5"},
      {unscripted, call(50), 0x8004B730u,
       "GetAdaptersInfo Late Failure: is not supported by this OS"},
      {unscripted, call(87), 0x8004B740u,
       "GetAdaptersInfo Late Failure, Bad Parameters: internal error"},
      // The set grew between the calls: no second attempt.
      {unscripted, call(111), 0x8004B750u, "GetAdaptersInfo Late Failure: buffer overflow"},
      // No data is only harmless on the first call.
      {unscripted, call(232, 1168), 0x8004B760u, "GetAdaptersInfo Late Failure: system error 1168"},
      {unscripted, call(31, 2147483647), 0x8004B760u,
       "GetAdaptersInfo Late Failure: system error 2147483647"},
  };
  for (const Case& c : cases) {
    FakeAdapterTable table;
    table.chain = fakes::buildAdapterChain(kThree);
    table.script = {c.first, c.second};
    auto list = stale(2);
    try {
      GetAdapterList(table, list);
      ADD_FAILURE() << "no error for " << c.description;
    } catch (const basics::Error& e) {
      EXPECT_EQ(e.number(), basics::errorNumber(c.number)) << c.description;
      EXPECT_EQ(e.source(), "GetAdaptersInfo");
      EXPECT_EQ(e.description(), c.description);
    }
    EXPECT_EQ(list, stale(2)) << c.description;
    EXPECT_EQ(table.calls.size(), c.first ? 1u : 2u) << c.description;
  }
  EXPECT_EQ(basics::errorNumber(0x8004B760u), -2147174560);
}

// A chain whose links leave the buffer or do not move forward is invalid data;
// the entries read before the bad link stay.
TEST(GetAdapterList, CorruptChains) {
  using Buffer = std::vector<std::uint8_t>;
  struct Case {
    const char* what;
    std::function<void(Buffer&)> spoil;
    std::size_t entriesKept;
  };
  const std::size_t size = record::kSize;
  const Case cases[] = {
      {"next beyond the buffer", [](Buffer& b) { fakes::putUint32(b, 0, 0x10000); }, 1},
      {"next at the largest offset", [](Buffer& b) { fakes::putUint32(b, 0, 0xFFFFFFFFu); }, 1},
      {"last record cut short",
       [&](Buffer& b) { fakes::putUint32(b, size, static_cast<std::uint32_t>(b.size() - 600)); },
       2},
      {"pointing back", [&](Buffer& b) { fakes::putUint32(b, 2 * size, size); }, 3},
      {"pointing back to the start... of record 1",
       [&](Buffer& b) { fakes::putUint32(b, size, 0 + size / 2); }, 2},
      {"pointing at itself", [&](Buffer& b) { fakes::putUint32(b, size, size); }, 2},
      {"into its own record", [](Buffer& b) { fakes::putUint32(b, 0, 8); }, 1},
      {"buffer shorter than a record", [](Buffer& b) { b.resize(record::kCopied - 1); }, 0},
      {"buffer empty", [](Buffer& b) { b.clear(); }, 0},
  };
  for (const Case& c : cases) {
    FakeAdapterTable table;
    table.chain = fakes::buildAdapterChain(kThree);
    c.spoil(table.chain);
    if (table.chain.empty()) table.script = {call(111, 0, 0u), call(0)};
    std::vector<AdapterEntry> list;
    try {
      GetAdapterList(table, list);
      ADD_FAILURE() << "no error: " << c.what;
    } catch (const basics::Error& e) {
      EXPECT_EQ(e.number(), basics::errorNumber(0x8004B760u)) << c.what;
      EXPECT_EQ(e.source(), "GetAdaptersInfo");
      EXPECT_EQ(e.description(), "GetAdaptersInfo Late Failure: system error 13") << c.what;
    }
    EXPECT_EQ(list.size(), c.entriesKept) << c.what;
  }
}

TEST(GetAdapterList, ShortestValidLastRecord) {
  // The reader copies 637 bytes per record, so a final record may end there.
  FakeAdapterTable table;
  table.chain = fakes::buildAdapterChain({kThree[0], kThree[1]});
  table.chain.resize(record::kSize + record::kCopied);
  std::vector<AdapterEntry> list;
  EXPECT_EQ(GetAdapterList(table, list), 2);
}

}  // namespace
}  // namespace reports
