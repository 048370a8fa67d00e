#pragma once

#include <windows.h>
#include <wininet.h>

#include <chrono>
#include <string>

namespace platform::windows {

// Request flags: nothing read from or written to the cache, no cookies, no
// dialogs, and redirects left to the caller.
constexpr DWORD kRequestFlags = INTERNET_FLAG_NO_CACHE_WRITE | INTERNET_FLAG_RELOAD |
                                INTERNET_FLAG_PRAGMA_NOCACHE | INTERNET_FLAG_NO_COOKIES |
                                INTERNET_FLAG_NO_UI | INTERNET_FLAG_NO_AUTO_REDIRECT;

// A session with the user's proxy settings, `agent` (UTF-8) handed over in the
// system's ANSI code page, and `timeout` for connecting, sending and receiving.
HINTERNET openSession(const std::string& agent, std::chrono::milliseconds timeout);

// An http or https address (the scheme in any letter case).
bool isWebUrl(const std::string& url);

// The response's status code; 0 when there is none.
long statusOf(HINTERNET request);

// The response's Location header as sent; empty when there is none.
std::string locationOf(HINTERNET request);

}  // namespace platform::windows
