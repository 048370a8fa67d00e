#include "platform/linux/resolver_files.h"

#include <arpa/inet.h>
#include <dirent.h>
#include <netinet/in.h>

#include <charconv>
#include <fstream>
#include <memory>
#include <optional>

namespace platform::linuxos {
namespace {

constexpr std::string_view kResolvedStub = "127.0.0.53";
// Resolver files are a few lines; anything far larger is not one.
constexpr std::size_t kMaxFileSize = 64 * 1024;

std::vector<std::string_view> lines(std::string_view text) {
  std::vector<std::string_view> result;
  while (!text.empty()) {
    const auto end = text.find('\n');
    result.push_back(text.substr(0, end));
    if (end == std::string_view::npos) break;
    text.remove_prefix(end + 1);
  }
  return result;
}

std::vector<std::string_view> words(std::string_view line) {
  std::vector<std::string_view> result;
  std::size_t i = 0;
  while (i < line.size()) {
    while (i < line.size() && (line[i] == ' ' || line[i] == '\t' || line[i] == '\r')) ++i;
    std::size_t start = i;
    while (i < line.size() && line[i] != ' ' && line[i] != '\t' && line[i] != '\r') ++i;
    if (i > start) result.push_back(line.substr(start, i - start));
  }
  return result;
}

bool isAddress(const std::string& text) {
  in6_addr buffer{};
  return inet_pton(AF_INET, text.c_str(), &buffer) == 1 ||
         inet_pton(AF_INET6, text.c_str(), &buffer) == 1;
}

// "192.0.2.1", "192.0.2.1:53", "[2001:db8::1]:53%3#dns.example" -> the address.
std::string bareServer(std::string_view server) {
  server = server.substr(0, server.find('#'));
  if (!server.empty() && server.front() == '[') {
    const auto close = server.find(']');
    if (close == std::string_view::npos) return {};
    server = server.substr(1, close - 1);
  }
  server = server.substr(0, server.find('%'));
  // An IPv4 address with a port has exactly one colon; IPv6 has several.
  const auto colon = server.find(':');
  if (colon != std::string_view::npos && server.find(':', colon + 1) == std::string_view::npos) {
    server = server.substr(0, colon);
  }
  return std::string(server);
}

std::optional<std::string> readFile(const std::string& path) {
  std::ifstream file(path, std::ios::binary);
  if (!file) return std::nullopt;
  std::string text(kMaxFileSize, '\0');
  file.read(text.data(), static_cast<std::streamsize>(text.size()));
  text.resize(static_cast<std::size_t>(file.gcount()));
  return text;
}

}  // namespace

std::vector<std::string> parseResolvConf(std::string_view text) {
  std::vector<std::string> servers;
  for (std::string_view line : lines(text)) {
    const auto parts = words(line);
    if (parts.size() < 2 || parts[0] != "nameserver") continue;
    servers.emplace_back(parts[1]);
  }
  return servers;
}

std::vector<std::string> parseResolvedLinkServers(std::string_view text) {
  constexpr std::string_view kKey = "SERVERS=";
  std::vector<std::string> servers;
  for (std::string_view line : lines(text)) {
    if (line.substr(0, kKey.size()) != kKey) continue;
    for (std::string_view server : words(line.substr(kKey.size()))) {
      std::string address = bareServer(server);
      if (isAddress(address)) servers.push_back(std::move(address));
    }
  }
  return servers;
}

void readDnsServers(const SystemPaths& paths, HostFacts& host) {
  host.dnsServers.clear();
  host.linkDnsServers.clear();
  if (const auto text = readFile(paths.resolvConf)) host.dnsServers = parseResolvConf(*text);
  if (host.dnsServers.size() == 1 && host.dnsServers.front() == kResolvedStub) {
    // The stub forwards to the servers resolved keeps; those are the real ones.
    if (const auto text = readFile(paths.resolvedState + "/resolv.conf")) {
      auto upstream = parseResolvConf(*text);
      if (!upstream.empty()) host.dnsServers = std::move(upstream);
    }
  }

  const std::string netif = paths.resolvedState + "/netif";
  struct CloseDirectory {
    void operator()(DIR* d) const { closedir(d); }
  };
  std::unique_ptr<DIR, CloseDirectory> directory(opendir(netif.c_str()));
  if (!directory) return;
  while (const dirent* entry = readdir(directory.get())) {
    const std::string_view name = entry->d_name;
    std::int32_t index = 0;
    const auto [end, error] = std::from_chars(name.data(), name.data() + name.size(), index);
    if (error != std::errc() || end != name.data() + name.size() || index <= 0) continue;
    if (const auto text = readFile(netif + "/" + std::string(name))) {
      auto servers = parseResolvedLinkServers(*text);
      if (!servers.empty()) host.linkDnsServers[index] = std::move(servers);
    }
  }
}

}  // namespace platform::linuxos
