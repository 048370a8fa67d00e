#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace platform::linuxos {

// An http:// URL taken apart for a request. Any other scheme (https:// too:
// the program carries no TLS library) is not one.
struct HttpUrl {
  std::string host;       // without the brackets of an IPv6 literal
  std::string port;       // "80" when the URL names none
  std::string authority;  // host and port as the URL wrote them, for the Host header
  std::string target;     // path and query, "/" at least; the fragment dropped
  std::string userinfo;   // "user:password" before the host, as written (percent-encoded)

  std::string absolute() const { return "http://" + authority + target; }
};

std::optional<HttpUrl> parseHttpUrl(std::string_view url);

// Where a redirect's Location leads from `base`: absolute, scheme-relative,
// or relative as RFC 3986 resolves references ("?q", "../x", "#f").
std::string resolveLocation(const HttpUrl& base, std::string_view location);

// The Proxy-Authorization value for a proxy URL's "user:password".
std::string basicCredentials(std::string_view userinfo);

// The proxy the user's environment names for `url` (http_proxy, HTTP_PROXY
// unless REQUEST_METHOD is set, then all_proxy/ALL_PROXY; none for a host no_proxy/NO_PROXY lists).
// A proxy variable that is set but is no http:// proxy makes the request fail rather than go around
// it: `unusable` is set then.
std::optional<HttpUrl> proxyFor(const HttpUrl& url, bool& unusable);

}  // namespace platform::linuxos
