#include <gtest/gtest.h>

#include <ostream>

#include <chrono>
#include <cstdlib>
#include <optional>
#include <string>

#include "platform/linux/http_internet_transfer.h"
#include "probes/reachability_probe.h"
#include "tests/support/http_test_server.h"

namespace {

using namespace std::chrono_literals;
using platform::Reach;
using tests_support::HttpReply;
using tests_support::HttpTestServer;

constexpr const char* kAgent = "{Brevan} WAN LAN TARNWICK 1.6";

platform::linuxos::HttpTransferConfig shortTimeouts() {
  platform::linuxos::HttpTransferConfig config;
  config.openConnectTimeout = 2s;
  config.openResponseTimeout = 1s;
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
  Reach reach;
  // The server stands in as the user's proxy (http_proxy), asked for a URL
  // whose own port is closed.
  bool proxy = false;
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
  const std::string target = GetParam().proxy ? HttpTestServer().url("/") : url;
  if (GetParam().proxy) setenv("http_proxy", url.c_str(), 1);
  platform::linuxos::HttpInternetTransfer net(shortTimeouts());
  const auto started = std::chrono::steady_clock::now();
  EXPECT_EQ(probes::probeReachability(net, kAgent, target), GetParam().marker);
  // Within the shortened limits (the defaults are 30 s each).
  EXPECT_LT(std::chrono::steady_clock::now() - started, 10s);
  EXPECT_EQ(net.openHandles(), 0u);
  if (server && !server->requests().empty()) {
    EXPECT_EQ(server->requests()[0].method, "GET");
    EXPECT_EQ(server->requests()[0].target, GetParam().proxy ? target : "/");
    EXPECT_EQ(server->requests()[0].header("User-Agent"), kAgent);
  }

  // How far it got, asked again of the same server.
  platform::RequestReport report;
  const auto internet = net.internetOpen(kAgent);
  const auto opened = net.internetOpenUrl(internet, target, {}, platform::kNoDeadline, &report);
  net.internetCloseHandle(internet);
  unsetenv("http_proxy");
  EXPECT_EQ(opened != 0, GetParam().marker == "online");
  EXPECT_EQ(report.reach, GetParam().reach);
  EXPECT_EQ(report.viaProxy, GetParam().proxy);
}

INSTANTIATE_TEST_SUITE_P(
    Targets, Reachability,
    testing::Values(
        Case{"Ok", HttpReply::text("<html></html>"), "online", Reach::Answered},
        Case{"NotFound", HttpReply::text("gone", 404), "online", Reach::Answered},
        Case{"ServiceUnavailable", HttpReply::text("busy", 503), "online", Reach::Answered},
        // The page's own redirect (to its https address, say) is the
        // page; one to another host is a sign-in page standing in
        // for every address.
        Case{"RedirectWithinTheHost", HttpReply::redirect("https://127.0.0.1/"), "online",
             Reach::Answered},
        Case{"RelativeRedirect", HttpReply::redirect("/welcome"), "online", Reach::Answered},
        Case{"RedirectToAnotherHost", HttpReply::redirect("http://portal.test/login?to=/"),
             "Offline", Reach::SignInPage},
        Case{"NetworkAuthenticationRequired", HttpReply::text("Sign in", 511), "Offline",
             Reach::SignInPage},
        // Open as soon as the headers are in; the body is not waited for.
        Case{"BodyNeverComes", slowBody(), "online", Reach::Answered},
        Case{"AnswersWithinResponseTimeout", afterDelay(100ms), "online", Reach::Answered},
        Case{"NeverAnswers", HttpReply::neverAnswer(), "Offline", Reach::NoReply},
        Case{"AnswersAfterResponseTimeout", afterDelay(30s), "Offline", Reach::NoReply},
        Case{"ClosesImmediately", HttpReply::closeImmediately(), "Offline", Reach::NoReply},
        Case{"ClosedPort", std::nullopt, "Offline", Reach::NoConnection},
        // Through the user's proxy: a proxy that wants credentials has not
        // opened the page, and a proxy that fails in any way is what failed.
        Case{"ProxyAnswers", HttpReply::text("<html></html>"), "online", Reach::Answered, true},
        Case{"ProxyWantsCredentials", HttpReply::text("Proxy Authentication Required", 407),
             "Offline", Reach::ProxyFailed, true},
        Case{"ProxyNeverAnswers", HttpReply::neverAnswer(), "Offline", Reach::ProxyFailed, true},
        Case{"ProxyPortClosed", std::nullopt, "Offline", Reach::ProxyFailed, true}),
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
