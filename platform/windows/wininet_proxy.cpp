#include "platform/windows/wininet_proxy.h"

#include <algorithm>
#include <cctype>
#include <string_view>
#include <vector>

namespace platform::windows {
namespace {

std::string lower(std::string_view text) {
  std::string out(text);
  std::transform(out.begin(), out.end(), out.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return out;
}

std::vector<std::string> entriesOf(std::string_view list) {
  std::vector<std::string> entries;
  std::string entry;
  for (const char c : list) {
    if (c == ';' || c == ',' || std::isspace(static_cast<unsigned char>(c))) {
      if (!entry.empty()) entries.push_back(lower(entry));
      entry.clear();
    } else {
      entry += c;
    }
  }
  if (!entry.empty()) entries.push_back(lower(entry));
  return entries;
}

// `text` against `pattern`, where "*" stands for any run of characters.
bool matches(std::string_view pattern, std::string_view text) {
  std::size_t p = 0, t = 0, star = std::string_view::npos, resume = 0;
  while (t < text.size()) {
    if (p < pattern.size() && pattern[p] == '*') {
      star = p++;
      resume = t;
    } else if (p < pattern.size() && pattern[p] == text[t]) {
      ++p;
      ++t;
    } else if (star != std::string_view::npos) {
      p = star + 1;
      t = ++resume;
    } else {
      return false;
    }
  }
  while (p < pattern.size() && pattern[p] == '*') ++p;
  return p == pattern.size();
}

struct Target {
  std::string scheme;
  std::string host;  // without brackets or port
};

Target targetOf(const std::string& url) {
  const std::size_t separator = url.find("://");
  if (separator == std::string::npos) return {};
  Target target{lower(std::string_view(url).substr(0, separator)), {}};
  std::string_view authority = std::string_view(url).substr(separator + 3);
  authority = authority.substr(0, authority.find_first_of("/?#"));
  if (const std::size_t at = authority.rfind('@'); at != std::string_view::npos)
    authority = authority.substr(at + 1);
  if (authority.starts_with('[')) {
    target.host = lower(authority.substr(1, authority.find(']') - 1));
  } else {
    target.host = lower(authority.substr(0, authority.find(':')));
  }
  return target;
}

}  // namespace

bool proxyServes(const std::string& proxies, const std::string& bypass, const std::string& url) {
  const Target target = targetOf(url);
  if (target.host.empty()) return false;
  const std::vector<std::string> servers = entriesOf(proxies);
  const bool proxied = std::any_of(servers.begin(), servers.end(), [&](const std::string& entry) {
    const std::size_t equals = entry.find('=');
    if (equals == std::string::npos) return true;
    const std::string_view scheme = std::string_view(entry).substr(0, equals);
    return equals + 1 < entry.size() && (scheme == target.scheme || scheme == "socks");
  });
  if (!proxied) return false;
  const std::vector<std::string> exceptions = entriesOf(bypass);
  return std::none_of(exceptions.begin(), exceptions.end(), [&](const std::string& entry) {
    if (entry == "<local>") return target.host.find('.') == std::string::npos;
    return matches(entry, target.host) || matches(entry, "[" + target.host + "]");
  });
}

}  // namespace platform::windows
