// The real program against servers that misbehave on purpose, each in a
// private network namespace with loopback alone (no LAN address), its two
// endpoints served by one scripted server on 127.0.0.1:80. Whatever a server
// does, the program ends within its bounds, prints nothing raw and stays small.
// Each row is a test of its own, which ctest runs beside the others.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <string>
#include <vector>

#include "probes/endpoints.h"
#include "tests/end_to_end/isolated_run.h"

namespace end_to_end {
namespace {

using namespace std::chrono_literals;
using tests_support::HttpReply;
using tests_support::HttpRequest;

// A load gives up on the network after 30 s of waiting, all its requests
// together. A row that took that budget, with the program's start and end,
// overruns kFast however loaded the machine; a quick row (a second or two
// alone) stays well inside it with sanitized runs beside it. The budget row
// ends near 30 s; without the budget it would go on for minutes.
constexpr auto kFast = 22s;
constexpr auto kBudget = 60s;
constexpr long kMaxRssKiB = 40 * 1024;

constexpr const char* kWanOnly = "WAN Only - Online";
constexpr const char* kOffline = "Offline";

HttpReply asIs(std::string bytes) {
  return HttpReply::asIs(std::move(bytes));
}

HttpReply flood(std::string head, std::string repeated) {
  HttpReply reply = HttpReply::asIs(std::move(head));
  reply.repeated = std::move(repeated);
  return reply;
}

HttpReply oneBytePerSecond() {
  HttpReply reply = HttpReply::text("203.0.113.7");
  reply.byteInterval = 1s;
  return reply;
}

HttpReply resetAfterTheHead() {
  HttpReply reply = asIs("HTTP/1.1 200 OK\r\nContent-Length: 11\r\n\r\n203");
  reply.resetAtEnd = true;
  return reply;
}

struct Row {
  const char* name;
  HttpReply echo;  // what the echo endpoint answers; the other one answers plainly
  std::string wan;
  std::string status;
  std::chrono::seconds bound = kFast;
  std::string proxy{};  // http_proxy for the program: the same server, which then answers
                        // every request with `echo`
};

const std::string kHead = "HTTP/1.1 200 OK\r\n";
const std::string kChunkedHead = kHead + "Transfer-Encoding: chunked\r\n\r\n";

// A reply that holds no address leaves the WAN box empty and the status to
// the reachability probe, which the other endpoint answers: the user sees
// that the machine is online and that its public address is unknown.
const Row kRows[] = {
    {"InterimRepliesWithoutEnd", flood("", "HTTP/1.1 100 Continue\r\n\r\n"), "", kWanOnly},
    {"HeadersWithoutEnd", flood(kHead, "X-Filler: 0123456789\r\n"), "", kWanOnly},
    {"ChunkedBodyWithoutEnd", flood(kChunkedHead, "4000\r\n" + std::string(0x4000, 'x') + "\r\n"),
     "", kWanOnly},
    {"ChunkSizeOverflows", asIs(kChunkedHead + "fffffffffffffffffffff\r\n203.0.113.7\r\n0\r\n\r\n"),
     "", kWanOnly},
    {"LengthShorterThanTheBody", asIs(kHead + "Content-Length: 6\r\n\r\n203.0.113.7"), "",
     kWanOnly},
    {"LengthLongerThanTheBody", asIs(kHead + "Content-Length: 40\r\n\r\n203.0.113.7"), "",
     kWanOnly},
    // Junk before the address does not hide it, and nothing of it is printed.
    {"NulAndInvalidUtf8BeforeTheAddress",
     HttpReply::text(std::string("IP\0\xff\xc0 is", 8) + " 203.0.113.7"), "203.0.113.7", kWanOnly},
    {"TextDirectionOverride",
     HttpReply::text("\xe2\x80\xae"
                     "7.311.0.302"),
     "", kWanOnly},
    {"RedirectLoop", HttpReply::redirect("/"), "", kWanOnly},
    {"RedirectToHttps",
     HttpReply::redirect("https://" + std::string(probes::kEchoServiceHost) + "/"), "", kWanOnly},
    {"RedirectToAClosedPort",
     HttpReply::redirect("http://" + std::string(probes::kEchoServiceHost) + ":81/"), "", kWanOnly},
    {"RedirectToAnUnreachableHost", HttpReply::redirect("http://192.0.2.1/"), "", kWanOnly},
    {"AcceptAndClose", HttpReply::closeImmediately(), "", kWanOnly},
    {"ResetAtOnce", HttpReply::reset(), "", kWanOnly},
    {"ResetInTheBody", resetAfterTheHead(), "", kWanOnly},
    // The first fetch takes the load's whole network budget and ends timed
    // out, and the rest are skipped; the reachability probe, which runs from
    // the load on with the whole budget of its own, finds the site: online,
    // public address unknown.
    {"OneBytePerSecond", oneBytePerSecond(), "", kWanOnly, kBudget},
    // A proxy that answers nonsense: nothing can be reached through it, so
    // the user is told "Offline".
    {"ProxyAnswersGarbage", asIs("\x16\x03\x01 not HTTP at all\r\n\r\n"), "Null", kOffline, kFast,
     "http://127.0.0.1:80"},
    // A proxy that wants credentials lets nothing through: "Offline", and
    // the reason says the proxy wants a password.
    {"ProxyWantsCredentials", HttpReply::text("Proxy Authentication Required", 407), "Null",
     kOffline, kFast, "http://127.0.0.1:80"},
};

tests_support::HttpTestServer::Handler serve(const Row& row) {
  const bool proxied = !row.proxy.empty();
  return [echo = row.echo, proxied](const HttpRequest& request) {
    if (proxied || request.header("Host") == probes::kEchoServiceHost) return echo;
    return HttpReply::text("<html></html>");
  };
}

bool sanitized() {
#if defined(__SANITIZE_ADDRESS__)
  return true;
#else
  return false;
#endif
}

// The text after `label` on its line of the output.
std::string printed(const std::string& out, const std::string& label) {
  const auto at = out.find(label);
  if (at == std::string::npos) return "(no \"" + label + "\" line)";
  const auto start = at + label.size();
  return out.substr(start, out.find('\n', start) - start);
}

// Bytes that would reach a terminal raw: controls, DEL, C1 and the text-direction controls.
bool rawBytes(const std::string& text) {
  for (std::size_t i = 0; i < text.size(); ++i) {
    const auto c = static_cast<unsigned char>(text[i]);
    if ((c < 0x20 && c != '\n' && c != '\t') || c == 0x7F) return true;
    if (c == 0xC2 && i + 1 < text.size() && static_cast<unsigned char>(text[i + 1]) < 0xA0)
      return true;
    if (c == 0xE2 && text.compare(i, 2, "\xe2\x80") == 0 && i + 2 < text.size()) {
      const auto last = static_cast<unsigned char>(text[i + 2]);
      if (last >= 0xAA && last <= 0xAE) return true;
    }
    if (text.compare(i, 2, "\xe2\x81") == 0 && i + 2 < text.size()) {
      const auto last = static_cast<unsigned char>(text[i + 2]);
      if (last >= 0xA6 && last <= 0xA9) return true;
    }
  }
  return false;
}

// Each row its own test: ctest runs, times out and reports it alone.
class EveryRow : public ::testing::TestWithParam<std::size_t> {};

TEST_P(EveryRow, EndsInTimeSmallAndWithAPlainAnswer) {
  if (const std::string why = isolationUnavailable(); !why.empty()) GTEST_SKIP() << why;
  const Row& row = kRows[GetParam()];
  RunSetup setup;
  setup.privateNetwork = true;
  setup.server = serve(row);
  setup.environment = {leakSanitizerOptions()};
  if (!row.proxy.empty()) setup.environment.push_back("http_proxy=" + row.proxy);
  setup.timeLimit = row.bound + 20s;
  const RunResult run = runIsolated(TARNWICK_PROGRAM, setup);
  ASSERT_TRUE(run.ran) << run.setupError;
  ASSERT_FALSE(run.timedOut) << "killed: " << run.killedWhile << "\nstdout:\n" << run.out;
  // No error box: the status alone decides between 0 and the offline code.
  EXPECT_TRUE(run.exitStatus == 0 || run.exitStatus == 1) << run.exitStatus;
  EXPECT_EQ(printed(run.out, "Your Wan Ip Is: "), row.wan);
  EXPECT_EQ(printed(run.out, "Online Status: "), row.status);
  EXPECT_LT(run.elapsed, row.bound);
  EXPECT_FALSE(rawBytes(run.out)) << run.out;
  // Sanitizers' shadow memory is not the program's.
  if (!sanitized()) {
    EXPECT_LT(run.peakRssKiB, kMaxRssKiB);
  }
  std::printf("[   INFO   ] %lld ms, %ld KiB\n", static_cast<long long>(run.elapsed.count()),
              run.peakRssKiB);
}

INSTANTIATE_TEST_SUITE_P(HostileServers, EveryRow,
                         ::testing::Range(std::size_t{0}, std::size(kRows)),
                         [](const ::testing::TestParamInfo<std::size_t>& info) {
                           return std::string(kRows[info.param].name);
                         });

}  // namespace
}  // namespace end_to_end
