#include "probes/public_address_fetcher.h"

#include <utility>

#include "probes/word_list.h"

namespace probes {

std::vector<std::string> fetchPublicAddressWords(platform::InternetTransfer& internet,
                                                 const std::string& url,
                                                 const platform::FetchOptions& options,
                                                 std::stop_token stop, bool* timedOut) {
  const platform::FetchResult result = internet.fetchText(url, options, std::move(stop));
  if (timedOut) *timedOut = result.outcome == platform::FetchResult::Outcome::TimedOut;
  if (!result.ok()) return {};
  return splitWords(result.body);
}

PublicAddressFetcher::PublicAddressFetcher(platform::InternetTransfer& internet, std::string url,
                                           platform::FetchOptions options)
    : internet_(internet), url_(std::move(url)), options_(std::move(options)) {}

std::vector<std::string> PublicAddressFetcher::fetch(std::stop_token stop) {
  if (timedOut_.load() || stop.stop_requested()) return {};
  ++requests_;
  bool timedOut = false;
  std::vector<std::string> words =
      fetchPublicAddressWords(internet_, url_, options_, std::move(stop), &timedOut);
  if (timedOut) timedOut_.store(true);
  return words;
}

}  // namespace probes
