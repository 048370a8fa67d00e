#include "platform/sign_in_redirect.h"

#include "basics/text.h"

namespace platform {

std::string_view urlHost(std::string_view url) {
  std::size_t start;
  if (url.substr(0, 2) == "//") {
    start = 2;
  } else {
    const std::size_t scheme = url.find("://");
    // A scheme ends before the first '/', '?' or '#'; otherwise it is a path.
    if (scheme == std::string_view::npos || url.find_first_of("/?#") < scheme) return {};
    start = scheme + 3;
  }
  std::string_view authority = url.substr(start);
  authority = authority.substr(0, authority.find_first_of("/?#"));
  if (const std::size_t at = authority.rfind('@'); at != std::string_view::npos) {
    authority.remove_prefix(at + 1);
  }
  if (!authority.empty() && authority.front() == '[') {
    return authority.substr(0, authority.find(']') + 1);
  }
  return authority.substr(0, authority.find(':'));
}

bool redirectsToAnotherHost(std::string_view url, long status, std::string_view location) {
  const bool redirect =
      status == 301 || status == 302 || status == 303 || status == 307 || status == 308;
  if (!redirect || location.empty()) return false;
  const std::string_view to = urlHost(location);
  // A relative location stays on the host that sent it.
  return !to.empty() && !basics::equalIgnoringCase(to, urlHost(url));
}

bool isSignInAnswer(std::string_view url, long status, std::string_view location) {
  constexpr long kNetworkAuthenticationRequired = 511;
  return status == kNetworkAuthenticationRequired || redirectsToAnotherHost(url, status, location);
}

}  // namespace platform
