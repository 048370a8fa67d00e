#pragma once

#include <chrono>
#include <optional>
#include <string>
#include <vector>

namespace end_to_end {

// Under Wine an adapter's addresses come IPv6 first (Windows lists IPv4
// first), and Wine takes a link named for a LAN for a network card: the Wine
// runs that need a LAN address stage one with IPv4 alone, 198.51.100.1.
inline const std::vector<std::vector<std::string>> kWineLanLink = {
    {"sysctl", "-qw", "net.ipv6.conf.all.disable_ipv6=1"},
    {"sysctl", "-qw", "net.ipv6.conf.default.disable_ipv6=1"},
    {"ip", "link", "add", "e2e-lan0", "type", "veth", "peer", "name", "e2e-virtual0"},
    {"ip", "addr", "add", "198.51.100.1/24", "dev", "e2e-lan0"},
    {"ip", "link", "set", "e2e-lan0", "up"},
    {"ip", "link", "set", "e2e-virtual0", "up"},
};

// How the program under test is started.
struct Launch {
  std::string path;
  std::vector<std::string> environment;
  std::chrono::seconds timeLimit;
};

// The Linux build's program, with the leak checker's options.
Launch linuxLaunch();

// tarnwick.exe of the Windows build that TARNWICK_WINDOWS_BUILD names, in a
// Wine session of its own per run that ends after `sessionSeconds`; none when
// it names no build. A named build without the program or its driver fails
// the calling test.
std::optional<Launch> wineLaunch(int sessionSeconds = 150);

}  // namespace end_to_end
