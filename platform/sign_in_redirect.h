#pragma once

#include <string_view>

namespace platform {

// A response that sends the reachability probe to another host: what a
// network that wants its users to sign in first answers for every address
// (hotels, airports). The page asked for has not opened, whatever the status
// says. A redirect within the same host (to its https address, say) is the
// page's own and counts as opened.
bool redirectsToAnotherHost(std::string_view url, long status, std::string_view location);

// Whether the answer to the reachability probe is a network's sign-in page
// rather than the page asked for: a redirect to another host (above), or
// 511 Network Authentication Required, the status made for exactly this.
bool isSignInAnswer(std::string_view url, long status, std::string_view location);

// The host of an absolute or scheme-relative URL, as written, without
// user information and port; empty for a URL without one.
std::string_view urlHost(std::string_view url);

}  // namespace platform
