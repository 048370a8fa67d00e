// WinINet against the loopback HTTP test server (a program of the machine
// running Wine, started by run_in_private_network.sh with --routes).
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <functional>
#include <ostream>
#include <stop_token>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "platform/windows/wininet_proxy.h"
#include "platform/windows/wininet_transfer.h"
#include "probes/reachability_probe.h"
#include "tests/support/stopped_call.h"

namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;
using Outcome = platform::FetchResult::Outcome;
using platform::Reach;

constexpr std::size_t kMiB = 1024 * 1024;
// Latin-1 letters, so the ANSI code page matters on the way out.
constexpr const char* kAgent = "{Brevan} WAN LAN TARNWICK 1.6 \xc3\xa9";

std::string server(const std::string& path) {
  const char* base = std::getenv("TARNWICK_TEST_SERVER");
  return base == nullptr ? std::string() : base + path;
}

class WithServer : public testing::Test {
 protected:
  void SetUp() override {
    if (std::getenv("TARNWICK_TEST_SERVER") == nullptr) {
      GTEST_SKIP() << "needs the test server run_in_private_network.sh starts";
    }
  }
};

struct Case {
  const char* name;
  std::string path;
  Outcome outcome;
  long status;
  std::size_t bodySize;  // of an Ok body
  Reach reach;           // how far the fetch is said to have got
  std::chrono::milliseconds timeout = 5s;
};

[[maybe_unused]] void PrintTo(const Case& c, std::ostream* os) {
  *os << c.name;
}

class FetchText : public testing::WithParamInterface<Case>, public WithServer {};

TEST_P(FetchText, OutcomeAndNoHandleLeft) {
  platform::windows::WinInetTransfer net;
  platform::FetchOptions options;
  options.userAgent = kAgent;
  options.timeout = GetParam().timeout;
  const auto started = Clock::now();
  const platform::FetchResult result = net.fetchText(server(GetParam().path), options, {});
  EXPECT_EQ(result.outcome, GetParam().outcome);
  EXPECT_EQ(result.httpStatus, GetParam().status);
  EXPECT_EQ(result.body.size(), GetParam().bodySize);
  EXPECT_EQ(result.report.reach, GetParam().reach);
  EXPECT_FALSE(result.report.viaProxy);
  // The time-out is honoured: far below the system's own minute-long waits,
  // with room for a loaded machine and Wine.
  EXPECT_LT(Clock::now() - started, GetParam().timeout + 5s);
  EXPECT_EQ(net.openHandles(), 0u);
}

INSTANTIATE_TEST_SUITE_P(
    Replies, FetchText,
    testing::Values(
        Case{"Address", "/address", Outcome::Ok, 200, 11, Reach::Answered},
        Case{"ServiceUnavailablePage", "/status/503", Outcome::HttpError, 503, 0, Reach::Answered},
        Case{"SignInPage", "/status/511", Outcome::HttpError, 511, 0, Reach::SignInPage},
        Case{"ProxyWantsCredentials", "/status/407", Outcome::HttpError, 407, 0,
             Reach::ProxyFailed},
        Case{"ExactlyOneMiB", "/bytes/1048576", Outcome::Ok, 200, kMiB, Reach::Answered},
        Case{"TwoMiB", "/bytes/2097152", Outcome::TooLarge, 200, 0, Reach::Answered},
        Case{"FiveRedirects", "/redirect/5", Outcome::Ok, 200, 11, Reach::Answered},
        Case{"SixRedirects", "/redirect/6", Outcome::Failed, 302, 0, Reach::Answered},
        // A 3xx that is not followed is no page, whatever its body.
        Case{"RedirectionNotFollowed", "/status/300", Outcome::Failed, 300, 0, Reach::Answered},
        Case{"NeverAnswers", "/never", Outcome::TimedOut, 0, 0, Reach::NoReply, 300ms}),
    [](const auto& info) { return std::string(info.param.name); });

// Whether a request is said to go through a proxy rests on this reading of the
// session's proxy and bypass lists.
TEST(ProxyServes, SchemeEntriesAndBypassList) {
  const struct {
    const char* proxies;
    const char* bypass;
    const char* url;
    bool proxied;
  } rows[] = {
      {"10.0.0.1:3128", "", "http://example.com/", true},
      {"", "", "http://example.com/", false},
      {"http=p:1", "", "https://example.com/", false},  // a proxy for http alone
      {"http=p:1 https=p:2", "", "HTTPS://example.com/", true},
      {"p:1", "<local>", "http://intranet/", false},
      {"p:1", "<local>", "http://example.com/", true},
      {"p:1", "*.example.com;10.*", "http://user@WWW.Example.com:8080/x", false},
      {"p:1", "*.example.com", "http://example.com/", true},
      {"p:1", "10.*", "http://10.1.2.3/", false},
  };
  for (const auto& row : rows) {
    EXPECT_EQ(platform::windows::proxyServes(row.proxies, row.bypass, row.url), row.proxied)
        << row.proxies << " / " << row.bypass << " / " << row.url;
  }
}

// A load's 21 echo requests share one connection where the server keeps it,
// though each fetch runs in a WinINet session of its own: WinINet keeps
// connections for the process.
TEST_F(WithServer, FetchesReuseAKeptConnection) {
  platform::windows::WinInetTransfer net;
  const auto connections = [&] {
    return std::stoi(net.fetchText(server("/connections"), {}, {}).body);
  };
  const int before = connections();
  for (int i = 0; i < 5; ++i) {
    EXPECT_EQ(net.fetchText(server("/kept/address"), {}, {}).body, "203.0.113.7");
  }
  // One new connection for the five, and perhaps one for the count itself.
  EXPECT_LE(connections() - before, 2);
}

TEST_F(WithServer, FetchSendsTheAgentInTheAnsiCodePageAndOnlyFollowsWebAddresses) {
  platform::windows::WinInetTransfer net;
  platform::FetchOptions options;
  options.userAgent = kAgent;
  const platform::FetchResult result = net.fetchText(server("/agent"), options, {});
  ASSERT_EQ(result.outcome, Outcome::Ok);
  // The server's Latin-1 byte comes back as the lossy decoder's replacement.
  EXPECT_EQ(result.body, "{Brevan} WAN LAN TARNWICK 1.6 \xef\xbf\xbd");
  EXPECT_EQ(net.fetchText("file:///C:/windows/win.ini", options, {}).outcome, Outcome::Failed);
}

TEST_F(WithServer, ReachabilityCountsAnyResponseAndTimesOut) {
  platform::windows::WinInetConfig config;
  config.openTimeout = 300ms;
  platform::windows::WinInetTransfer net(config);
  EXPECT_EQ(probes::probeReachability(net, kAgent, server("/status/503")), "online");
  EXPECT_EQ(probes::probeReachability(net, kAgent, server("/redirect/1")), "online");
  const struct {
    const char* path;
    Reach reach;  // none of them opens
  } closed[] = {{"/status/511", Reach::SignInPage},
                // A proxy that wants credentials has let nothing through.
                {"/status/407", Reach::ProxyFailed},
                {"/never", Reach::NoReply}};
  const auto internet = net.internetOpen(kAgent);
  for (const auto& row : closed) {
    SCOPED_TRACE(row.path);
    const auto started = Clock::now();
    platform::RequestReport report;
    EXPECT_EQ(net.internetOpenUrl(internet, server(row.path), {}, platform::kNoDeadline, &report),
              0u);
    EXPECT_EQ(report.reach, row.reach);
    EXPECT_LT(Clock::now() - started, 5s);
  }
  net.internetCloseHandle(internet);
  EXPECT_EQ(net.openHandles(), 0u);
}

// A request stopped in each of its phases, at several moments of each: it
// ends at once, leaves no handle open, and makes no WinINet call on a handle
// it has closed. The waits are far longer than the test: a resolver that never
// answers, an address that never accepts (both staged by
// run_in_private_network.sh), a server that never answers, a body that never
// comes.
struct Phase {
  const char* name;
  std::string url;
  bool headersCome = false;  // the reachability open is done before the stop
};

std::vector<Phase> phases() {
  const auto fromEnvironment = [](const char* name) {
    const char* value = std::getenv(name);
    return value == nullptr ? std::string() : std::string(value);
  };
  return {{"lookup", fromEnvironment("TARNWICK_TEST_SILENT_LOOKUP")},
          {"connect", fromEnvironment("TARNWICK_TEST_SILENT_CONNECT")},
          {"headers", server("/never")},
          {"body", server("/trickle"), true}};
}

struct Call {
  const char* name;
  std::function<bool(platform::InternetTransfer&, const std::string&, std::stop_token)> run;
  bool readsBody;
};

bool fetch(platform::InternetTransfer& net, const std::string& url, std::stop_token stop) {
  return net.fetchText(url, {}, stop).outcome == Outcome::Cancelled;
}

bool openUrl(platform::InternetTransfer& net, const std::string& url, std::stop_token stop) {
  const auto internet = net.internetOpen(kAgent);
  const bool failed = internet != 0 && net.internetOpenUrl(internet, url, stop) == 0;
  net.internetCloseHandle(internet);
  return failed;
}

TEST_F(WithServer, StopInEveryPhaseEndsTheRequestAndTouchesNoClosedHandle) {
  const Call calls[] = {{"fetch", fetch, true}, {"open URL", openUrl, false}};
  // -1: stopped before the call starts.
  const int stopAfterMs[] = {-1, 0, 2, 10, 40, 150, 400};
  platform::windows::WinInetTransfer net;
  for (const Phase& phase : phases()) {
    if (phase.url.empty()) {
      ADD_FAILURE() << "run_in_private_network.sh stages no silent " << phase.name;
      continue;
    }
    for (const Call& call : calls) {
      if (phase.headersCome && !call.readsBody) continue;
      for (const int after : stopAfterMs) {
        SCOPED_TRACE(std::string(phase.name) + ", " + call.name + ", stopped after " +
                     std::to_string(after) + " ms");
        std::stop_source stop;
        if (after < 0) stop.request_stop();
        tests_support::expectStopEndsTheCall(
            net, [&](std::stop_token token) { return call.run(net, phase.url, token); },
            [&] { std::this_thread::sleep_for(std::chrono::milliseconds(std::max(after, 0))); },
            stop);
      }
    }
  }
  EXPECT_EQ(net.callsAfterClose(), 0);
}

// WinINet's time-outs do not say where they struck: the request's notices
// place it. A refused connection is told at once.
TEST_F(WithServer, OutOfTimeInEachPhaseSaysHowFarTheRequestGot) {
  const std::vector<Phase> waits = phases();
  const std::pair<Phase, Reach> rows[] = {
      {waits[0], Reach::NoName},
      {waits[1], Reach::NoConnection},
      {waits[2], Reach::NoReply},
      {{"refused", "http://127.0.0.1:1/"}, Reach::NoConnection}};
  platform::windows::WinInetTransfer net;
  for (const auto& [phase, reach] : rows) {
    SCOPED_TRACE(phase.name);
    platform::FetchOptions options;
    options.timeout = 500ms;
    EXPECT_EQ(net.fetchText(phase.url, options, {}).report.reach, reach);
    const auto internet = net.internetOpen(kAgent);
    platform::RequestReport report;
    EXPECT_EQ(net.internetOpenUrl(internet, phase.url, {}, Clock::now() + 500ms, &report), 0u);
    EXPECT_EQ(report.reach, reach);
    net.internetCloseHandle(internet);
  }
  EXPECT_EQ(net.openHandles(), 0u);
}

}  // namespace
