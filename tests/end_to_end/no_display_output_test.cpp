// The real program, run in private namespaces against a scripted server on
// 127.0.0.1:80 that stands in for both of its web endpoints: the Linux build in
// no-display mode, and the Windows build under Wine, read by a test driver.

#include <gtest/gtest.h>

#include <unistd.h>
#include <nlohmann/json.hpp>

#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

#include "diagnosis/connection_reason.h"
#include "probes/address_text.h"
#include "probes/endpoints.h"
#include "tests/end_to_end/isolated_run.h"
#include "tests/end_to_end/program_launch.h"

namespace end_to_end {
namespace {

using tests_support::HttpReply;
using tests_support::HttpRequest;

constexpr const char* kAgent = "{Brevan} WAN LAN TARNWICK 1.6";
constexpr const char* kTitleLine = "{Brevan} WAN LAN TARNWICK v1.6";
constexpr const char* kPhysicalLan = "<the machine's physical LAN address>";
constexpr const char* kUsageLine = "Usage: tarnwick [--text | --json | --help | --version]\n";

// A reply that tries to drive the terminal (title, clear screen, a C1 CSI) and
// to forge a line of the output.
const std::string kHostileBody =
    "Your address: \x1b]0;owned\x07\x1b[2J\xc2\x9b"
    "31m203.0.113.9\x7f\r\nOnline:forged";

const char* kLightsLanAndWan = R"(green raised "Online", yellow raised "WAN/LAN", red pressed "")";
const char* kLightsLanOnly = R"(green pressed "", yellow raised "LAN Only", red raised "Offline")";
const char* kLightsWanOnly = R"(green raised "Online", yellow raised "WAN Only", red pressed "")";
const char* kLightsOffline = R"(green pressed "", yellow pressed "", red raised "Offline")";

enum class Network {
  kMachine,       // the machine's own network namespace
  kVethPair,      // a private one: loopback and two virtual links
  kLoopbackOnly,  // a private one: loopback alone
  kLanLink,       // a private one: loopback and a link taken for a NIC, IPv4 only
};

struct Scenario {
  const char* name;
  Network network;
  bool serverUp;
  int echoStatus;
  std::string echoBody;
  std::string wan;  // as printed
  std::string lan;  // as printed, or kPhysicalLan
  std::string status;
  const char* reason;  // its code
  std::string lights;
  // The one option the run is given: "--json" (wan and lan as the window
  // holds them) or "--text"; none: as the program starts from a menu.
  const char* option = nullptr;
  // A display the run is given, one that nothing serves ("DISPLAY=:..."),
  // with what the program says about it on standard error; none: no display.
  std::vector<std::string> display = {};
  const char* displayMessage = "";
};

// The endpoints refuse: the machine's own namespace has a way out, so nothing
// but the servers stands in the way (see reasonFor).
constexpr const char* kRefused = "no-connection";

bool isJson(const Scenario& scenario) {
  return scenario.option != nullptr && std::string(scenario.option) == "--json";
}

void PrintTo(const Scenario& scenario, std::ostream* out) {
  *out << scenario.name;
}

const Scenario kScenarios[] = {
    {"LanAndWanOnline", Network::kMachine, true, 200, "203.0.113.7", "203.0.113.7", kPhysicalLan,
     "LAN And WAN - Online", "online", kLightsLanAndWan},
    {"ServerDownIsLanOnlyOffline", Network::kMachine, false, 0, "", "Null", kPhysicalLan,
     "LAN Only - Offline", kRefused, kLightsLanOnly},
    {"VirtualLinksOnlyIsWanOnlyOnline", Network::kVethPair, true, 200, "Your IP is 203.0.113.7",
     "203.0.113.7", "Null", "WAN Only - Online", "online", kLightsWanOnly},
    // Its last word is no address, so none of it reaches the screen.
    {"HostileEchoNeverReachesTheScreen", Network::kVethPair, true, 200, kHostileBody, "", "Null",
     "WAN Only - Online", "online", kLightsWanOnly},
    {"ErrorPageIsNeverTheAddress", Network::kVethPair, true, 503, "503 Service Unavailable", "",
     "Null", "WAN Only - Online", "online", kLightsWanOnly},
    {"LoopbackAloneListsNoAdapters", Network::kLoopbackOnly, true, 200, "203.0.113.7",
     "203.0.113.7", "Null", "WAN Only - Online", "online", kLightsWanOnly},
    {"HostileEchoAsJson", Network::kVethPair, true, 200, kHostileBody, "", "Null",
     "WAN Only - Online", "online", kLightsWanOnly, "--json"},
    // --text prints whatever the display: were it ignored, the run would try
    // the display and say so on standard error.
    {"TextWithADisplayIsOfflineAndOpensNoWindow",
     Network::kVethPair,
     false,
     0,
     "",
     "Null",
     "Null",
     "Offline",
     "no-route",
     kLightsOffline,
     "--text",
     {"DISPLAY=:87"}},
    // A display that cannot be opened: a clear message, then the text output.
    {"UnopenableWaylandDisplayPrintsTheText",
     Network::kVethPair,
     true,
     200,
     "203.0.113.7",
     "203.0.113.7",
     "Null",
     "WAN Only - Online",
     "online",
     kLightsWanOnly,
     nullptr,
     {"WAYLAND_DISPLAY=tarnwick-nowhere", "XDG_RUNTIME_DIR=/tmp"},
     "tarnwick: cannot open a window on the display (WAYLAND_DISPLAY=tarnwick-nowhere)"},
    {"UnopenableX11DisplayPrintsTheText",
     Network::kVethPair,
     false,
     0,
     "",
     "Null",
     "Null",
     "Offline",
     "no-route",
     kLightsOffline,
     nullptr,
     {"DISPLAY=:87"},
     "tarnwick: cannot open a window on the display (DISPLAY=:87)"},
};

// Both endpoints resolve to the same server; the Host header tells them apart.
tests_support::HttpTestServer::Handler endpoints(const Scenario& scenario) {
  return [status = scenario.echoStatus, body = scenario.echoBody](const HttpRequest& request) {
    if (request.header("Host") == probes::kEchoServiceHost) return HttpReply::text(body, status);
    if (request.header("Host") == probes::kReachabilityHost)
      return HttpReply::text("<html></html>");
    return HttpReply::text("unexpected host", 404);
  };
}

// Two virtual links joined to each other, with documentation addresses. The
// Windows build tells a virtual adapter by the word in its description, and
// Wine describes an adapter by its Linux name: the names say "virtual".
const std::vector<std::vector<std::string>> kVethPair = {
    {"ip", "link", "add", "e2e-virtual-a", "type", "veth", "peer", "name", "e2e-virtual-b"},
    {"ip", "addr", "add", "198.51.100.1/24", "dev", "e2e-virtual-a"},
    {"ip", "addr", "add", "198.51.100.2/24", "dev", "e2e-virtual-b"},
    {"ip", "link", "set", "e2e-virtual-a", "up"},
    {"ip", "link", "set", "e2e-virtual-b", "up"},
};

const Scenario kWineScenarios[] = {
    {"LanAndWanOnline", Network::kLanLink, true, 200, "203.0.113.7", "203.0.113.7", "198.51.100.1",
     "LAN And WAN - Online", "online", kLightsLanAndWan},
    {"ServerDownIsLanOnlyOffline", Network::kLanLink, false, 0, "", "Null", "198.51.100.1",
     "LAN Only - Offline", "no-route", kLightsLanOnly},
    kScenarios[2],
    kScenarios[4],
    {"ServerDownAsJson", Network::kLanLink, false, 0, "", "Null", "198.51.100.1",
     "LAN Only - Offline", "no-route", kLightsLanOnly, "--json"},
    {"ServerDownAsText", Network::kLanLink, false, 0, "", "Null", "198.51.100.1",
     "LAN Only - Offline", "no-route", kLightsLanOnly, "--text"},
};

// Scripts read the outcome from the exit status, as they do with nm-online:
// 0 online, 1 offline (2 is a usage error or a failure).
int expectedExitStatus(const Scenario& scenario) {
  return scenario.status.ends_with(" - Online") ? 0 : 1;
}

// A machine without a default route of its own is told so first.
std::string reasonFor(const Scenario& scenario) {
  std::string code = scenario.reason;
  if (scenario.network == Network::kMachine && code == kRefused) {
    std::ifstream routes("/proc/net/route");
    std::string line;
    bool found = false;
    while (std::getline(routes, line))
      found = found || line.find("\t00000000\t") != std::string::npos;
    if (!found) code = "no-route";
  }
  return std::string(diagnosis::reasonByCode(code).value().text);
}

std::string expectedBlock(const Scenario& scenario, const std::string& lan) {
  return std::string(kTitleLine) + "\n" + "Your Wan Ip Is: " + scenario.wan + "\n" +
         "Your Lan Ip Is: " + lan + "\n" + "Localhost: 127.0.0.1\n" +
         "Online Status: " + scenario.status + "\n" + "Reason: " + reasonFor(scenario) + "\n" +
         "Lights: " + scenario.lights + "\n";
}

// Bytes that would reach the terminal as controls: everything below 0x20 but
// tab and line feed, DEL, and the C1 range encoded in UTF-8 (C2 80..C2 9F).
std::string rawControls(const std::string& text) {
  std::string found;
  for (std::size_t i = 0; i < text.size(); ++i) {
    const auto c = static_cast<unsigned char>(text[i]);
    const bool c1 = c == 0xC2 && i + 1 < text.size() &&
                    static_cast<unsigned char>(text[i + 1]) >= 0x80 &&
                    static_cast<unsigned char>(text[i + 1]) < 0xA0;
    if ((c < 0x20 && c != '\n' && c != '\t') || c == 0x7F || c1) {
      found += "offset " + std::to_string(i) + " byte " + std::to_string(c) + "; ";
    }
  }
  return found;
}

// How a scenario's program is started and what it prints by.
struct Program {
  std::string path;
  std::vector<std::string> environment;
  std::chrono::seconds timeLimit{30};
  // Put before the program's own options (the Wine session's mode).
  std::vector<std::string> optionsPrefix = {};
  // Without options a driver reads the windows, closes them and ends with
  // its own status, 0 when it could; with options the program's status is the
  // run's.
  bool drivenWithoutOptions = false;
};

std::vector<std::string> argumentsFor(const Program& program,
                                      const std::vector<std::string>& options) {
  if (options.empty()) return {};
  std::vector<std::string> out = program.optionsPrefix;
  out.insert(out.end(), options.begin(), options.end());
  return out;
}

Program linuxProgram() {
  return Program{TARNWICK_PROGRAM, {leakSanitizerOptions()}};
}

// tarnwick.exe under Wine on a virtual display, driven from outside by the
// Windows test driver: it reads the windows and prints the same lines, or, in
// its --console mode, starts the program with options and its standard output
// redirected to a pipe, passes on what it printed and its exit status, and
// fails if the program shows a window. Needs a Windows build
// (TARNWICK_WINDOWS_BUILD names it; `bash scripts/dev.sh windows-e2e` sets it).
std::optional<Program> windowsProgram() {
  const std::optional<Launch> wine = wineLaunch(120);
  if (!wine) return std::nullopt;
  return Program{wine->path, wine->environment, wine->timeLimit, {"--console"}, true};
}

void checkRun(const Scenario& scenario, const Program& program);
void checkOptions(const Program& program);

class NoDisplayOutput : public ::testing::TestWithParam<Scenario> {};

TEST_P(NoDisplayOutput, PrintsTheGatheredWindowAndBothReports) {
  checkRun(GetParam(), linuxProgram());
}

INSTANTIATE_TEST_SUITE_P(Runs, NoDisplayOutput, ::testing::ValuesIn(kScenarios),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(CommandLine, HelpVersionAndUnknownOptionsNeitherGatherNorOpenAWindow) {
  checkOptions(linuxProgram());
}

// Where the kernel cannot be asked for adapters, both reports raise an error
// box: the run prints what it found and says it failed, offline or online.
TEST(ExitStatus, AFailedReportIsAFailureOnAnOfflineMachineAsOnAnOnlineOne) {
  if (const std::string why = isolationUnavailable(); !why.empty()) GTEST_SKIP() << why;
  const char* asan = std::getenv("ASAN_OPTIONS");
  for (const Scenario& scenario : {kScenarios[2], kScenarios[7]}) {
    SCOPED_TRACE(scenario.name);
    RunSetup setup;
    setup.privateNetwork = true;
    setup.stagingCommands = kVethPair;
    if (scenario.serverUp) setup.server = endpoints(scenario);
    // The preloaded library comes before the sanitizers' runtime.
    setup.environment = {
        leakSanitizerOptions(), std::string("LD_PRELOAD=") + TARNWICK_REFUSE_NETLINK,
        std::string("ASAN_OPTIONS=") + (asan != nullptr ? asan : "") + ":verify_asan_link_order=0"};
    setup.arguments = {"--text"};
    const RunResult run = runIsolated(TARNWICK_PROGRAM, setup);
    ASSERT_TRUE(run.ran && !run.timedOut) << run.setupError << run.killedWhile;
    EXPECT_EQ(run.exitStatus, 2) << run.err;
    EXPECT_NE(run.out.find("Online Status: " + scenario.status + "\n"), std::string::npos)
        << run.out;
    EXPECT_NE(run.err.find("netlink"), std::string::npos) << run.err;
  }
}

class WindowsProgramUnderWine : public ::testing::TestWithParam<Scenario> {};

TEST_P(WindowsProgramUnderWine, ShowsTheGatheredWindowAndBothReports) {
  const auto program = windowsProgram();
  if (!program) GTEST_SKIP() << "TARNWICK_WINDOWS_BUILD names no Windows build";
  checkRun(GetParam(), *program);
}

// The escaping of hostile replies and the adapter tables are the logic's,
// tested above.
INSTANTIATE_TEST_SUITE_P(Runs, WindowsProgramUnderWine, ::testing::ValuesIn(kWineScenarios),
                         [](const auto& info) { return std::string(info.param.name); });

// Run from a folder that also holds a stand-in DLL under the name of each DLL
// the program loads on first use, with Wine preferring those to its own as
// Windows' search order does; the session fails if the program loads any.
TEST(WindowsProgramUnderWinePlantedDlls, LoadsNoneOfThem) {
  auto program = windowsProgram();
  if (!program) GTEST_SKIP() << "TARNWICK_WINDOWS_BUILD names no Windows build";
  const std::string built =
      std::string(std::getenv("TARNWICK_WINDOWS_BUILD")) + "/tests/windows_driver/";
  program->environment.push_back("TARNWICK_WINE_PLANTED_DLL=" + built + "tarnwick_planted_dll.dll");
  program->environment.push_back("TARNWICK_WINE_PLANTING_CONTROL=" + built +
                                 "tarnwick_planting_control.exe");
  checkRun(kWineScenarios[0], *program);
}

TEST(WindowsProgramUnderWineCommandLine, HelpVersionAndUnknownOptionsNeitherGatherNorOpenAWindow) {
  const auto program = windowsProgram();
  if (!program) GTEST_SKIP() << "TARNWICK_WINDOWS_BUILD names no Windows build";
  checkOptions(*program);
}

// Started from Explorer or a shortcut there is no console for the usage to
// go to: it comes in a message box instead, and the program still ends as a
// usage error does.
TEST(WindowsProgramUnderWineCommandLine, AnUnknownOptionWithoutAConsoleShowsTheUsageInABox) {
  const auto program = windowsProgram();
  if (!program) GTEST_SKIP() << "TARNWICK_WINDOWS_BUILD names no Windows build";
  if (const std::string why = isolationUnavailable(); !why.empty()) GTEST_SKIP() << why;
  RunSetup setup;
  setup.privateNetwork = true;
  setup.environment = program->environment;
  setup.timeLimit = program->timeLimit;
  setup.arguments = {"--no-console", "--verbose"};
  const RunResult run = runIsolated(program->path, setup);
  ASSERT_TRUE(run.ran && !run.timedOut) << run.setupError;
  EXPECT_EQ(run.exitStatus, 2) << run.err;
  const std::string box = std::string("{Brevan} WAN LAN TARNWICK 1.6\n") +
                          "tarnwick: unknown option '--verbose'\n" + kUsageLine;
  EXPECT_EQ(run.out.substr(0, box.size()), box);
  EXPECT_TRUE(run.requests.empty());
}

// The lines of the main window the text output starts with, from the JSON
// document, so that both outputs are checked against one table.
std::string blockFromJson(const nlohmann::json& document) {
  std::string lights;
  for (const auto& light : document.at("lights")) {
    lights += (lights.empty() ? "" : ", ") + light.at("colour").get<std::string>() + " " +
              (light.at("pressed").get<bool>() ? "pressed" : "raised") + " \"" +
              light.at("caption").get<std::string>() + "\"";
  }
  return document.at("title").get<std::string>() + "\n" +
         "Your Wan Ip Is: " + document.at("wan").get<std::string>() + "\n" +
         "Your Lan Ip Is: " + document.at("lan").get<std::string>() + "\n" +
         "Localhost: " + document.at("localhost").get<std::string>() + "\n" +
         "Online Status: " + document.at("status").get<std::string>() + "\n" +
         "Reason: " + document.at("reason").at("text").get<std::string>() + "\n" +
         "Lights: " + lights + "\n";
}

// A report of the JSON document back in the form the text output has it: its
// first line, then each adapter's values, enough to find names and counts.
std::string reportFromJson(const nlohmann::json& report) {
  std::string out = report.at("count").dump() + " adapter(s) found.\n\n";
  EXPECT_EQ(report.at("count"), report.at("adapters").size()) << report.dump();
  for (const auto& adapter : report.at("adapters")) {
    for (const auto& [label, value] : adapter.items()) {
      out += "\t" + label + " = " + value.get<std::string>() + "\n";
    }
  }
  return out;
}

void checkRun(const Scenario& scenario, const Program& program) {
  if (const std::string why = isolationUnavailable(); !why.empty()) GTEST_SKIP() << why;

  RunSetup setup;
  setup.privateNetwork = scenario.network != Network::kMachine;
  if (scenario.network == Network::kVethPair) setup.stagingCommands = kVethPair;
  if (scenario.network == Network::kLanLink) setup.stagingCommands = kWineLanLink;
  if (scenario.serverUp) setup.server = endpoints(scenario);
  setup.environment = program.environment;
  // The tests' own platform (offscreen) would be the user's choice.
  if (!scenario.display.empty()) setup.environment.push_back("QT_QPA_PLATFORM=");
  for (const std::string& entry : scenario.display) setup.environment.push_back(entry);
  setup.timeLimit = program.timeLimit;
  setup.arguments =
      argumentsFor(program, scenario.option ? std::vector<std::string>{scenario.option}
                                            : std::vector<std::string>{});

  std::string lan = scenario.lan;
  if (scenario.network == Network::kMachine) {
    setup.loopback = loopbackOfThisRun();
    lan = machineLanAddress();
    if (!probes::isIpAddress(lan)) {
      GTEST_SKIP() << "the machine has no physical LAN address (\"" << lan
                   << "\"): the LAN branches cannot be reached here";
    }
  }

  const RunResult run = runIsolated(program.path, setup);
  ASSERT_FALSE(run.timedOut) << "killed after " << setup.timeLimit.count()
                             << " s: " << run.killedWhile << "\nstdout:\n"
                             << run.out;
  ASSERT_TRUE(run.ran) << run.setupError;

  const bool driven = program.drivenWithoutOptions && scenario.option == nullptr;
  EXPECT_EQ(run.exitStatus, driven ? 0 : expectedExitStatus(scenario));
  const std::string message = scenario.displayMessage;
  if (message.empty()) {
    EXPECT_EQ(run.err, "");
  } else {
    EXPECT_EQ(run.err.substr(0, message.size()), message) << run.err;
    EXPECT_NE(run.err.find("\ntarnwick: printing the results as text instead\n"), std::string::npos)
        << run.err;
  }
  EXPECT_EQ(rawControls(run.out), "");
  // Twenty ticks of 100 ms come before the result.
  EXPECT_GE(run.elapsed.count(), 2000);

  const std::string block = expectedBlock(scenario, lan);
  std::string inventory;
  std::string adapterList;
  if (isJson(scenario)) {
    nlohmann::json document;
    ASSERT_NO_THROW(document = nlohmann::json::parse(run.out)) << run.out;
    ASSERT_EQ(blockFromJson(document), block);
    EXPECT_EQ(document.at("online"), expectedExitStatus(scenario) == 0);
    inventory = reportFromJson(document.at("adapter_info"));
    adapterList = reportFromJson(document.at("additional_adapter_info"));
  } else {
    ASSERT_EQ(run.out.substr(0, block.size()), block);
    // Then each report window: an empty line, its caption, its report.
    const std::string rest = run.out.substr(block.size());
    const std::string first = "\nAdapter Info\n";
    const std::string second = "\nAdditional Adapter Info\n";
    ASSERT_EQ(rest.substr(0, first.size()), first) << rest;
    const std::size_t secondAt = rest.find(second);
    ASSERT_NE(secondAt, std::string::npos) << rest;
    inventory = rest.substr(first.size(), secondAt - first.size());
    adapterList = rest.substr(secondAt + second.size());
  }
  EXPECT_NE(inventory.find(" adapter(s) found.\n"), std::string::npos) << inventory;
  EXPECT_NE(adapterList.find(" adapter(s) found.\n"), std::string::npos) << adapterList;
  if (scenario.network == Network::kVethPair) {
    for (const char* link : {"e2e-virtual-a", "e2e-virtual-b"}) {
      EXPECT_NE(inventory.find(link), std::string::npos) << link << " in\n" << inventory;
      EXPECT_NE(adapterList.find(link), std::string::npos) << link << " in\n" << adapterList;
    }
  }
  if (scenario.network == Network::kLoopbackOnly) {
    // Loopback is an adapter of the inventory but no entry of the adapter table.
    EXPECT_EQ(inventory.substr(0, 20), "1 adapter(s) found.\n") << inventory;
    EXPECT_EQ(adapterList.substr(0, 20), "0 adapter(s) found.\n") << adapterList;
  }

  // One load: a start-up fetch and one per tick, then one reachability probe.
  if (scenario.serverUp) {
    const std::string echo = std::string(probes::kEchoServiceHost) + "\t/\t" + kAgent;
    const std::string target = std::string(probes::kReachabilityHost) + "\t/\t" + kAgent;
    int echoes = 0;
    int probes = 0;
    for (const std::string& request : run.requests) {
      if (request == echo) {
        ++echoes;
      } else if (request == target) {
        ++probes;
      } else {
        ADD_FAILURE() << "unexpected request: " << request;
      }
    }
    EXPECT_EQ(echoes, 21);
    EXPECT_EQ(probes, 1);
  }
}

// The options that print and stop: with both endpoints answering, nothing may
// reach them, and the run ends long before a gathering could.
void checkOptions(const Program& program) {
  if (const std::string why = isolationUnavailable(); !why.empty()) GTEST_SKIP() << why;
  struct Row {
    std::vector<std::string> options;
    int exitStatus;
    std::string outStart;
    std::string errStart;
  };
  const Row rows[] = {
      {{"--help"}, 0, kUsageLine, ""},
      {{"--version"}, 0, "tarnwick 1.6\n", ""},
      {{"--json", "--verbose"},
       2,
       "",
       std::string("tarnwick: unknown option '--verbose'\n") + kUsageLine},
      {{"--text", "--json"},
       2,
       "",
       std::string("tarnwick: --json and --text cannot be used together\n") + kUsageLine},
  };
  const Scenario answering = kScenarios[0];
  for (const Row& row : rows) {
    RunSetup setup;
    setup.privateNetwork = true;
    setup.server = endpoints(answering);
    setup.environment = program.environment;
    setup.timeLimit = program.timeLimit;
    setup.arguments = argumentsFor(program, row.options);
    const RunResult run = runIsolated(program.path, setup);
    ASSERT_TRUE(run.ran && !run.timedOut) << row.options[0] << ": " << run.setupError;
    EXPECT_EQ(run.exitStatus, row.exitStatus) << row.options[0];
    EXPECT_EQ(run.out.substr(0, row.outStart.size()), row.outStart) << row.options[0];
    EXPECT_EQ(run.err.substr(0, row.errStart.size()), row.errStart) << row.options[0];
    if (row.errStart.empty()) {
      EXPECT_EQ(run.err, "") << row.options[0];
    }
    EXPECT_TRUE(run.requests.empty()) << row.options[0] << ": " << run.requests.front();
  }
}

}  // namespace
}  // namespace end_to_end
