#include "probes/public_address_fetcher.h"

#include <algorithm>
#include <utility>

#include "probes/address_text.h"
#include "probes/word_list.h"

namespace probes {
namespace {

using Outcome = platform::FetchResult::Outcome;

// The service answered, whatever it said: a request that got a whole
// response back, an error page or an oversized one included.
bool answered(const platform::FetchResult& reply) {
  return reply.outcome == Outcome::Ok || reply.outcome == Outcome::HttpError ||
         reply.outcome == Outcome::TooLarge;
}

}  // namespace

std::vector<std::string> publicAddressWords(const platform::FetchResult& reply) {
  if (!reply.ok()) return {};
  // A reply whose last word is no address (a sign-in page, an error text), or
  // an address no machine on the internet can have, is as good as none: only
  // such an address may reach the WAN box. The line end an echo service puts
  // after the address is not part of it.
  std::vector<std::string> words = splitWords(trimmedText(reply.body));
  if (words.empty() || !couldBePublicAddress(words.back())) return {};
  return words;
}

PublicAddressFetcher::PublicAddressFetcher(platform::InternetTransfer& internet, std::string url,
                                           platform::FetchOptions options,
                                           std::function<Clock::time_point()> now)
    : internet_(internet),
      url_(std::move(url)),
      options_(std::move(options)),
      now_(std::move(now)) {}

std::vector<std::string> PublicAddressFetcher::fetch(std::stop_token stop) {
  if (timedOut_.load() || stop.stop_requested()) return {};
  // The load's time is up: as good as a time-out, without a request.
  const Clock::time_point started = now_();
  if (started >= options_.deadline) {
    timedOut_.store(true);
    return {};
  }
  ++requests_;
  const platform::FetchResult reply = internet_.fetchText(url_, options_, std::move(stop));
  std::vector<std::string> words = publicAddressWords(reply);
  note(reply, !words.empty(), words.empty() ? std::string() : words.back(), now_() - started);
  if (reply.outcome == Outcome::TimedOut) timedOut_.store(true);
  return words;
}

void PublicAddressFetcher::note(const platform::FetchResult& reply, bool gaveAddress,
                                const std::string& address, Clock::duration waited) {
  const std::lock_guard lock(mutex_);
  if (gaveAddress) latestAddress_ = address;
  if (reply.report.reach > furthest_.reach) furthest_ = reply.report;
  if (answered(reply)) {
    answered_ = true;
    slowestAnswer_ = std::max(slowestAnswer_, waited);
  } else if (reply.outcome == Outcome::TimedOut && answered_) {
    const Clock::duration silence = std::max<Clock::duration>(kLeastSilence, 4 * slowestAnswer_);
    if (waited >= silence) wentSilent_ = true;
  }
}

std::string PublicAddressFetcher::latestAddress() const {
  const std::lock_guard lock(mutex_);
  return latestAddress_;
}

platform::RequestReport PublicAddressFetcher::furthestReport() const {
  const std::lock_guard lock(mutex_);
  return furthest_;
}

bool PublicAddressFetcher::wentSilent() const {
  const std::lock_guard lock(mutex_);
  return wentSilent_;
}

}  // namespace probes
