// Queries and table calls while another thread adds and removes links:
// nothing crashes, nothing fails, and every snapshot holds together.
#include <gtest/gtest.h>

#include <atomic>
#include <set>
#include <thread>

#include "platform/linux/linux_adapter_table.h"
#include "tests/platform_linux/object_reading.h"
#include "tests/platform_linux/private_network.h"

namespace platform_linux_test {
namespace {

constexpr int kQueries = 200;
constexpr int kMaxChurnBatches = 400;  // the churn stops with the queries, or here
constexpr int kRoundsPerBatch = 25;

// Adds and removes veth pairs, with addresses and a default route through
// them, in batches run by one `ip` process each, until told to stop.
void churn(const std::atomic<bool>& stop, int& rounds) {
  rounds = 0;
  for (int batch = 0; batch < kMaxChurnBatches && !stop; ++batch) {
    std::string commands;
    for (int i = 0; i < kRoundsPerBatch; ++i, ++rounds) {
      const std::string n = std::to_string(rounds % 4), host = std::to_string(rounds % 200 + 1);
      const std::string a = "ch" + n + "a", b = "ch" + n + "b";
      commands += "link add " + a + " type veth peer name " + b + "\n" + "link set " + a +
                  " up\nlink set " + b + " up\n" + "addr add 198.51.100." + host + "/24 dev " + a +
                  "\naddr add 2001:db8:c::" + host + "/64 dev " + b + " nodad\n" +
                  "route add default via 198.51.100.254 dev " + a + " metric 100" + n + "\n" +
                  "link del ch" + std::to_string((rounds + 2) % 4) + "a\n";
    }
    // -force: a step that fails (a link already gone) does not end the batch.
    run("printf '" + commands + "' | ip -force -batch -");
  }
}

void checkAdapters(const std::vector<Properties>& adapters) {
  std::set<std::string> names;
  std::int32_t previous = 0;
  for (const auto& adapter : adapters) {
    const std::int32_t index = platform::toInt32(adapter.at("Index"));
    EXPECT_GT(index, previous) << "indexes ascend and repeat nowhere";
    previous = index;
    EXPECT_TRUE(names.insert(platform::toText(adapter.at("Name"))).second);
    EXPECT_EQ(adapter.at("DeviceID"), platform::Variant(std::to_string(index)));
  }
  EXPECT_TRUE(names.count("lo"));
  EXPECT_TRUE(names.count("keep0"));
}

void checkConfigurations(const std::vector<Properties>& configurations) {
  std::int32_t previous = 0;
  for (const auto& configuration : configurations) {
    const std::int32_t index = platform::toInt32(configuration.at("Index"));
    EXPECT_GT(index, previous);
    previous = index;
    const auto& addresses = configuration.at("IPAddress");
    const auto& masks = configuration.at("IPSubnet");
    ASSERT_EQ(platform::isNull(addresses), platform::isNull(masks));
    if (!platform::isNull(addresses)) {
      EXPECT_EQ(platform::toArray(addresses).size(), platform::toArray(masks).size());
      EXPECT_FALSE(platform::toArray(addresses).empty());
    }
    EXPECT_EQ(configuration.at("IPEnabled"), platform::Variant(true));
    EXPECT_EQ(platform::toText(configuration.at("SettingID")).size(), 38u);
  }
}

class ChurnTest : public ::testing::Test {
 protected:
  void SetUp() override {
    const std::string why = privateNetworkUnavailable();
    if (!why.empty()) GTEST_SKIP() << why;
  }
};

TEST_F(ChurnTest, SnapshotsHoldTogetherWhileLinksComeAndGo) {
  runInPrivateNetwork([] {
    stage("ip link set lo up");
    stage("ip link add keep0 type veth peer name keep1 && ip link set keep0 up");
    stage("ip addr add 192.0.2.1/24 dev keep0");
    std::atomic<bool> stop{false};
    int rounds = 0;
    std::thread churner([&] { churn(stop, rounds); });

    platform::linuxos::LinuxAdapterTable table;
    int tables = 0;
    for (int i = 0; i < kQueries && !::testing::Test::HasFatalFailure(); ++i) {
      try {
        checkAdapters(query(platform::kAdapterQuery, kAdapterNames));
        checkConfigurations(query(platform::kConfigurationQuery, kConfigurationNames));
      } catch (const basics::Error& error) {
        ADD_FAILURE() << "query " << i << " failed: " << error.description();
      }
      // The set may change between the two calls; that is a status, not a failure.
      std::uint32_t status = 0;
      const auto buffer = fetchTable(table, &status);
      if (status == platform::kSuccess) {
        ++tables;
        const auto records = readChain(buffer);
        // The set may also shrink between the calls: the chain is shorter than the buffer.
        EXPECT_LE(records.size() * platform::adapter_record::kSize, buffer.size());
        for (std::size_t r = 1; r < records.size(); ++r) {
          EXPECT_GT(records[r].index, records[r - 1].index);
        }
      } else {
        EXPECT_EQ(status, platform::kBufferOverflow);
      }
    }
    stop = true;
    churner.join();
    EXPECT_GT(rounds, 0);
    EXPECT_GT(tables, 0);
    RecordProperty("churnRounds", rounds);
  });
}

}  // namespace
}  // namespace platform_linux_test
