#pragma once

#include <atomic>
#include <chrono>
#include <functional>
#include <mutex>
#include <stop_token>
#include <string>
#include <vector>

#include "platform/internet_transfer.h"

namespace probes {

// The words of an echo reply: the body without the white space around it,
// split into words (see splitWords), when the request succeeded and the last
// word is an address that could be the machine's public one; otherwise no
// words (an error status, an oversized body, a time-out, a refused connection,
// a cancellation, a sign-in page, a private or loopback address).
std::vector<std::string> publicAddressWords(const platform::FetchResult& reply);

// The public-address fetches of one load of the main window, and what they
// showed. Once one of them has timed out, or the options' deadline (the
// load's budget) has passed, the network is taken to be dropping packets,
// and the later ones give no words without a request, so a load costs one
// time-out rather than one per fetch. Create one per load; fetch() may be
// called from any thread, one call at a time or concurrently.
class PublicAddressFetcher {
 public:
  using Clock = std::chrono::steady_clock;

  // `now` tells the time (tests give a clock of their own).
  PublicAddressFetcher(platform::InternetTransfer& internet, std::string url,
                       platform::FetchOptions options,
                       std::function<Clock::time_point()> now = &Clock::now);

  // Blocks until the reply is in, the request fails or `stop` is requested.
  std::vector<std::string> fetch(std::stop_token stop = {});

  bool timedOut() const { return timedOut_.load(); }
  int requestsMade() const { return requests_.load(); }

  // The address the latest reply of this load gave; empty while none has.
  std::string latestAddress() const;

  // The echo service had answered, then a later request heard nothing until
  // it ran out of time, far longer than any answer had taken: the way to the
  // internet has gone since, and what the earlier answers showed is stale.
  // A slow service or a congested line, whose request is cut short by the
  // load's budget after about as long as its answers take, has not gone.
  bool wentSilent() const;

  // How far the furthest request of this load got (see platform::Reach):
  // one answer shows the service could be reached, whatever later requests met.
  platform::RequestReport furthestReport() const;

  // The least silence that counts as gone, however quick the answers were.
  static constexpr std::chrono::milliseconds kLeastSilence{5000};

 private:
  void note(const platform::FetchResult& reply, bool gaveAddress, const std::string& address,
            Clock::duration waited);

  platform::InternetTransfer& internet_;
  const std::string url_;
  const platform::FetchOptions options_;
  const std::function<Clock::time_point()> now_;
  std::atomic<bool> timedOut_{false};
  std::atomic<int> requests_{0};

  mutable std::mutex mutex_;
  std::string latestAddress_;
  bool answered_ = false;
  Clock::duration slowestAnswer_{0};
  bool wentSilent_ = false;
  platform::RequestReport furthest_;
};

}  // namespace probes
