#include "platform/linux/http_url.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>

#include "basics/text.h"
#include "platform/linux/http_blanks.h"

namespace platform::linuxos {
namespace {

constexpr std::string_view kScheme = "http://";

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
    std::string_view entry = trimBlanks(rest.substr(0, comma));
    rest = comma == std::string_view::npos ? std::string_view() : rest.substr(comma + 1);
    if (entry == "*") return true;
    if (!entry.empty() && entry.front() == '.') entry.remove_prefix(1);
    if (entry.empty()) continue;
    if (basics::equalIgnoringCase(host, entry)) return true;
    if (host.size() > entry.size() && host[host.size() - entry.size() - 1] == '.' &&
        basics::equalIgnoringCase(host.substr(host.size() - entry.size()), entry)) {
      return true;
    }
  }
  return false;
}

// RFC 3986's remove_dot_segments, read by position rather than by cutting
// the input down, so a long run of "./" costs no more than its length.
std::string withoutDotSegments(std::string_view in) {
  std::string out;
  const auto dropLastSegment = [&out] {
    const auto slash = out.rfind('/');
    out.erase(slash == std::string::npos ? 0 : slash);
  };
  while (!in.empty()) {
    if (in.starts_with("../")) {
      in.remove_prefix(3);
    } else if (in.starts_with("./")) {
      in.remove_prefix(2);
    } else if (in.starts_with("/./")) {
      in.remove_prefix(2);
    } else if (in == "/.") {
      in = "/";
    } else if (in.starts_with("/../")) {
      in.remove_prefix(3);
      dropLastSegment();
    } else if (in == "/..") {
      in = "/";
      dropLastSegment();
    } else if (in == "." || in == "..") {
      in = {};
    } else {
      const auto end = in.find('/', 1);
      out += in.substr(0, end);
      in = end == std::string_view::npos ? std::string_view() : in.substr(end);
    }
  }
  return out;
}

int hexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

std::string percentDecoded(std::string_view s) {
  std::string out;
  for (std::size_t i = 0; i < s.size(); ++i) {
    if (s[i] == '%' && i + 2 < s.size() && hexValue(s[i + 1]) >= 0 && hexValue(s[i + 2]) >= 0) {
      out += static_cast<char>(hexValue(s[i + 1]) * 16 + hexValue(s[i + 2]));
      i += 2;
    } else {
      out += s[i];
    }
  }
  return out;
}

}  // namespace

std::optional<HttpUrl> parseHttpUrl(std::string_view url) {
  url = trimBlanks(url);
  if (url.size() < kScheme.size() ||
      !basics::equalIgnoringCase(url.substr(0, kScheme.size()), kScheme)) {
    return std::nullopt;
  }
  url.remove_prefix(kScheme.size());
  const auto end = url.find_first_of("/?#");
  std::string_view authority = url.substr(0, end);
  std::string_view rest = end == std::string_view::npos ? std::string_view() : url.substr(end);
  rest = rest.substr(0, rest.find('#'));
  std::string_view userinfo;
  if (const auto at = authority.rfind('@'); at != std::string_view::npos) {
    userinfo = authority.substr(0, at);
    authority.remove_prefix(at + 1);
  }

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
  out.userinfo = userinfo;
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
  location = trimBlanks(location);
  if (location.substr(0, 2) == "//") return "http:" + std::string(location);
  if (hasScheme(location)) return std::string(location);
  // A reference relative to the base, resolved as RFC 3986 (5.2) says; the
  // fragment is never sent.
  location = location.substr(0, location.find('#'));
  const auto mark = location.find('?');
  const std::string_view path = location.substr(0, mark);
  const std::string_view baseTarget = base.target;
  const auto baseMark = baseTarget.find('?');
  const std::string_view basePath = baseTarget.substr(0, baseMark);
  std::string resolved;
  std::string_view query =
      mark == std::string_view::npos ? std::string_view() : location.substr(mark);
  if (path.empty()) {
    resolved = basePath;
    if (mark == std::string_view::npos && baseMark != std::string_view::npos) {
      query = baseTarget.substr(baseMark);
    }
  } else if (path.front() == '/') {
    resolved = withoutDotSegments(path);
  } else {
    const std::string merged =
        std::string(basePath.substr(0, basePath.rfind('/') + 1)) + std::string(path);
    resolved = withoutDotSegments(merged);
  }
  if (resolved.empty() || resolved.front() != '/') resolved.insert(0, "/");
  return "http://" + base.authority + resolved + std::string(query);
}

std::string basicCredentials(std::string_view userinfo) {
  const std::string plain = percentDecoded(userinfo);
  static constexpr char kDigits[] =
      "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
  std::string out = "Basic ";
  for (std::size_t i = 0; i < plain.size(); i += 3) {
    std::uint32_t group = 0;
    const std::size_t count = std::min<std::size_t>(3, plain.size() - i);
    for (std::size_t k = 0; k < 3; ++k) {
      group <<= 8;
      if (k < count) group |= static_cast<unsigned char>(plain[i + k]);
    }
    for (std::size_t k = 0; k < 4; ++k) {
      out += k <= count ? kDigits[(group >> (18 - 6 * k)) & 0x3F] : '=';
    }
  }
  return out;
}

std::optional<HttpUrl> proxyFor(const HttpUrl& url, bool& unusable) {
  unusable = false;
  // HTTP_PROXY too, but not in a CGI program, where a request's "Proxy:"
  // header arrives as HTTP_PROXY and must not pick the proxy.
  const char* value =
      variable("http_proxy", std::getenv("REQUEST_METHOD") ? nullptr : "HTTP_PROXY");
  if (!value) value = variable("all_proxy", "ALL_PROXY");
  if (!value || bypassed(url.host)) return std::nullopt;
  std::string proxy(trimBlanks(value));
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
