#pragma once

#include <windows.h>
#include <wininet.h>

#include <string>

namespace platform::windows {

// The reachability probe opens its page with INTERNET_FLAG_RELOAD |
// INTERNET_FLAG_NO_CACHE_WRITE | INTERNET_FLAG_KEEP_CONNECTION (0x84400000:
// from the server, never stored, on a kept connection), and two more:
// - INTERNET_FLAG_NO_AUTO_REDIRECT: a network that sends every address to its
//   sign-in page on another host must be seen to do so; followed, its page
//   would pass for the one asked for;
// - INTERNET_FLAG_NO_COOKIES: the program keeps nothing (README.txt promises
//   it), and WinINet would otherwise store the site's cookies for the user
//   and send the user's own with the probe.
constexpr DWORD kReachabilityFlags = INTERNET_FLAG_RELOAD | INTERNET_FLAG_NO_CACHE_WRITE |
                                     INTERNET_FLAG_KEEP_CONNECTION |
                                     INTERNET_FLAG_NO_AUTO_REDIRECT | INTERNET_FLAG_NO_COOKIES;
static_assert(kReachabilityFlags == 0x84680000);

// The public-address fetch the same way: kept connections, so that a load's
// 21 requests to the echo service can share one connection and one name
// lookup; redirects followed by the fetch itself (http and https only, as
// many as its options allow).
constexpr DWORD kFetchFlags = kReachabilityFlags;

// An http or https address (the scheme in any letter case).
bool isWebUrl(const std::string& url);

}  // namespace platform::windows
