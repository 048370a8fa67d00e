#pragma once

// A request stopped while it is under way, as the tests of both transfer
// backends stop it.

#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <stop_token>
#include <thread>

namespace tests_support {

// Runs `call` on a thread of its own, waits as `meanwhile` does, stops it and
// checks what a stop promises: the call says it was cancelled, returns far
// below the waits the request would otherwise sit out, and leaves no handle of
// `net` open. `stop` may have been stopped before the call starts.
template <typename Net>
void expectStopEndsTheCall(const Net& net, const std::function<bool(std::stop_token)>& call,
                           const std::function<void()>& meanwhile, std::stop_source stop = {}) {
  using Clock = std::chrono::steady_clock;
  Clock::time_point returned;
  bool cancelled = false;
  std::jthread worker([&] {
    cancelled = call(stop.get_token());
    returned = Clock::now();
  });
  meanwhile();
  const Clock::time_point requested = Clock::now();
  stop.request_stop();
  worker.join();
  EXPECT_TRUE(cancelled);
  EXPECT_LT(returned - requested, std::chrono::seconds(5));
  EXPECT_EQ(net.openHandles(), 0u);
}

}  // namespace tests_support
