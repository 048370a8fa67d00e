#include "probes/reachability_probe.h"

#include <utility>

namespace probes {

std::optional<std::string> probeReachability(platform::InternetTransfer& internet,
                                             const std::string& agent, const std::string& url,
                                             std::stop_token stop, platform::Deadline deadline,
                                             platform::RequestReport* report) {
  std::optional<std::string> marker;
  const platform::InternetTransfer::Handle session = internet.internetOpen(agent);
  if (session != 0) {
    platform::InternetTransfer::Handle page = 0;
    try {
      page = internet.internetOpenUrl(session, url, std::move(stop), deadline, report);
    } catch (...) {
      internet.internetCloseHandle(session);  // no handle outlives the probe
      throw;
    }
    if (page != 0) {
      marker = kOnline;
      internet.internetCloseHandle(page);
    } else {
      marker = kOffline;
    }
  }
  // Issued in every case, with the null handle when the open failed.
  internet.internetCloseHandle(session);
  return marker;
}

}  // namespace probes
