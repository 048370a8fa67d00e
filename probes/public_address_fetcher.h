#pragma once

#include <atomic>
#include <stop_token>
#include <string>
#include <vector>

#include "platform/internet_transfer.h"

namespace probes {

// One echo request: the reply, without the white space around it, split into
// words (see splitWords), or no words when the request failed for any reason
// (error status, oversized body, time-out, refused connection, cancellation)
// or the last word is not an IP address. Sets `timedOut` when given and
// the request ran out of time.
std::vector<std::string> fetchPublicAddressWords(platform::InternetTransfer& internet,
                                                 const std::string& url,
                                                 const platform::FetchOptions& options,
                                                 std::stop_token stop, bool* timedOut = nullptr);

// The public-address fetches of one load of the main window. Once one of them
// has timed out, or the options' deadline (the load's budget) has passed, the
// network is taken to be dropping packets, and the later ones give no words
// without a request, so a load costs one time-out rather than one per fetch. Create one per load;
// fetch() may be called from any thread, one call at a time or concurrently.
class PublicAddressFetcher {
 public:
  PublicAddressFetcher(platform::InternetTransfer& internet, std::string url,
                       platform::FetchOptions options);

  // Blocks until the reply is in, the request fails or `stop` is requested.
  std::vector<std::string> fetch(std::stop_token stop = {});

  bool timedOut() const { return timedOut_.load(); }
  int requestsMade() const { return requests_.load(); }

 private:
  platform::InternetTransfer& internet_;
  const std::string url_;
  const platform::FetchOptions options_;
  std::atomic<bool> timedOut_{false};
  std::atomic<int> requests_{0};
};

}  // namespace probes
