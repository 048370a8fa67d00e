// How soon a request ends once it is asked to stop, whatever the server is
// doing: the Linux transfer against a loopback server that never answers and
// one that trickles a byte a second (floods end on their own, at the limits
// on heads and bodies, before a stop would come). The time
// is from the stop request to the fetch's return. The tests only bound it
// generously (a loaded machine is slow); the figure to keep is here, in
// milliseconds: about 50 on a quiet machine at the most.

#include <benchmark/benchmark.h>

#include <chrono>
#include <future>
#include <stop_token>
#include <thread>

#include "platform/linux/http_internet_transfer.h"
#include "tests/support/http_test_server.h"

namespace {

using namespace std::chrono_literals;
using tests_support::HttpReply;

HttpReply replyFor(bool trickle) {
  if (!trickle) return HttpReply::neverAnswer();
  HttpReply reply = HttpReply::text("203.0.113.7");
  reply.byteInterval = 1s;
  return reply;
}

void BM_StopLatency(benchmark::State& state) {
  tests_support::HttpTestServer server;
  server.setReply(replyFor(state.range(0) != 0));
  platform::linuxos::HttpInternetTransfer transfer;
  platform::FetchOptions options;
  options.timeout = 60s;
  for (auto _ : state) {
    std::stop_source stop;
    auto fetch = std::async(std::launch::async, [&] {
      return transfer.fetchText(server.url("/"), options, stop.get_token());
    });
    // Let the request reach the server and settle into what it does.
    std::this_thread::sleep_for(100ms);
    const auto asked = std::chrono::steady_clock::now();
    stop.request_stop();
    fetch.get();
    state.SetIterationTime(
        std::chrono::duration<double>(std::chrono::steady_clock::now() - asked).count());
  }
}
BENCHMARK(BM_StopLatency)
    ->ArgName("trickle")
    ->DenseRange(0, 1)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->Iterations(20);

}  // namespace

BENCHMARK_MAIN();
