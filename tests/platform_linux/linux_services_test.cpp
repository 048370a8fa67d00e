// The seams' entry points: binding, query texts, re-enumeration, the
// adapter table's two-call protocol and statuses, and the snapshots they share.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <memory>

#include "platform/linux/linux_adapter_table.h"
#include "platform/linux/linux_management.h"
#include "platform/linux/network_snapshots.h"
#include "tests/platform_linux/object_reading.h"
#include "tests/platform_linux/private_network.h"

namespace platform_linux_test {
namespace {

using platform::linuxos::LinuxAdapterTable;
using platform::linuxos::LinuxManagementLocator;
using platform::linuxos::NetworkSnapshots;
namespace record = platform::adapter_record;

std::int32_t errorNumberOf(const std::function<void()>& step) {
  try {
    step();
  } catch (const basics::Error& error) {
    return error.number();
  }
  return 0;
}

TEST(LinuxManagement, BindsOnlyItsNamespace) {
  LinuxManagementLocator locator;
  EXPECT_NE(locator.bind(platform::kCimv2Moniker), nullptr);
  EXPECT_NE(locator.bind("WINMGMTS:\\\\.\\ROOT\\CIMV2"), nullptr);
  for (const char* moniker : {"", "winmgmts:\\\\.\\root\\default", "winmgmts:", "root\\cimv2"}) {
    EXPECT_EQ(errorNumberOf([&] { locator.bind(moniker); }), platform::kInvalidNamespace)
        << moniker;
  }
}

TEST(LinuxManagement, AnswersOnlyTheTwoQueries) {
  auto service = LinuxManagementLocator().bind(platform::kCimv2Moniker);
  for (const char* query :
       {"", "SELECT * FROM Win32_NetworkAdapter WHERE PhysicalAdapter = True",
        "SELECT * FROM Win32_Process", "SELECT * FROM Win32_NetworkAdapterConfiguration",
        "SELECT *  FROM Win32_NetworkAdapter"}) {
    EXPECT_EQ(errorNumberOf([&] { service->execQuery(query); }), platform::kInvalidQuery) << query;
  }
  EXPECT_NE(service->execQuery("select * from win32_networkadapter"), nullptr);
}

TEST(LinuxManagement, SetsEnumerateAgainAndStopEarly) {
  auto set =
      LinuxManagementLocator().bind(platform::kCimv2Moniker)->execQuery(platform::kAdapterQuery);
  ASSERT_GE(set->count(), 1);  // the loopback at least
  const auto first = readObjects(*set, {"Index", "Name"});
  EXPECT_EQ(readObjects(*set, {"Index", "Name"}), first);
  int visits = 0;
  set->forEach([&](const platform::ManagementObject&) { return ++visits < 1; });
  EXPECT_EQ(visits, 1);
}

class LinuxAdapterTableTest : public ::testing::Test {
 protected:
  void SetUp() override {
    const std::string why = privateNetworkUnavailable();
    if (!why.empty()) GTEST_SKIP() << why;
  }
};

TEST_F(LinuxAdapterTableTest, TwoCallProtocolAndStatuses) {
  runInPrivateNetwork([] {
    stage("ip link set lo up");
    stage("ip link add tbl0 type veth peer name tbl1");
    stage("ip link add tbl-bridge type bridge");
    LinuxAdapterTable table;
    const std::uint32_t needed = 3 * record::kSize;

    EXPECT_EQ(table.getAdaptersInfo(nullptr, nullptr), platform::kInvalidParameter);
    EXPECT_EQ(table.lastError(), 87);

    struct Case {
      const char* what;
      std::uint32_t size;
      bool withBuffer;
      std::uint32_t status;
      std::uint32_t sizeAfter;
    };
    const Case cases[] = {
        {"sizing call", 0, false, platform::kBufferOverflow, needed},
        {"one byte short", needed - 1, true, platform::kBufferOverflow, needed},
        {"exact size", needed, true, platform::kSuccess, needed},
        {"more than enough", needed + 100, true, platform::kSuccess, needed + 100},
        {"size but no buffer", needed, false, platform::kInvalidParameter, needed},
    };
    for (const Case& c : cases) {
      std::vector<std::uint8_t> buffer(c.size + 1, 0xAA);
      std::uint32_t size = c.size;
      EXPECT_EQ(table.getAdaptersInfo(c.withBuffer ? buffer.data() : nullptr, &size), c.status)
          << c.what;
      EXPECT_EQ(size, c.sizeAfter) << c.what;
      EXPECT_EQ(table.lastError(), c.status == platform::kSuccess ? 0 : std::int32_t(c.status))
          << c.what;
      if (c.status == platform::kSuccess) {
        buffer.resize(needed);
        const auto records = readChain(buffer);
        ASSERT_EQ(records.size(), 3u) << c.what;
        EXPECT_EQ(records[0].name, "tbl1");  // created first of the pair: the lower index
        EXPECT_EQ(records[2].name, "tbl-bridge");
      } else {
        EXPECT_EQ(buffer[0], 0xAA) << c.what << ": the buffer was written";
      }
    }

    // The set grows between the two calls: the second call asks for more.
    std::uint32_t size = 0;
    ASSERT_EQ(table.getAdaptersInfo(nullptr, &size), platform::kBufferOverflow);
    stage("ip link add tbl2 type veth peer name tbl3");
    std::vector<std::uint8_t> buffer(size);
    EXPECT_EQ(table.getAdaptersInfo(buffer.data(), &size), platform::kBufferOverflow);
    EXPECT_EQ(size, 5 * record::kSize);
  });
}

// A snapshot is handed out again only while nothing changed: whatever the
// kernel changes about links, addresses or routes is in the next one, and a
// caller in another namespace never gets this one's.
TEST_F(LinuxAdapterTableTest, SnapshotsAreSharedUntilTheKernelReportsAChange) {
  runInPrivateNetwork([] {
    stage("ip link set lo up");
    stage("ip link add snap0 type veth peer name snap1");
    NetworkSnapshots snapshots;
    auto before = snapshots.current();
    EXPECT_EQ(snapshots.current(), before) << "nothing changed, yet the kernel was asked again";

    struct Change {
      const char* command;
      std::function<bool(const platform::linuxos::NetworkFacts&)> seen;
    } changes[] = {
        {"ip addr add 192.0.2.9/24 dev snap0",
         [](const auto& f) {
           return std::any_of(f.addresses.begin(), f.addresses.end(),
                              [](const auto& a) { return a.text == "192.0.2.9"; });
         }},
        {"ip link set snap0 up && ip link set snap1 up",
         [](const auto& f) {
           return std::all_of(f.links.begin(), f.links.end(), [](const auto& l) {
             return l.name.rfind("snap", 0) != 0 || (l.flags & 1u) != 0;  // IFF_UP
           });
         }},
        {"ip route add default via 192.0.2.1 dev snap0",
         [](const auto& f) {
           return std::any_of(f.routes.begin(), f.routes.end(), [](const auto& r) {
             return r.dstLength == 0 && !r.hops.empty() && r.hops[0].gateway == "192.0.2.1";
           });
         }},
        {"ip link add snap2 type dummy 2>/dev/null || ip link add snap2 type bridge",
         [](const auto& f) {
           return std::any_of(f.links.begin(), f.links.end(),
                              [](const auto& l) { return l.name == "snap2"; });
         }},
    };
    for (const Change& change : changes) {
      stage(change.command);
      const auto after = snapshots.current();
      EXPECT_NE(after, before) << change.command;
      EXPECT_TRUE(change.seen(*after)) << change.command;
      EXPECT_EQ(snapshots.current(), after) << change.command;
      before = after;
    }

    // Another namespace, the same object: a snapshot of its own.
    std::shared_ptr<const platform::linuxos::NetworkFacts> elsewhere;
    runInPrivateNetwork([&] { elsewhere = snapshots.current(); });
    ASSERT_NE(elsewhere, nullptr);
    EXPECT_EQ(elsewhere->links.size(), 1u) << "the loopback alone";
    EXPECT_NE(snapshots.current()->links.size(), 1u);
  });
}

}  // namespace
}  // namespace platform_linux_test
