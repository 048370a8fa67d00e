// The networks users have, staged in private namespaces, and what the real
// program tells its user on each: the Linux build in no-display mode, and the
// Windows build under Wine, read by the Windows test driver.
//
// Each row's "world" (router, web servers, proxy, resolver) lives in a network
// namespace of its own, joined to the program's by a veth pair: packets the
// world has no address for are dropped without a word, as a dead upstream
// line drops them. The Linux program tells a physical adapter by its bus
// device, which no link made here has; where the machine has such an
// adapter, its rows that need a LAN address run in the machine's own network
// namespace, with routes for the row's test addresses only, so that the
// machine's adapter is the LAN and nothing leaves the machine.

#include <gtest/gtest.h>

#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "probes/address_text.h"
#include "tests/end_to_end/isolated_run.h"
#include "tests/end_to_end/network_rows.h"

namespace end_to_end {

// What a status means to a script: the no-display run's exit status. Under
// Wine the status is the driver's, which reads the window.
int exitStatusFor(const std::string& status, bool wine) {
  if (wine) return 0;
  return status == "LAN And WAN - Online" || status == "WAN Only - Online" ? 0 : 1;
}

namespace {

using tests_support::HttpReply;
using tests_support::HttpRequest;
using Commands = std::vector<std::vector<std::string>>;

constexpr const char* kPortalHost = "portal.test";

enum class Link { kNone, kDown, kLan, kVirtual };
enum class Addressing {
  kIpv4,
  kIpv4WithoutOne,
  kDualStack,
  kIpv6Only,
  kSelfAssigned,    // an address the machine took itself, as when no server hands one out
  kNoDefaultRoute,  // an address, and routes to nowhere beyond the link
};
enum class World {
  kServers,       // the echo service and the target answer
  kUnreachable,   // the router is up, the servers' addresses lead nowhere
  kProxyOnly,     // the servers refuse direct connections; a proxy reaches them
  kBrokenProxy,   // the proxy the environment names refuses connections
  kSignInPage,    // every request is sent to a sign-in page
  kEchoDown,      // the echo service answers 503, the target answers
  kSilentServers  // the servers accept connections and never answer
};
enum class Names { kHosts, kHostsIpv6First, kSilentResolver, kNoResolver };

struct Row {
  const char* name;
  Link link;
  Addressing addressing;
  World world;
  Names names;
  const char* reason;  // the code of the reason the user is told
  Told linux;
  std::optional<Told> wine;  // none: as on Linux
  const char* notOnLinux = nullptr;
  // Under Wine only the main window's lines are checked, for this reason.
  const char* wineMainWindowOnly = nullptr;
  const char* wineReason = nullptr;  // none: as on Linux
};

// Bounds that a loaded machine (the rows run at once, under the sanitizers
// too) keeps and a regression does not: a row that need not wait ends well
// before the 30 s budget; one that must wait ends soon after it, never at a
// request's own 60 s.
constexpr int kQuick = 20;
constexpr int kAfterTheBudget = 40;

const Told kOfflineTold{"Null", "Null", "Offline", kLightsOffline, kQuick};
const Told kLanOnly{"Null", kStagedLan, "LAN Only - Offline", kLightsLanOnly, kQuick};
const Told kLanOnlyAfterWaiting{"Null", kStagedLan, "LAN Only - Offline", kLightsLanOnly,
                                kAfterTheBudget};
const Told kLanAndWan{kPublicAddress, kStagedLan, "LAN And WAN - Online", kLightsLanAndWan, kQuick};
const char* kNoStagedLanOnLinux =
    "the machine's own adapter is the only LAN the Linux program can be shown";

// clang-format off
const Row kRows[] = {
    {"NoNetwork", Link::kNone, Addressing::kIpv4, World::kServers, Names::kNoResolver, "no-adapter",
     kOfflineTold, std::nullopt, nullptr, nullptr},
    // Windows takes the addresses off an adapter whose cable is out (media
    // sense); Wine lists a down link's addresses as Linux keeps them.
    {"AdapterDown", Link::kDown, Addressing::kIpv4, World::kServers, Names::kHosts, "no-adapter",
     kOfflineTold, kLanOnly, nullptr, nullptr},
    {"LanOnlyServersUnreachable", Link::kLan, Addressing::kIpv4, World::kUnreachable,
     Names::kHosts, "no-connection", kLanOnlyAfterWaiting, std::nullopt, nullptr, nullptr},
    {"LanAndWan", Link::kLan, Addressing::kIpv4, World::kServers, Names::kHosts, "online",
     kLanAndWan, std::nullopt, nullptr, nullptr},
    {"VirtualLinksOnlyOnline", Link::kVirtual, Addressing::kIpv4, World::kServers, Names::kHosts, "online",
     {kPublicAddress, "Null", "WAN Only - Online", kLightsWanOnly, kQuick}, std::nullopt, nullptr,
     nullptr},
    {"LanAddressWithoutAOne", Link::kLan, Addressing::kIpv4WithoutOne, World::kServers,
     Names::kHosts, "online", kLanAndWan, std::nullopt, kNoStagedLanOnLinux, nullptr},
    {"DualStackDeadIpv6", Link::kLan, Addressing::kDualStack, World::kServers,
     Names::kHostsIpv6First, "online", kLanAndWan, std::nullopt, nullptr, nullptr},
    {"Ipv6OnlyLan", Link::kLan, Addressing::kIpv6Only, World::kServers, Names::kHosts, "online",
     {"2001:db8::7", kStagedLan, "LAN And WAN - Online", kLightsLanAndWan, kQuick}, std::nullopt,
     kNoStagedLanOnLinux, nullptr},
    {"ProxyRequired", Link::kLan, Addressing::kIpv4, World::kProxyOnly, Names::kHosts, "online-proxy",
     kLanAndWan, std::nullopt, nullptr, nullptr},
    {"BrokenProxy", Link::kLan, Addressing::kIpv4, World::kBrokenProxy, Names::kHosts, "proxy-failed",
     kLanOnly, std::nullopt, nullptr, nullptr},
    // Reachable as a sign-in page is, the internet is not: offline until the
    // user signs in.
    {"SignInPage", Link::kLan, Addressing::kIpv4, World::kSignInPage, Names::kHosts, "sign-in",
     kLanOnly, std::nullopt, nullptr, nullptr},
    // Online, with no public address to show.
    {"EchoServiceDown", Link::kLan, Addressing::kIpv4, World::kEchoDown, Names::kHosts, "online",
     {"", kStagedLan, "LAN And WAN - Online", kLightsLanAndWan, kQuick}, std::nullopt, nullptr,
     nullptr},
    {"SilentResolver", Link::kLan, Addressing::kIpv4, World::kServers, Names::kSilentResolver, "no-names",
     kLanOnlyAfterWaiting, std::nullopt, nullptr,
     "Wine's adapter report then waits on the silent resolver past the driver's limit"},
    {"SelfAssignedAddressOnly", Link::kVirtual, Addressing::kSelfAssigned, World::kServers,
     Names::kHosts, "no-address", kOfflineTold, std::nullopt, nullptr, nullptr},
    {"NoDefaultRoute", Link::kVirtual, Addressing::kNoDefaultRoute, World::kServers, Names::kHosts,
     "no-route", kOfflineTold, std::nullopt, nullptr, nullptr},
    {"ServersNeverAnswer", Link::kLan, Addressing::kIpv4, World::kSilentServers, Names::kHosts, "no-reply",
     kLanOnlyAfterWaiting, std::nullopt, nullptr, nullptr},
};
// clang-format on

// Where a row's program runs, and the addresses of its world. Rows that run
// at the same time in the machine's namespace need addresses of their own.
struct Plan {
  const Row* row;
  int number;             // 1.., unique among the rows of one run
  bool machineNamespace;  // the program runs in the machine's network namespace
  bool wine;
  std::string world;       // the world's namespace
  std::string link;        // the program's side of the veth pair
  std::string lanAddress;  // the staged LAN address, when the program's link is the LAN

  // Sixteen addresses a row: row 1 takes 203.0.113.0/28, the sixteenth .240/28.
  std::string v4(int host) const { return "203.0.113." + std::to_string(16 * (number - 1) + host); }
  std::string v6(int host) const {
    return "2001:db8:" + std::to_string(number) + ":1::" + std::to_string(host);
  }
  std::string echo4() const { return v4(10); }
  std::string target4() const { return v4(11); }
  std::string proxy4() const { return v4(12); }
  std::string portal4() const { return v4(13); }
  std::string resolver4() const { return v4(15); }
  std::string echo6() const { return v6(10); }
  std::string target6() const { return v6(11); }
};

// `machineLan`: the machine has an adapter on a bus that can be the Linux
// program's LAN.
Plan planFor(const Row& row, int number, bool wine, bool machineLan) {
  Plan plan{&row, number, false, wine, "tw-world", "e2e-lan0", ""};
  // Wine describes an adapter by its Linux name: a link named for a LAN is one.
  plan.machineNamespace = !wine && row.link == Link::kLan && machineLan;
  if (row.link == Link::kVirtual) plan.link = "e2e-virtual0";
  if (plan.machineNamespace) {
    plan.link = "e2e-mx" + std::to_string(getpid() % 10000) + "-" + std::to_string(number);
  }
  return plan;
}

std::string transit4(const Plan& plan, int host) {
  if (plan.row->addressing == Addressing::kIpv4WithoutOne) {
    return "240.0.0." + std::to_string(host == 1 ? 4 : 2);
  }
  if (plan.row->addressing == Addressing::kSelfAssigned) {
    return "169.254." + std::to_string(plan.number) + "." + std::to_string(host);
  }
  return "198.51.100." + std::to_string(4 * plan.number + host);
}

std::string transit6(const Plan& plan, int host) {
  return "2001:db8:" + std::to_string(plan.number) + "::" + std::to_string(host);
}

Commands stagingFor(Plan& plan) {
  const Row& row = *plan.row;
  const std::string& w = plan.world;
  const bool ipv4 = row.addressing != Addressing::kIpv6Only;
  const bool ipv6 =
      row.addressing == Addressing::kDualStack || row.addressing == Addressing::kIpv6Only;
  Commands c;
  if (!plan.machineNamespace && !ipv6) {
    // Wine lists an adapter's IPv6 addresses first (Windows lists IPv4 first):
    // without IPv6 on the link its link-local address cannot come first.
    c.push_back({"sysctl", "-qw", "net.ipv6.conf.default.disable_ipv6=1"});
  }
  c.push_back({"ip", "netns", "add", w});
  c.push_back({"ip", "-n", w, "link", "set", "lo", "up"});
  if (row.link == Link::kNone) return c;
  c.push_back({"ip", "link", "add", plan.link, "type", "veth", "peer", "name", "up0", "netns", w});
  const std::string prefix4 = row.addressing == Addressing::kIpv4WithoutOne ? "/24" : "/30";
  if (ipv4) {
    c.push_back({"ip", "addr", "add", transit4(plan, 2) + prefix4, "dev", plan.link});
    c.push_back({"ip", "-n", w, "addr", "add", transit4(plan, 1) + prefix4, "dev", "up0"});
    if (row.link == Link::kLan || row.link == Link::kDown) plan.lanAddress = transit4(plan, 2);
  }
  if (ipv6) {
    c.push_back({"ip", "addr", "add", transit6(plan, 2) + "/64", "dev", plan.link, "nodad"});
    c.push_back({"ip", "-n", w, "addr", "add", transit6(plan, 1) + "/64", "dev", "up0", "nodad"});
    // Wine lists an adapter's IPv6 addresses first.
    if (row.link == Link::kLan && (!ipv4 || plan.wine)) plan.lanAddress = transit6(plan, 2);
  }
  c.push_back({"ip", "-n", w, "link", "set", "up0", "up"});
  if (row.link != Link::kDown) c.push_back({"ip", "link", "set", plan.link, "up"});
  if (row.link == Link::kDown) return c;

  // Routes: in a private namespace the world is the default way out; in the
  // machine's, only the row's own test addresses lead there. Without an
  // address from the network, or without a default route, nothing leads on.
  const bool routed =
      row.addressing != Addressing::kSelfAssigned && row.addressing != Addressing::kNoDefaultRoute;
  if (ipv4 && routed) {
    const std::string to = plan.machineNamespace ? plan.v4(0) + "/28" : "default";
    c.push_back({"ip", "route", "add", to, "via", transit4(plan, 1), "dev", plan.link});
  }
  if (ipv6) {
    const std::string to =
        plan.machineNamespace ? "2001:db8:" + std::to_string(plan.number) + ":1::/64" : "default";
    c.push_back({"ip", "-6", "route", "add", to, "via", transit6(plan, 1), "dev", plan.link});
  }

  // The world's own addresses: a row whose servers are unreachable has none,
  // and a dead IPv6 path is an IPv6 address the world does not have.
  std::vector<std::string> addresses;
  switch (row.world) {
    case World::kUnreachable:
      break;
    case World::kProxyOnly:
    case World::kBrokenProxy:
      addresses = {plan.echo4(), plan.target4(), plan.proxy4()};
      break;
    case World::kSignInPage:
      addresses = {plan.echo4(), plan.target4(), plan.portal4()};
      break;
    default:
      addresses = {plan.echo4(), plan.target4()};
  }
  if (row.addressing == Addressing::kIpv6Only) addresses = {plan.echo6(), plan.target6()};
  for (const std::string& address : addresses) {
    const bool six = address.find(':') != std::string::npos;
    c.push_back({"ip", "-n", w, "addr", "add", address + (six ? "/128" : "/32"), "dev", "lo"});
  }
  return c;
}

std::vector<ServerSetup> serversFor(const Plan& plan) {
  const Row& row = *plan.row;
  const std::string echoBody = row.addressing == Addressing::kIpv6Only
                                   ? "2001:db8::7\n"
                                   : std::string(kPublicAddress) + "\n";
  const auto at = [&](std::string address, std::uint16_t port,
                      tests_support::HttpTestServer::Handler handler) {
    return ServerSetup{plan.world, std::move(address), port, std::move(handler)};
  };
  const auto normal = [echoBody](const HttpRequest& request) {
    return pageOrEcho(request, echoBody);
  };
  if (row.link == Link::kNone || row.link == Link::kDown) return {};  // nothing reaches them
  switch (row.world) {
    case World::kUnreachable:
    case World::kBrokenProxy:
      return {};
    case World::kProxyOnly:
      // The proxy is asked for absolute URLs and answers as the servers would.
      return {at(plan.proxy4(), 3128, normal)};
    case World::kSignInPage: {
      const auto portal = [](const HttpRequest& request) {
        if (request.header("Host") == kPortalHost) {
          return HttpReply::text(
              "<html><body><form>Sign in to use the hotel network, then "
              "continue</form></body></html>");
        }
        return HttpReply::redirect(std::string("http://") + kPortalHost +
                                   "/login?from=" + request.header("Host"));
      };
      return {at(plan.echo4(), 80, portal), at(plan.target4(), 80, portal),
              at(plan.portal4(), 80, portal)};
    }
    case World::kEchoDown: {
      const auto handler = [](const HttpRequest& request) {
        if (request.header("Host") == kEchoHost) {
          return HttpReply::text("503 Service Unavailable", 503);
        }
        return pageOrEcho(request, "");
      };
      return {at(plan.echo4(), 80, handler), at(plan.target4(), 80, handler)};
    }
    case World::kSilentServers: {
      const auto silent = [](const HttpRequest&) { return HttpReply::neverAnswer(); };
      return {at(plan.echo4(), 80, silent), at(plan.target4(), 80, silent)};
    }
    case World::kServers:
      break;
  }
  if (row.addressing == Addressing::kIpv6Only) {
    return {at(plan.echo6(), 80, normal), at(plan.target6(), 80, normal)};
  }
  return {at(plan.echo4(), 80, normal), at(plan.target4(), 80, normal)};
}

std::vector<std::pair<std::string, std::string>> etcFilesFor(const Plan& plan) {
  const Row& row = *plan.row;
  std::string hosts = "127.0.0.1 localhost\n::1 localhost\n";
  const bool six = row.addressing == Addressing::kIpv6Only;
  if (row.names == Names::kHosts || row.names == Names::kHostsIpv6First) {
    if (row.names == Names::kHostsIpv6First) {
      // A name with an IPv6 address that leads nowhere, listed before the one that works.
      hosts += plan.echo6() + " " + kEchoHost + "\n" + plan.target6() + " " + kTargetHost + "\n";
    }
    hosts += (six ? plan.echo6() : plan.echo4()) + " " + kEchoHost + "\n";
    hosts += (six ? plan.target6() : plan.target4()) + " " + kTargetHost + "\n";
    hosts += plan.portal4() + " " + kPortalHost + "\n";
  }
  // A resolver the world drops packets for never answers; without a route
  // to it, a lookup fails at once.
  std::string resolver = "nameserver " + plan.resolver4() + "\n";
  if (row.names != Names::kSilentResolver) resolver += "options timeout:1 attempts:1\n";
  return {{"hosts", hosts}, {"resolv.conf", resolver}, {"host.conf", "multi on\n"}};
}

std::vector<std::string> environmentFor(const Plan& plan) {
  if (plan.row->world == World::kProxyOnly || plan.row->world == World::kBrokenProxy) {
    return {"http_proxy=http://" + plan.proxy4() + ":3128/"};
  }
  return {};
}

RunSetup setupFor(Plan& plan, const Launch& launch) {
  RunSetup setup;
  setup.privateNetwork = !plan.machineNamespace;
  setup.stagingCommands = stagingFor(plan);
  setup.servers = serversFor(plan);
  setup.etcFiles = etcFilesFor(plan);
  setup.environment = launch.environment;
  for (const std::string& entry : environmentFor(plan)) setup.environment.push_back(entry);
  setup.timeLimit = launch.timeLimit;
  return setup;
}

// What the user of a row is told when the program has no LAN to show: the
// same, less the LAN.
Told withoutLan(Told told) {
  told.lan = "Null";
  if (told.status == "LAN And WAN - Online") {
    told.status = "WAN Only - Online";
    told.lights = kLightsWanOnly;
  } else if (told.status == "LAN Only - Offline") {
    told.status = "Offline";
    told.lights = kLightsOffline;
  }
  return told;
}

// One row: its own test, so that ctest runs, times out and reports it alone.
// The row's place in the table numbers its addresses, so rows that run at
// the same time in the machine's namespace never share one.
//
// A machine whose adapters are all virtual (a container's veth links) has no
// LAN the Linux program can show, and no link made here can sit on a bus
// (the kernel names a link's bus device itself): there a LAN row is staged in
// a private namespace like the others and checked less its LAN.
// TARNWICK_E2E_NO_MACHINE_LAN=1 stages them so on any machine.
void runRow(std::size_t index, const Launch& launch, bool wine) {
  if (const std::string why = isolationUnavailable(); !why.empty()) GTEST_SKIP() << why;
  const Row& row = kRows[index];
  const char* noMachineLan = std::getenv("TARNWICK_E2E_NO_MACHINE_LAN");
  const std::string machineLan =
      noMachineLan != nullptr && *noMachineLan != '\0' ? "" : machineLanAddress();
  Plan plan = planFor(row, static_cast<int>(index + 1), wine, probes::isIpAddress(machineLan));
  const RunSetup setup = setupFor(plan, launch);  // stages the LAN address too
  Told told = wine && row.wine ? *row.wine : row.linux;
  if (!wine && row.link == Link::kLan && !plan.machineNamespace) told = withoutLan(told);
  std::string lan = plan.machineNamespace ? machineLan : plan.lanAddress;
  const RunResult run = runIsolated(launch.path, setup);
  if (told.lan != kStagedLan) lan = told.lan;
  const char* reason = wine && row.wineReason != nullptr ? row.wineReason : row.reason;
  checkTold(row.name, run, told, lan, reason, wine, row.wineMainWindowOnly);
}

std::vector<std::size_t> rowsOf(bool wine) {
  std::vector<std::size_t> rows;
  for (std::size_t i = 0; i < std::size(kRows); ++i) {
    if (wine || kRows[i].notOnLinux == nullptr) rows.push_back(i);
  }
  return rows;
}

std::string rowName(const ::testing::TestParamInfo<std::size_t>& info) {
  return kRows[info.param].name;
}

class TheLinuxProgramOnEveryNetwork : public ::testing::TestWithParam<std::size_t> {};
class TheWindowsProgramOnEveryNetwork : public ::testing::TestWithParam<std::size_t> {};

TEST_P(TheLinuxProgramOnEveryNetwork, TellsTheTruth) {
  runRow(GetParam(), linuxLaunch(), false);
}

TEST_P(TheWindowsProgramOnEveryNetwork, TellsTheTruth) {
  const std::optional<Launch> launch = wineLaunch();
  if (!launch) GTEST_SKIP() << "TARNWICK_WINDOWS_BUILD names no usable Windows build";
  runRow(GetParam(), *launch, true);
}

// The rows a Linux machine cannot stage (notOnLinux says why) are Windows rows alone.
INSTANTIATE_TEST_SUITE_P(NetworkMatrix, TheLinuxProgramOnEveryNetwork,
                         ::testing::ValuesIn(rowsOf(false)), rowName);
INSTANTIATE_TEST_SUITE_P(NetworkMatrix, TheWindowsProgramOnEveryNetwork,
                         ::testing::ValuesIn(rowsOf(true)), rowName);

}  // namespace
}  // namespace end_to_end
