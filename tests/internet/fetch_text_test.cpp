#include <gtest/gtest.h>

#include <ostream>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <string>
#include <vector>

#include "platform/linux/http_internet_transfer.h"
#include "probes/word_list.h"
#include "tests/support/http_test_server.h"

namespace {

using namespace std::chrono_literals;
using Outcome = platform::FetchResult::Outcome;
using platform::Reach;
using tests_support::HttpReply;
using tests_support::HttpTestServer;
using Words = std::vector<std::string>;

constexpr std::size_t kMiB = 1024 * 1024;

HttpReply withFiller(std::size_t bytes, bool sendLength) {
  HttpReply reply = HttpReply::text("");
  reply.fillerBytes = bytes;
  reply.sendLength = sendLength;
  return reply;
}

// The body in chunks, as servers send replies whose length they do not know.
HttpReply chunked(std::string chunks) {
  HttpReply reply = HttpReply::text(std::move(chunks));
  reply.sendLength = false;
  reply.headers.push_back({"Transfer-Encoding", "chunked"});
  return reply;
}

// "100 Continue" without end: refused within the limits on interim replies.
HttpReply interimFlood() {
  HttpReply reply = HttpReply::asIs("");
  reply.repeated = "HTTP/1.1 100 Continue\r\n\r\n";
  return reply;
}

HttpReply delayed(HttpReply reply, std::chrono::milliseconds delay) {
  reply.delay = delay;
  return reply;
}

struct Case {
  const char* name;
  HttpReply reply;
  Outcome outcome;
  long status;
  Words words;
  std::chrono::milliseconds timeout = 5s;
  // A head read whole is an answer, whatever follows; anything short of one is none.
  Reach reach = Reach::Answered;
};

// Names the case in test listings instead of dumping its bytes.
[[maybe_unused]] void PrintTo(const Case& c, std::ostream* os) {
  *os << c.name;
}

class FetchText : public testing::TestWithParam<Case> {};

TEST_P(FetchText, OutcomeAndWords) {
  HttpTestServer server;
  server.setReply(GetParam().reply);
  platform::linuxos::HttpInternetTransfer net;
  platform::FetchOptions options;
  options.userAgent = "{Brevan} WAN LAN TARNWICK 1.6";
  options.timeout = GetParam().timeout;

  const platform::FetchResult result = net.fetchText(server.url("/"), options, {});
  EXPECT_EQ(result.outcome, GetParam().outcome);
  EXPECT_EQ(result.httpStatus, GetParam().status);
  EXPECT_EQ(result.report.reach, GetParam().reach);
  EXPECT_FALSE(result.report.viaProxy);
  // The body as it came, in the echo reply's words.
  EXPECT_EQ(probes::splitWords(result.body), GetParam().words);

  const auto requests = server.requests();
  ASSERT_FALSE(requests.empty());
  EXPECT_EQ(requests[0].method, "GET");
  EXPECT_EQ(requests[0].target, "/");
  EXPECT_EQ(requests[0].header("User-Agent"), "{Brevan} WAN LAN TARNWICK 1.6");
  // Nothing that would let a server send a compressed bomb.
  EXPECT_EQ(requests[0].header("Accept-Encoding"), "");
}

INSTANTIATE_TEST_SUITE_P(
    Replies, FetchText,
    testing::Values(
        Case{"AddressAlone", HttpReply::text("203.0.113.7"), Outcome::Ok, 200, {"203.0.113.7"}},
        Case{"Sentence",
             HttpReply::text("Your IP is 203.0.113.7"),
             Outcome::Ok,
             200,
             {"Your", "IP", "is", "203.0.113.7"}},
        Case{"TrailingSpace",
             HttpReply::text("203.0.113.7 "),
             Outcome::Ok,
             200,
             {"203.0.113.7", ""}},
        Case{"TrailingLineBreak",
             HttpReply::text("203.0.113.7\n"),
             Outcome::Ok,
             200,
             {"203.0.113.7\n"}},
        Case{"TwoSpaces",
             HttpReply::text("IP:  203.0.113.7"),
             Outcome::Ok,
             200,
             {"IP:", "", "203.0.113.7"}},
        Case{"EmptyBody", HttpReply::text(""), Outcome::Ok, 200, {}},
        Case{"NoContent", HttpReply::text("", 204), Outcome::Ok, 204, {}},
        Case{"InvalidUtf8Replaced",
             HttpReply::text("IP \xFF"
                             "1"),
             Outcome::Ok,
             200,
             {"IP",
              "\xEF\xBF\xBD"
              "1"}},
        Case{"ServiceUnavailablePage",
             HttpReply::text("<h1>503 Service Unavailable</h1>", 503),
             Outcome::HttpError,
             503,
             {}},
        Case{"NotFoundPage", HttpReply::text("Not Found", 404), Outcome::HttpError, 404, {}},
        Case{"SignInPage",
             HttpReply::text("Sign in", 511),
             Outcome::HttpError,
             511,
             {},
             5s,
             Reach::SignInPage},
        Case{"ExactlyOneMiB", withFiller(kMiB, true), Outcome::Ok, 200, {std::string(kMiB, 'x')}},
        Case{"OneByteOver", withFiller(kMiB + 1, true), Outcome::TooLarge, 200, {}},
        Case{"TwoMiBDeclared", withFiller(2 * kMiB, true), Outcome::TooLarge, 200, {}},
        Case{"TwoMiBUndeclared", withFiller(2 * kMiB, false), Outcome::TooLarge, 200, {}},
        Case{"NeverAnswers",
             HttpReply::neverAnswer(),
             Outcome::TimedOut,
             0,
             {},
             300ms,
             Reach::NoReply},
        Case{"AnswersTooLate",
             delayed(HttpReply::text("203.0.113.7"), 2s),
             Outcome::TimedOut,
             0,
             {},
             300ms,
             Reach::NoReply},
        Case{"AnswersInTime",
             delayed(HttpReply::text("203.0.113.7"), 100ms),
             Outcome::Ok,
             200,
             {"203.0.113.7"},
             2s},
        Case{"ClosesImmediately",
             HttpReply::closeImmediately(),
             Outcome::Failed,
             0,
             {},
             5s,
             Reach::NoReply},
        Case{"Chunked",
             chunked("5;ext=1\r\n203.0\r\n6\r\n.113.7\r\n0\r\n\r\n"),
             Outcome::Ok,
             200,
             {"203.0.113.7"}},
        Case{"ChunkOverTheLimit", chunked("200001\r\n"), Outcome::TooLarge, 200, {}},
        Case{"ChunkCutOff", chunked("10\r\nshort"), Outcome::Failed, 200, {}},
        Case{"ChunkSizeWithSpaces", chunked(" 5 \r\n203.0\r\n0\r\n\r\n"), Outcome::Failed, 200, {}},
        Case{"InterimReplyFlood", interimFlood(), Outcome::Failed, 100, {}, 5s, Reach::NoReply},
        Case{"FourDigitStatus",
             HttpReply::asIs("HTTP/1.1 2000 OK\r\nContent-Length: 11\r\n\r\n203.0.113.7"),
             Outcome::Failed,
             0,
             {},
             5s,
             Reach::NoReply},
        Case{"LengthsThatDisagree",
             HttpReply::asIs("HTTP/1.1 200 OK\r\nContent-Length: 11\r\nContent-Length: "
                             "3\r\n\r\n203.0.113.7"),
             Outcome::Failed,
             200,
             {}},
        // The head ends at its first blank line, even when a blank line of the
        // other kind comes later in the body.
        Case{"BareLineFeedsAndABlankLineInTheBody",
             HttpReply::asIs("HTTP/1.1 200 OK\nContent-Length: 15\n\n203.0.113.7\r\n\r\n"),
             Outcome::Ok,
             200,
             {"203.0.113.7\r\n\r\n"}},
        // A line that starts with a blank continues the field before it: no
        // length here, so the body runs to the close.
        Case{"FoldedLineIsNoField",
             HttpReply::asIs("HTTP/1.1 200 OK\r\nX-Note: a\r\n Content-Length: 3\r\n\r\n"
                             "203.0.113.7"),
             Outcome::Ok,
             200,
             {"203.0.113.7"}},
        // Framings that readers disagree on, or that this client cannot read.
        Case{"ChunkDataWithoutItsLineEnd",
             chunked("5\r\n203.0xx\r\n0\r\n\r\n"),
             Outcome::Failed,
             200,
             {}},
        Case{"LengthBesideChunked",
             HttpReply::asIs("HTTP/1.1 200 OK\r\nContent-Length: 3\r\nTransfer-Encoding: "
                             "chunked\r\n\r\nb\r\n203.0.113.7\r\n0\r\n\r\n"),
             Outcome::Failed,
             200,
             {}},
        // Over the head's limit of 64 KiB, even when its end came in the same read.
        Case{"HeadOverItsLimit",
             HttpReply::asIs("HTTP/1.1 200 OK\r\nX: " + std::string(70 * 1024, 'a') +
                             "\r\n\r\n203.0.113.7"),
             Outcome::Failed,
             0,
             {},
             5s,
             Reach::NoReply}),
    [](const auto& info) { return std::string(info.param.name); });

HttpReply keptAlive(HttpReply reply) {
  reply.keepAlive = true;
  return reply;
}

// A series of fetches through one transfer, as a gathering makes them, then
// one more after the transfer is told a new gathering begins.
struct SeriesCase {
  const char* name;
  // The n-th request the server reads gets the n-th reply; later ones the last.
  std::vector<HttpReply> replies;
  int connections;  // in the series
  int requests;
  int failed = 0;  // fetches of the series that fail
};

[[maybe_unused]] void PrintTo(const SeriesCase& c, std::ostream* os) {
  *os << c.name;
}

class FetchSeries : public testing::TestWithParam<SeriesCase> {};

TEST_P(FetchSeries, ConnectionsAndLookups) {
  constexpr int kFetches = 21;
  const std::vector<HttpReply> replies = GetParam().replies;
  std::atomic<std::size_t> served{0};
  HttpTestServer server([&](const tests_support::HttpRequest&) {
    return replies[std::min(served++, replies.size() - 1)];
  });
  platform::linuxos::HttpInternetTransfer net;
  platform::FetchOptions options;
  options.timeout = 5s;

  int failed = 0;
  for (int i = 0; i < kFetches; ++i) {
    const platform::FetchResult result = net.fetchText(server.url(), options, {});
    if (!result.ok()) {
      ++failed;
    } else {
      EXPECT_EQ(result.body, "203.0.113.7") << "fetch " << i;
    }
  }
  EXPECT_EQ(failed, GetParam().failed);
  EXPECT_EQ(server.connections(), GetParam().connections);
  EXPECT_EQ(static_cast<int>(server.requests().size()), GetParam().requests);
  EXPECT_EQ(net.lookups(), 1u);

  // A new gathering neither reuses a connection nor trusts an earlier lookup.
  net.startAfresh();
  EXPECT_TRUE(net.fetchText(server.url(), options, {}).ok());
  EXPECT_EQ(server.connections(), GetParam().connections + 1);
  EXPECT_EQ(net.lookups(), 2u);
}

const std::string kAddressReply = "HTTP/1.1 200 OK\r\nContent-Length: 11\r\n\r\n203.0.113.7";

INSTANTIATE_TEST_SUITE_P(
    Series, FetchSeries,
    testing::Values(
        SeriesCase{"KeptAlive", {keptAlive(HttpReply::text("203.0.113.7"))}, 1, 21},
        SeriesCase{
            "KeptAliveChunked", {keptAlive(chunked("b\r\n203.0.113.7\r\n0\r\n\r\n"))}, 1, 21},
        SeriesCase{"ServerCloses", {HttpReply::text("203.0.113.7")}, 21, 21},
        // No "Connection: close", but the server closes once it has answered:
        // the client finds the kept connection closed before it uses it.
        SeriesCase{"ServerClosesUnannounced", {HttpReply::asIs(kAddressReply)}, 21, 21},
        // The server drops a kept connection as the next request arrives: that
        // request goes again on a new one, and the fetch succeeds.
        SeriesCase{"ClosedAsTheRequestArrives",
                   {keptAlive(HttpReply::text("203.0.113.7")), HttpReply::closeImmediately(),
                    keptAlive(HttpReply::text("203.0.113.7"))},
                   2,
                   22},
        SeriesCase{"ResetAsTheRequestArrives",
                   {keptAlive(HttpReply::text("203.0.113.7")), HttpReply::reset(),
                    keptAlive(HttpReply::text("203.0.113.7"))},
                   2,
                   22},
        // Once the reply has begun, a failure is the fetch's: nothing is sent again.
        SeriesCase{"CutOffAfterTheFirstByte",
                   {keptAlive(HttpReply::text("203.0.113.7")),
                    HttpReply::asIs("HTTP/1.1 200 OK\r\nContent-Length: 50\r\n\r\nshort"),
                    keptAlive(HttpReply::text("203.0.113.7"))},
                   2,
                   21,
                   1},
        // What came after the body, or a reply of HTTP/1.0, leaves the
        // connection unfit for another request.
        SeriesCase{
            "BytesAfterTheBody", {keptAlive(HttpReply::asIs(kAddressReply + "\r\n"))}, 21, 21},
        SeriesCase{"Http10",
                   {keptAlive(HttpReply::asIs(
                       "HTTP/1.0 200 OK\r\nContent-Length: 11\r\n\r\n203.0.113.7"))},
                   21,
                   21}),
    [](const auto& info) { return std::string(info.param.name); });

// A server that streams without end: the transfer stops soon after the limit,
// so neither side moves much more than the limit's worth of bytes.
TEST(FetchTextMemory, EndlessBodyIsCutOffNearTheLimit) {
  HttpTestServer server;
  server.setReply(withFiller(512 * kMiB, false));
  platform::linuxos::HttpInternetTransfer net;
  const auto started = std::chrono::steady_clock::now();
  const platform::FetchResult result = net.fetchText(server.url(), {}, {});
  EXPECT_EQ(result.outcome, Outcome::TooLarge);
  EXPECT_TRUE(result.body.empty());
  EXPECT_LT(std::chrono::steady_clock::now() - started, 5s);
  server.stop();
  // What the kernel's socket buffers took in, plus the limit.
  EXPECT_LT(server.bytesSent(), 16 * kMiB);
}

TEST(FetchTextPort, ClosedPortFailsAtOnce) {
  std::string url;
  {
    HttpTestServer gone;
    url = gone.url();
  }
  platform::linuxos::HttpInternetTransfer net;
  const auto started = std::chrono::steady_clock::now();
  const platform::FetchResult result = net.fetchText(url, {}, {});
  EXPECT_EQ(result.outcome, Outcome::Failed);
  EXPECT_EQ(result.report.reach, Reach::NoConnection);
  EXPECT_LT(std::chrono::steady_clock::now() - started, 2s);
}

TEST(FetchTextScheme, OnlyWebUrls) {
  platform::linuxos::HttpInternetTransfer net;
  EXPECT_EQ(net.fetchText("file:///etc/hostname", {}, {}).outcome, Outcome::Failed);
}

}  // namespace
