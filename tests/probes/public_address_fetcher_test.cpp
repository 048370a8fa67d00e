#include "probes/public_address_fetcher.h"

#include <gtest/gtest.h>

#include <ostream>

#include <string>
#include <thread>
#include <vector>

#include "tests/fakes/fake_internet_transfer.h"

namespace {

using fakes::FakeInternetTransfer;
using Outcome = platform::FetchResult::Outcome;
using Words = std::vector<std::string>;

constexpr const char* kUrl = "http://echo.test/";

struct Case {
  const char* name;
  platform::FetchResult reply;
  Words words;
  bool timedOut;
};

[[maybe_unused]] void PrintTo(const Case& c, std::ostream* os) {
  *os << c.name;
}

class PublicAddressWords : public testing::TestWithParam<Case> {};

TEST_P(PublicAddressWords, OnlyASuccessfulReplyGivesWords) {
  FakeInternetTransfer net;
  net.replies = {GetParam().reply};
  platform::FetchOptions options;
  options.userAgent = "agent";
  probes::PublicAddressFetcher fetcher(net, kUrl, options);
  const Words words = fetcher.fetch();
  EXPECT_EQ(words, GetParam().words);
  EXPECT_EQ(fetcher.latestAddress(), words.empty() ? "" : words.back());
  EXPECT_EQ(fetcher.timedOut(), GetParam().timedOut);
  EXPECT_EQ(net.calls(), Words{std::string("fetch ") + kUrl});
  EXPECT_EQ(net.fetchOptions().at(0).userAgent, "agent");
}

INSTANTIATE_TEST_SUITE_P(
    Outcomes, PublicAddressWords,
    testing::Values(
        Case{"Address", FakeInternetTransfer::ok("203.0.113.7"), {"203.0.113.7"}, false},
        Case{
            "Sentence", FakeInternetTransfer::ok("IP: 203.0.113.7"), {"IP:", "203.0.113.7"}, false},
        Case{"EmptyBody", FakeInternetTransfer::ok(""), {}, false},
        Case{"LineEndIsNotPartOfTheAddress",
             FakeInternetTransfer::ok("Your IP is 203.0.113.7\r\n"),
             {"Your", "IP", "is", "203.0.113.7"},
             false},
        Case{"Ipv6", FakeInternetTransfer::ok("2001:db8::7\n"), {"2001:db8::7"}, false},
        // A sign-in page answers 200 too: a reply whose last word is no
        // address is no reply.
        Case{"SignInPage",
             FakeInternetTransfer::ok("<html><body>Please sign in to continue</body></html>"),
             {},
             false},
        Case{"AddressLikeButNot", FakeInternetTransfer::ok("203.0.113.256"), {}, false},
        Case{"AddressWithMore", FakeInternetTransfer::ok("203.0.113.7:80"), {}, false},
        // Addresses nothing past this network can have seen: whatever
        // answered, it was not the echo service on the internet.
        Case{"Loopback", FakeInternetTransfer::ok("127.0.0.1"), {}, false},
        Case{"Unspecified", FakeInternetTransfer::ok("::"), {}, false},
        Case{"PrivateUse", FakeInternetTransfer::ok("Your IP is 192.168.1.20"), {}, false},
        Case{"Zoned", FakeInternetTransfer::ok("fe80::1%eth0"), {}, false},
        Case{"TrailingSpaceAndBreak",
             FakeInternetTransfer::ok("203.0.113.7 \n"),
             {"203.0.113.7"},
             false},
        Case{"HttpError", FakeInternetTransfer::failure(Outcome::HttpError, 503), {}, false},
        Case{"TooLarge", FakeInternetTransfer::failure(Outcome::TooLarge, 200), {}, false},
        Case{"Failed", FakeInternetTransfer::failure(Outcome::Failed), {}, false},
        Case{"Cancelled", FakeInternetTransfer::failure(Outcome::Cancelled), {}, false},
        Case{"TimedOut", FakeInternetTransfer::failure(Outcome::TimedOut), {}, true}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(PublicAddressFetcher, StopsRequestingOnceALoadHasTimedOut) {
  FakeInternetTransfer net;
  net.replies = {
      FakeInternetTransfer::ok("203.0.113.7"), FakeInternetTransfer::failure(Outcome::Failed),
      FakeInternetTransfer::failure(Outcome::TimedOut), FakeInternetTransfer::ok("203.0.113.8")};
  probes::PublicAddressFetcher fetcher(net, kUrl, {});
  EXPECT_EQ(fetcher.fetch(), Words{"203.0.113.7"});
  EXPECT_EQ(fetcher.fetch(), Words{});  // a plain failure does not stop the load
  EXPECT_FALSE(fetcher.timedOut());
  EXPECT_EQ(fetcher.fetch(), Words{});
  EXPECT_TRUE(fetcher.timedOut());
  for (int i = 0; i < 18; ++i) EXPECT_EQ(fetcher.fetch(), Words{});
  EXPECT_EQ(fetcher.requestsMade(), 3);
  EXPECT_EQ(net.fetchCount(), 3);

  // The next load starts afresh.
  probes::PublicAddressFetcher nextLoad(net, kUrl, {});
  EXPECT_EQ(nextLoad.fetch(), Words{"203.0.113.8"});
}

TEST(PublicAddressFetcher, NoRequestOnceStoppedOrOutOfTime) {
  FakeInternetTransfer net;
  net.defaultReply = FakeInternetTransfer::ok("203.0.113.7");
  probes::PublicAddressFetcher fetcher(net, kUrl, {});
  std::stop_source stop;
  stop.request_stop();
  EXPECT_EQ(fetcher.fetch(stop.get_token()), Words{});
  EXPECT_EQ(net.fetchCount(), 0);

  // Once the load's time is spent, no request starts and the load has timed out.
  platform::FetchOptions spent;
  spent.deadline = std::chrono::steady_clock::now();
  probes::PublicAddressFetcher late(net, kUrl, spent);
  EXPECT_EQ(late.fetch(), Words{});
  EXPECT_TRUE(late.timedOut());
  EXPECT_EQ(net.fetchCount(), 0);
}

TEST(PublicAddressFetcher, PassesUrlOptionsAndStopToken) {
  FakeInternetTransfer net;
  std::stop_source stop;
  bool sawToken = false;
  net.onFetch = [&](const std::string& url, const platform::FetchOptions& options,
                    std::stop_token token) {
    EXPECT_EQ(url, kUrl);
    EXPECT_EQ(options.timeout, std::chrono::milliseconds(1234));
    sawToken = token.stop_possible();
    return FakeInternetTransfer::ok("203.0.113.7");
  };
  platform::FetchOptions options;
  options.timeout = std::chrono::milliseconds(1234);
  probes::PublicAddressFetcher fetcher(net, kUrl, options);
  EXPECT_EQ(fetcher.fetch(stop.get_token()), Words{"203.0.113.7"});
  EXPECT_TRUE(sawToken);
}

// The echo service answered, then a request heard nothing until the load's
// time ran out: the way out has gone, unless that silence was no longer than
// the service's answers take (a slow service cut short by the budget).
TEST(PublicAddressFetcher, SilenceAfterAnswersLongerThanTheyTakeMeansTheWayHasGone) {
  using namespace std::chrono_literals;
  using Clock = probes::PublicAddressFetcher::Clock;
  struct SilenceCase {
    const char* name;
    std::chrono::milliseconds answerTakes;  // each of the two answers
    std::chrono::milliseconds timedOutAfter;
    bool answeredFirst;
    bool wentSilent;
  };
  const SilenceCase cases[] = {
      {"dead after answers", 600ms, 25s, true, true},
      {"cut short while slow", 1500ms, 1s, true, false},
      {"slow answers, long wait", 3s, 11s, true, false},
      {"slow answers, longer wait", 3s, 12s, true, true},
      {"never answered", 0ms, 25s, false, false},
  };
  for (const SilenceCase& c : cases) {
    SCOPED_TRACE(c.name);
    Clock::time_point now{};
    FakeInternetTransfer net;
    int call = 0;
    net.onFetch = [&](const std::string&, const platform::FetchOptions&, std::stop_token) {
      if (++call <= 2) {
        now += c.answerTakes;
        return c.answeredFirst ? FakeInternetTransfer::ok("203.0.113.7")
                               : FakeInternetTransfer::failure(Outcome::Failed);
      }
      now += c.timedOutAfter;
      return FakeInternetTransfer::failure(Outcome::TimedOut);
    };
    probes::PublicAddressFetcher fetcher(net, kUrl, {}, [&] { return now; });
    for (int i = 0; i < 3; ++i) fetcher.fetch();
    EXPECT_EQ(fetcher.wentSilent(), c.wentSilent);
    EXPECT_EQ(fetcher.latestAddress(), c.answeredFirst ? "203.0.113.7" : "");
  }
}

// Background fetches of one load, one after another on fresh threads as the
// ticks make them: the time-out seen on one thread holds for the next.
TEST(PublicAddressFetcher, TimeOutSeenAcrossThreads) {
  FakeInternetTransfer net;
  net.defaultReply = FakeInternetTransfer::failure(Outcome::TimedOut);
  probes::PublicAddressFetcher fetcher(net, kUrl, {});
  for (int i = 0; i < 21; ++i) {
    std::jthread tick([&] { fetcher.fetch(); });
  }
  EXPECT_EQ(net.fetchCount(), 1);
}

}  // namespace
