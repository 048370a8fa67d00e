#pragma once

#include <string>

namespace platform::windows {

// Whether WinINet sends a request for `url` to a proxy, given the session's
// proxy list ("host:port", or "scheme=host:port" entries; a bare entry serves
// every scheme) and its bypass list ("<local>" for names without a dot, and
// names or addresses with "*" wildcards). Both lists take semicolons or white
// space between entries.
bool proxyServes(const std::string& proxies, const std::string& bypass, const std::string& url);

}  // namespace platform::windows
