#include "probes/reachability_probe.h"

#include <gtest/gtest.h>

#include <ostream>

#include <optional>
#include <string>
#include <vector>

#include "basics/error.h"
#include "tests/fakes/fake_internet_transfer.h"

namespace {

using Calls = std::vector<std::string>;

constexpr const char* kAgent = "{Brevan} WAN LAN TARNWICK 1.6";
constexpr const char* kTarget = "http://reach.test";

struct Case {
  const char* name;
  platform::InternetTransfer::Handle open;
  platform::InternetTransfer::Handle openUrl;
  std::optional<std::string> marker;
  Calls calls;
};

[[maybe_unused]] void PrintTo(const Case& c, std::ostream* os) {
  *os << c.name;
}

class ReachabilityProbe : public testing::TestWithParam<Case> {};

TEST_P(ReachabilityProbe, MarkerAndHandleCalls) {
  fakes::FakeInternetTransfer net;
  net.openResult = GetParam().open;
  net.openUrlResult = GetParam().openUrl;
  EXPECT_EQ(probes::probeReachability(net, kAgent, kTarget), GetParam().marker);
  EXPECT_EQ(net.calls(), GetParam().calls);
}

INSTANTIATE_TEST_SUITE_P(
    Outcomes, ReachabilityProbe,
    testing::Values(
        Case{"Opens",
             7,
             9,
             "online",
             {std::string("open ") + kAgent, std::string("openUrl 7 ") + kTarget, "close 9",
              "close 7"}},
        Case{"UrlFails",
             7,
             0,
             "Offline",
             {std::string("open ") + kAgent, std::string("openUrl 7 ") + kTarget, "close 7"}},
        // No internet handle: no open-URL, no marker, and the close still goes out.
        Case{"NoHandle", 0, 9, std::nullopt, {std::string("open ") + kAgent, "close 0"}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(ReachabilityProbeErrors, InternetHandleClosedWhenOpenUrlThrows) {
  fakes::FakeInternetTransfer net;
  net.openResult = 7;
  net.onOpenUrl = [](auto, const std::string&,
                     std::stop_token) -> platform::InternetTransfer::Handle {
    throw basics::Error(12029, "WinINet", "cannot connect");
  };
  EXPECT_THROW(probes::probeReachability(net, kAgent, kTarget), basics::Error);
  EXPECT_EQ(net.calls().back(), "close 7");
}

}  // namespace
