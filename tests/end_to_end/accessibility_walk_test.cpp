// The real program walked through as a screen-reader user walks it: what a
// screen reader finds and hears once the gathering ends, online and offline,
// and every command reached and worked from the keyboard. The Linux build on a
// desktop session of its own, over the accessibility bus
// (accessibility_check.py); the Windows build under Wine, through IAccessible
// (the Windows test driver's walk), once with a high-contrast scheme, where
// the texts' contrast is measured from the pixels drawn.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "diagnosis/connection_reason.h"
#include "probes/endpoints.h"
#include "tests/end_to_end/isolated_run.h"
#include "tests/end_to_end/program_launch.h"

namespace end_to_end {
namespace {

using tests_support::HttpReply;
using tests_support::HttpRequest;

struct Walk {
  const char* name;
  bool serverUp;
  std::string status;
  const char* reason;              // the code of the reason told with it
  std::vector<std::string> shown;  // what differs between the rows
};

const Walk kWalks[] = {
    {"Online",
     true,
     "WAN Only - Online",
     "online",
     {R"(shown status "Green light: Online")", R"(shown status "Yellow light: WAN Only")",
      R"(shown status "Red light" pressed)", R"(shown edit "Your Wan Ip Is:" text "203.0.113.7")",
      R"(shown edit "Your Lan Ip Is:" text "Null")"}},
    {"Offline",
     false,
     "Offline",
     "no-adapter",
     {R"(shown status "Green light" pressed)", R"(shown status "Yellow light" pressed)",
      R"(shown status "Red light: Offline")", R"(shown edit "Your Wan Ip Is:" text "Null")",
      R"(shown edit "Your Lan Ip Is:" text "Null")"}},
};

// What every row meets: the controls as a sighted user reads them, the keyboard
// once round the first page in the layout's order (the marker box outside the
// window is not in it), both report windows opened and closed with Esc, the
// focus back on Reload after a reload, the pages turned from the keyboard.
const std::vector<std::string> kEveryWalk = {
    R"(shown link "Your Wan Ip Is:" description "WAN IP NOT SHOWING UP - CLICK HERE.")",
    R"(shown edit "Localhost:" text "127.0.0.1")",
    R"(shown push button "1" description "Adapter Info")",
    R"(shown push button "2" description "Additional Adapter Info")",
    R"(shown push button "Reload")",
    R"(shown text "Adapter Info")",
    R"(focus page tab "WAN LAN")",
    R"(opened window "Adapter Info")",
    R"(closed window "Adapter Info")",
    R"(opened window "Additional Adapter Info")",
    R"(closed window "Additional Adapter Info")",
    R"(focus after reload push button "Reload")",
    R"(ctrl+Tab page tab "Legend")",
    R"(ctrl+Next page tab "About / Help")",
    R"(ctrl+shift+Tab page tab "Legend")",
    R"(ctrl+Prior page tab "WAN LAN")",
};

const std::vector<std::string> kTabOrder = {
    R"(tab edit "Your Wan Ip Is:")", R"(tab edit "Your Lan Ip Is:")",
    R"(tab link "Your Wan Ip Is:")", R"(tab edit "Localhost:")",
    R"(tab push button "Reload")",   R"(tab push button "1")",
    R"(tab push button "2")",        R"(tab page tab "WAN LAN")",
};

std::vector<std::string> linesOf(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

std::vector<std::string> startingWith(const std::vector<std::string>& lines,
                                      const std::string& prefix) {
  std::vector<std::string> out;
  for (const auto& line : lines) {
    if (line.starts_with(prefix)) out.push_back(line);
  }
  return out;
}

RunSetup setupFor(const Walk& walk) {
  RunSetup setup;
  setup.privateNetwork = true;  // no adapter of the machine's: no LAN address
  if (walk.serverUp) {
    setup.server = [](const HttpRequest& request) {
      if (request.header("Host") == probes::kEchoServiceHost)
        return HttpReply::text("Your IP is 203.0.113.7");
      return HttpReply::text("<html></html>");
    };
  }
  setup.environment = {std::string("TARNWICK_PROGRAM=") + TARNWICK_PROGRAM, leakSanitizerOptions()};
  setup.timeLimit = std::chrono::seconds(170);
  return setup;
}

// What a walk must meet: the lines of its row, then what every walk meets.
void checkWalk(const Walk& walk, const RunResult& run) {
  SCOPED_TRACE(walk.name);
  ASSERT_TRUE(run.ran) << run.setupError;
  ASSERT_FALSE(run.timedOut) << run.killedWhile << "\n" << run.out;
  EXPECT_EQ(run.exitStatus, 0) << run.out << run.err;
  const auto lines = linesOf(run.out);
  const auto has = [&](const std::string& line) {
    return std::find(lines.begin(), lines.end(), line) != lines.end();
  };
  const std::string status = "Online Status: " + walk.status;
  const std::string reason(diagnosis::reasonByCode(walk.reason).value().text);
  std::vector<std::string> expected = walk.shown;
  expected.push_back("shown status \"" + status + "\" description \"" + reason + "\"");
  // Said once when the gathering ends and again after the reload, with why.
  expected.push_back("announced \"" + status + ". " + reason + "\"");
  expected.push_back("announced again \"" + status + ". " + reason + "\"");
  expected.insert(expected.end(), kEveryWalk.begin(), kEveryWalk.end());
  for (const auto& line : expected) EXPECT_TRUE(has(line)) << line << "\nin:\n" << run.out;
  EXPECT_EQ(startingWith(lines, "tab "), kTabOrder) << run.out;
  // The reachability marker never reaches a screen reader.
  for (const auto& line : lines) {
    EXPECT_EQ(line.find("text \"online\""), std::string::npos) << line;
  }
  std::printf("[   INFO   ] %s: %lld ms\n", walk.name, static_cast<long long>(run.elapsed.count()));
}

// Each walk its own test, which ctest runs beside the others.
class TheLinuxProgramWalk : public ::testing::TestWithParam<std::size_t> {};

TEST_P(TheLinuxProgramWalk, AScreenReaderUserLearnsTheStatusAndWorksEveryCommand) {
  if (const std::string why = isolationUnavailable(); !why.empty()) GTEST_SKIP() << why;
  const Walk& walk = kWalks[GetParam()];
  const RunResult run = runIsolated(TARNWICK_ACCESSIBILITY_SESSION, setupFor(walk));
  checkWalk(walk, run);
  // Both links opened from the keyboard, the public-address page first.
  const auto browsed = startingWith(linesOf(run.out), "browser ");
  ASSERT_EQ(browsed.size(), 2u) << run.out;
  EXPECT_EQ(browsed[0], "browser " + std::string(probes::kPublicAddressPageUrl));
}

INSTANTIATE_TEST_SUITE_P(AccessibilityWalk, TheLinuxProgramWalk,
                         ::testing::Range(std::size_t{0}, std::size(kWalks)),
                         [](const ::testing::TestParamInfo<std::size_t>& info) {
                           return std::string(kWalks[info.param].name);
                         });

struct WineWalk {
  Walk walk;
  bool highContrast;
};

const WineWalk kWineWalks[] = {
    {{"Online",
      true,
      "LAN And WAN - Online",
      "online",
      {R"(shown status "Green light: Online")", R"(shown status "Yellow light: WAN/LAN")",
       R"(shown status "Red light" pressed)", R"(shown edit "Your Wan Ip Is:" text "203.0.113.7")",
       R"(shown edit "Your Lan Ip Is:" text "198.51.100.1")"}},
     false},
    {{"OfflineInHighContrast",
      false,
      "LAN Only - Offline",
      "no-route",
      {R"(shown status "Green light" pressed)", R"(shown status "Yellow light: LAN Only")",
       R"(shown status "Red light: Offline")", R"(shown edit "Your Wan Ip Is:" text "Null")",
       R"(shown edit "Your Lan Ip Is:" text "198.51.100.1")"}},
     true},
};

// The contrast the driver measured of each box with a text, by name.
std::vector<std::pair<std::string, double>> contrastsIn(const std::string& out) {
  std::vector<std::pair<std::string, double>> found;
  for (const auto& line : startingWith(linesOf(out), "contrast ")) {
    std::istringstream words(line.substr(9));
    std::string name;
    double ratio = 0;
    if (words >> name >> ratio) found.emplace_back(name, ratio);
  }
  return found;
}

class WindowsProgramUnderWineWalk : public ::testing::TestWithParam<std::size_t> {};

TEST_P(WindowsProgramUnderWineWalk, AScreenReaderUserLearnsTheStatusAndWorksEveryCommand) {
  const std::optional<Launch> launch = wineLaunch(160);
  if (!launch) GTEST_SKIP() << "TARNWICK_WINDOWS_BUILD names no usable Windows build";
  if (const std::string why = isolationUnavailable(); !why.empty()) GTEST_SKIP() << why;
  const WineWalk& row = kWineWalks[GetParam()];
  RunSetup setup = setupFor(row.walk);
  setup.stagingCommands = kWineLanLink;
  setup.environment = launch->environment;
  setup.environment.push_back(row.highContrast ? "TARNWICK_WINE_COLOURS=high-contrast"
                                               : "TARNWICK_WINE_COLOURS=standard");
  setup.arguments = {"--accessibility"};
  setup.timeLimit = launch->timeLimit;
  const RunResult run = runIsolated(launch->path, setup);
  checkWalk(row.walk, run);
  // The address boxes read in any colours; in high contrast every caption too.
  const auto contrasts = contrastsIn(run.out);
  EXPECT_GE(contrasts.size(), 8u) << run.out;
  for (const auto& [name, ratio] : contrasts) {
    std::printf("[ CONTRAST ] %s %.2f:1\n", name.c_str(), ratio);
    const bool addressBox = name == "WAN" || name == "LAN" || name == "txtLocal";
    if (addressBox || row.highContrast) {
      EXPECT_GE(ratio, 4.5) << name;
    }
  }
}

INSTANTIATE_TEST_SUITE_P(AccessibilityWalk, WindowsProgramUnderWineWalk,
                         ::testing::Range(std::size_t{0}, std::size(kWineWalks)),
                         [](const ::testing::TestParamInfo<std::size_t>& info) {
                           return std::string(kWineWalks[info.param].walk.name);
                         });

}  // namespace
}  // namespace end_to_end
