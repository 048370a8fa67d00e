// The time of a gathering's series of 21 echo fetches through one Linux
// transfer on a link with a round trip of `rtt_ms`, against a loopback server
// that keeps its connections (keep=1) or closes each after one reply (keep=0,
// what every fetch cost before the transfer kept connections). The link is a
// model, not a staged one: the server waits one round trip before each reply,
// and one more before the first reply on a new connection (the handshake).
// The name is an address, so the lookups cost nothing here; the counters say
// how many connections and lookups the series made.
//
// On this machine: about 2 round trips a fetch with keep=0 and 1 with keep=1
// (21 x 40 ms: 1.7 s against 0.9 s).

#include <benchmark/benchmark.h>

#include <atomic>
#include <chrono>

#include "platform/linux/http_internet_transfer.h"
#include "tests/support/http_test_server.h"

namespace {

using namespace std::chrono_literals;
using tests_support::HttpReply;
using tests_support::HttpTestServer;

constexpr int kSeries = 21;

void BM_EchoSeries(benchmark::State& state) {
  const std::chrono::milliseconds rtt(state.range(0));
  const bool keep = state.range(1) != 0;
  std::atomic<int> seen{0};
  HttpTestServer* serving = nullptr;
  HttpTestServer server([&](const tests_support::HttpRequest&) {
    HttpReply reply = HttpReply::text("203.0.113.7");
    reply.keepAlive = keep;
    // A connection the server has not answered on before cost a handshake.
    const int connections = serving->connections();
    reply.delay = seen.exchange(connections) == connections ? rtt : 2 * rtt;
    return reply;
  });
  serving = &server;
  double connections = 0;
  double lookups = 0;
  for (auto _ : state) {
    const int before = server.connections();
    platform::linuxos::HttpInternetTransfer transfer;
    platform::FetchOptions options;
    options.timeout = 30s;
    for (int i = 0; i < kSeries; ++i) {
      if (!transfer.fetchText(server.url("/"), options, {}).ok()) state.SkipWithError("fetch");
    }
    connections += server.connections() - before;
    lookups += static_cast<double>(transfer.lookups());
  }
  state.counters["connections"] =
      benchmark::Counter(connections, benchmark::Counter::kAvgIterations);
  state.counters["lookups"] = benchmark::Counter(lookups, benchmark::Counter::kAvgIterations);
}
BENCHMARK(BM_EchoSeries)
    ->ArgNames({"rtt_ms", "keep"})
    ->ArgsProduct({{40, 100}, {0, 1}})
    ->Unit(benchmark::kMillisecond)
    ->Iterations(3);

}  // namespace

BENCHMARK_MAIN();
