#include <gtest/gtest.h>

#include <ostream>

#include <chrono>
#include <functional>
#include <stop_token>
#include <string>
#include <thread>

#include "platform/linux/http_internet_transfer.h"
#include "tests/support/http_test_server.h"
#include "tests/support/stopped_call.h"

namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;
using tests_support::HttpReply;
using tests_support::HttpTestServer;

// Each call blocks on a server that never answers, with time-outs far longer
// than the test; a stop request must end it promptly.
struct Case {
  const char* name;
  HttpReply reply;
  std::function<bool(platform::InternetTransfer&, const std::string&, std::stop_token)> call;
  HttpReply warmUp = {};  // the reply to "/warm-up", which `call` may fetch first
};

// Names the case in test listings instead of dumping its bytes.
[[maybe_unused]] void PrintTo(const Case& c, std::ostream* os) {
  *os << c.name;
}

// A stopped request blames nothing on the network: what it had not reached
// when stopped has not failed.
bool blamesNothing(platform::Reach reach) {
  return reach == platform::Reach::NotTried || reach == platform::Reach::Answered;
}

bool fetch(platform::InternetTransfer& net, const std::string& url, std::stop_token stop) {
  const platform::FetchResult result = net.fetchText(url, {}, stop);
  return result.outcome == platform::FetchResult::Outcome::Cancelled &&
         blamesNothing(result.report.reach);
}

bool openUrl(platform::InternetTransfer& net, const std::string& url, std::stop_token stop) {
  const auto internet = net.internetOpen("agent");
  platform::RequestReport report;
  report.reach = platform::Reach::NoReply;  // to be overwritten
  const bool failed = net.internetOpenUrl(internet, url, stop, platform::kNoDeadline, &report) == 0;
  net.internetCloseHandle(internet);
  return failed && blamesNothing(report.reach);
}

// A fetch on the connection an answered one left open.
bool fetchOnAKeptConnection(platform::InternetTransfer& net, const std::string& url,
                            std::stop_token stop) {
  return net.fetchText(url + "warm-up", {}, {}).ok() && fetch(net, url, stop);
}

HttpReply keptAlive() {
  HttpReply reply = HttpReply::text("203.0.113.7");
  reply.keepAlive = true;
  return reply;
}

HttpReply trickle() {
  HttpReply reply = HttpReply::text("203.0.113.7");
  reply.bodyDelay = 1h;
  return reply;
}

HttpTestServer::Handler replies(const Case& c) {
  return [c](const tests_support::HttpRequest& request) {
    return request.target == "/warm-up" ? c.warmUp : c.reply;
  };
}

class Cancellation : public testing::TestWithParam<Case> {};

TEST_P(Cancellation, StopEndsAHangingRequestQuickly) {
  HttpTestServer server(replies(GetParam()));
  platform::linuxos::HttpTransferConfig config;
  // The stop request must wake the wait by itself: a stop seen only at the next
  // tick, or at the 30-second time-out, takes far longer than the bound below.
  config.tick = 20s;
  platform::linuxos::HttpInternetTransfer net(config);

  tests_support::expectStopEndsTheCall(
      net, [&](std::stop_token stop) { return GetParam().call(net, server.url(), stop); },
      [&] {
        // Let the request get under way before stopping it.
        for (int i = 0; i < 100 && server.requests().empty(); ++i) {
          std::this_thread::sleep_for(10ms);
        }
        EXPECT_FALSE(server.requests().empty());
        std::this_thread::sleep_for(50ms);
      });
}

TEST_P(Cancellation, AlreadyStoppedReturnsAtOnce) {
  HttpTestServer server(replies(GetParam()));
  platform::linuxos::HttpInternetTransfer net;
  std::stop_source stop;
  stop.request_stop();
  const Clock::time_point started = Clock::now();
  EXPECT_TRUE(GetParam().call(net, server.url(), stop.get_token()));
  EXPECT_LT(Clock::now() - started, 5s);  // far below the 30-second time-out
}

INSTANTIATE_TEST_SUITE_P(
    Calls, Cancellation,
    testing::Values(Case{"FetchNeverAnswered", HttpReply::neverAnswer(), fetch},
                    Case{"FetchBodyHangs", trickle(), fetch},
                    Case{"OpenUrlNeverAnswered", HttpReply::neverAnswer(), openUrl},
                    Case{"FetchOnAKeptConnectionNeverAnswered", HttpReply::neverAnswer(),
                         fetchOnAKeptConnection, keptAlive()}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
