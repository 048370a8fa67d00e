#pragma once

#include <string_view>

namespace probes {

// The program's fixed web endpoints. They live here and nowhere else; tests
// hand other URLs to the probes instead of contacting these.

// Answers a plain-text reply whose last space-separated word is the caller's
// public address.
inline constexpr std::string_view kEchoServiceUrl = "http://api.ipify.org/";

// A home page expected to be reachable whenever the internet is; only whether
// it opens matters.
inline constexpr std::string_view kReachabilityUrl = "http://www.wikipedia.org";

// A page that shows the visitor's public address, opened in the user's browser.
inline constexpr std::string_view kPublicAddressPageUrl = "http://ifconfig.me/";

// The host name of a plain "http://host/..." URL.
constexpr std::string_view hostOf(std::string_view url) {
  url.remove_prefix(url.find("//") + 2);
  return url.substr(0, url.find_first_of(":/"));
}

inline constexpr std::string_view kEchoServiceHost = hostOf(kEchoServiceUrl);
inline constexpr std::string_view kReachabilityHost = hostOf(kReachabilityUrl);

}  // namespace probes
