#include <gtest/gtest.h>

#include <ostream>

#include <chrono>
#include <optional>
#include <string>

#include "platform/linux/http_internet_transfer.h"
#include "probes/reachability_probe.h"
#include "tests/support/http_test_server.h"

namespace {

using namespace std::chrono_literals;
using tests_support::HttpReply;
using tests_support::HttpTestServer;

constexpr const char* kAgent = "{Brevan} WAN LAN TARNWICK 1.6";

platform::linuxos::HttpTransferConfig shortTimeouts() {
  platform::linuxos::HttpTransferConfig config;
  config.openConnectTimeout = 2s;
  config.openResponseTimeout = 300ms;
  return config;
}

HttpReply slowBody() {
  HttpReply reply = HttpReply::text("<html>the page</html>");
  reply.bodyDelay = 10s;
  return reply;
}

HttpReply afterDelay(std::chrono::milliseconds delay) {
  HttpReply reply = HttpReply::text("ok");
  reply.delay = delay;
  return reply;
}

struct Case {
  const char* name;
  std::optional<HttpReply> reply;  // none: nobody listens on the port
  std::string marker;
};

// Names the case in test listings instead of dumping its bytes.
[[maybe_unused]] void PrintTo(const Case& c, std::ostream* os) {
  *os << c.name;
}

class Reachability : public testing::TestWithParam<Case> {};

TEST_P(Reachability, MarkerAndNoHandleLeft) {
  std::optional<HttpTestServer> server;
  std::string url;
  if (GetParam().reply) {
    server.emplace();
    server->setReply(*GetParam().reply);
    url = server->url("");
  } else {
    url = HttpTestServer().url("");  // closed again at once
  }
  platform::linuxos::HttpInternetTransfer net(shortTimeouts());
  const auto started = std::chrono::steady_clock::now();
  EXPECT_EQ(probes::probeReachability(net, kAgent, url), GetParam().marker);
  EXPECT_LT(std::chrono::steady_clock::now() - started, 2s);
  EXPECT_EQ(net.openHandles(), 0u);
  if (server && !server->requests().empty()) {
    EXPECT_EQ(server->requests()[0].method, "GET");
    EXPECT_EQ(server->requests()[0].target, "/");
    EXPECT_EQ(server->requests()[0].header("User-Agent"), kAgent);
  }
}

INSTANTIATE_TEST_SUITE_P(
    Targets, Reachability,
    testing::Values(
        Case{"Ok", HttpReply::text("<html></html>"), "online"},
        Case{"NotFound", HttpReply::text("gone", 404), "online"},
        Case{"ServiceUnavailable", HttpReply::text("busy", 503), "online"},
        // The page's own redirect (to its https address, say) is the
        // page; one to another host is a sign-in page standing in
        // for every address.
        Case{"RedirectWithinTheHost", HttpReply::redirect("https://127.0.0.1/"), "online"},
        Case{"RelativeRedirect", HttpReply::redirect("/welcome"), "online"},
        Case{"RedirectToAnotherHost", HttpReply::redirect("http://portal.test/login?to=/"),
             "Offline"},
        Case{"NetworkAuthenticationRequired", HttpReply::text("Sign in", 511), "Offline"},
        // Open as soon as the headers are in; the body is not waited for.
        Case{"BodyNeverComes", slowBody(), "online"},
        Case{"AnswersWithinResponseTimeout", afterDelay(100ms), "online"},
        Case{"NeverAnswers", HttpReply::neverAnswer(), "Offline"},
        Case{"AnswersAfterResponseTimeout", afterDelay(1500ms), "Offline"},
        Case{"ClosesImmediately", HttpReply::closeImmediately(), "Offline"},
        Case{"ClosedPort", std::nullopt, "Offline"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(ReachabilityHandles, OpenCloseRules) {
  HttpTestServer server;
  platform::linuxos::HttpInternetTransfer net;
  EXPECT_FALSE(net.internetCloseHandle(0));
  EXPECT_EQ(net.internetOpenUrl(0, server.url(), {}), 0u);
  EXPECT_EQ(net.internetOpenUrl(12345, server.url(), {}), 0u);

  const auto internet = net.internetOpen(kAgent);
  ASSERT_NE(internet, 0u);
  const auto first = net.internetOpenUrl(internet, server.url(), {});
  const auto second = net.internetOpenUrl(internet, server.url(), {});
  ASSERT_NE(first, 0u);
  ASSERT_NE(second, 0u);
  EXPECT_NE(first, second);
  // A URL handle is no internet handle.
  EXPECT_EQ(net.internetOpenUrl(first, server.url(), {}), 0u);
  EXPECT_EQ(net.openHandles(), 3u);

  EXPECT_TRUE(net.internetCloseHandle(first));
  EXPECT_FALSE(net.internetCloseHandle(first));
  // Closing the internet handle takes the URL handles opened through it along.
  EXPECT_TRUE(net.internetCloseHandle(internet));
  EXPECT_EQ(net.openHandles(), 0u);
  EXPECT_FALSE(net.internetCloseHandle(second));
}

}  // namespace
