#include "platform/linux/http_url.h"

#include <cstdlib>

#include "toolkit/text.h"

namespace platform::linuxos {
namespace {

constexpr std::string_view kScheme = "http://";

std::string_view trim(std::string_view s) {
  while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
  while (!s.empty() && (s.back() == ' ' || s.back() == '\t' || s.back() == '\r'))
    s.remove_suffix(1);
  return s;
}

bool validPort(std::string_view port) {
  if (port.empty() || port.size() > 5) return false;
  unsigned value = 0;
  for (char c : port) {
    if (c < '0' || c > '9') return false;
    value = value * 10 + static_cast<unsigned>(c - '0');
  }
  return value > 0 && value <= 65535;
}

// "scheme:" at the start, as RFC 3986 spells a scheme.
bool hasScheme(std::string_view s) {
  const auto colon = s.find(':');
  if (colon == 0 || colon == std::string_view::npos) return false;
  for (std::size_t i = 0; i < colon; ++i) {
    const char c = s[i];
    const bool alpha = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
    const bool other = (c >= '0' && c <= '9') || c == '+' || c == '-' || c == '.';
    if (!alpha && !(i > 0 && other)) return false;
  }
  return true;
}

const char* variable(const char* lower, const char* upper) {
  const char* value = std::getenv(lower);
  if ((!value || !*value) && upper) value = std::getenv(upper);
  return value && *value ? value : nullptr;
}

bool bypassed(std::string_view host) {
  const char* list = variable("no_proxy", "NO_PROXY");
  if (!list) return false;
  std::string_view rest(list);
  while (!rest.empty()) {
    const auto comma = rest.find(',');
    std::string_view entry = trim(rest.substr(0, comma));
    rest = comma == std::string_view::npos ? std::string_view() : rest.substr(comma + 1);
    if (entry == "*") return true;
    if (!entry.empty() && entry.front() == '.') entry.remove_prefix(1);
    if (entry.empty()) continue;
    if (toolkit::equalIgnoringCase(host, entry)) return true;
    if (host.size() > entry.size() && host[host.size() - entry.size() - 1] == '.' &&
        toolkit::equalIgnoringCase(host.substr(host.size() - entry.size()), entry)) {
      return true;
    }
  }
  return false;
}

}  // namespace

std::optional<HttpUrl> parseHttpUrl(std::string_view url) {
  url = trim(url);
  if (url.size() < kScheme.size() ||
      !toolkit::equalIgnoringCase(url.substr(0, kScheme.size()), kScheme)) {
    return std::nullopt;
  }
  url.remove_prefix(kScheme.size());
  const auto end = url.find_first_of("/?#");
  std::string_view authority = url.substr(0, end);
  std::string_view rest = end == std::string_view::npos ? std::string_view() : url.substr(end);
  rest = rest.substr(0, rest.find('#'));
  if (const auto at = authority.rfind('@'); at != std::string_view::npos)
    authority.remove_prefix(at + 1);

  std::string_view host = authority;
  std::string_view port;
  if (!authority.empty() && authority.front() == '[') {
    const auto close = authority.find(']');
    if (close == std::string_view::npos) return std::nullopt;
    host = authority.substr(1, close - 1);
    const std::string_view after = authority.substr(close + 1);
    if (!after.empty()) {
      if (after.front() != ':') return std::nullopt;
      port = after.substr(1);
    }
  } else if (const auto colon = authority.rfind(':'); colon != std::string_view::npos) {
    host = authority.substr(0, colon);
    port = authority.substr(colon + 1);
  }
  if (host.empty()) return std::nullopt;
  if (port.empty()) port = "80";
  if (!validPort(port)) return std::nullopt;
  // Nothing that would break the request line or the Host header.
  for (std::string_view part : {authority, rest}) {
    for (char c : part) {
      if (static_cast<unsigned char>(c) <= ' ' || c == 0x7F) return std::nullopt;
    }
  }

  HttpUrl out;
  out.host = host;
  out.port = port;
  out.authority = authority;
  if (rest.empty()) {
    out.target = "/";
  } else if (rest.front() == '?') {
    out.target = "/" + std::string(rest);
  } else {
    out.target = rest;
  }
  return out;
}

std::string resolveLocation(const HttpUrl& base, std::string_view location) {
  location = trim(location);
  if (location.substr(0, 2) == "//") return "http:" + std::string(location);
  if (hasScheme(location)) return std::string(location);
  if (!location.empty() && location.front() == '/')
    return "http://" + base.authority + std::string(location);
  const std::string_view path = std::string_view(base.target).substr(0, base.target.find('?'));
  const auto slash = path.rfind('/');
  return "http://" + base.authority + std::string(path.substr(0, slash + 1)) +
         std::string(location);
}

std::optional<HttpUrl> proxyFor(const HttpUrl& url, bool& unusable) {
  unusable = false;
  const char* value = variable("http_proxy", nullptr);
  if (!value) value = variable("all_proxy", "ALL_PROXY");
  if (!value || bypassed(url.host)) return std::nullopt;
  std::string proxy(trim(value));
  if (!hasScheme(proxy) || proxy.find("://") == std::string::npos) proxy = "http://" + proxy;
  auto parsed = parseHttpUrl(proxy);
  if (!parsed) {
    unusable = true;
  } else if (parsed->authority.find(':', parsed->authority.rfind(']') + 1) == std::string::npos) {
    parsed->port = "1080";  // a proxy's customary port, as other programs assume
  }
  return parsed;
}

}  // namespace platform::linuxos
