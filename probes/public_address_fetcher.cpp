#include "probes/public_address_fetcher.h"

#include <utility>

#include "probes/address_text.h"
#include "probes/word_list.h"

namespace probes {

std::vector<std::string> fetchPublicAddressWords(platform::InternetTransfer& internet,
                                                 const std::string& url,
                                                 const platform::FetchOptions& options,
                                                 std::stop_token stop, bool* timedOut) {
  const platform::FetchResult result = internet.fetchText(url, options, std::move(stop));
  if (timedOut) *timedOut = result.outcome == platform::FetchResult::Outcome::TimedOut;
  if (!result.ok()) return {};
  // A reply whose last word is no address (a sign-in page, an error text) is
  // as good as none: only an address may reach the WAN box. The line end an
  // echo service puts after the address is not part of it.
  std::vector<std::string> words = splitWords(trimmedText(result.body));
  if (words.empty() || !isIpAddress(words.back())) return {};
  return words;
}

PublicAddressFetcher::PublicAddressFetcher(platform::InternetTransfer& internet, std::string url,
                                           platform::FetchOptions options)
    : internet_(internet), url_(std::move(url)), options_(std::move(options)) {}

std::vector<std::string> PublicAddressFetcher::fetch(std::stop_token stop) {
  if (timedOut_.load() || stop.stop_requested()) return {};
  // The load's time is up: as good as a time-out, without a request.
  if (std::chrono::steady_clock::now() >= options_.deadline) {
    timedOut_.store(true);
    return {};
  }
  ++requests_;
  bool timedOut = false;
  std::vector<std::string> words =
      fetchPublicAddressWords(internet_, url_, options_, std::move(stop), &timedOut);
  if (timedOut) timedOut_.store(true);
  return words;
}

}  // namespace probes
