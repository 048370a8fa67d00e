// The real Linux program on a desktop session of its own, walked through as a
// screen-reader user walks it: what the accessibility bus shows and announces
// once the gathering ends, online and offline, and every command reached and
// worked from the keyboard (accessibility_check.py prints what it met).

#include <gtest/gtest.h>

#include <algorithm>
#include <sstream>
#include <string>
#include <vector>

#include "probes/endpoints.h"
#include "tests/end_to_end/isolated_run.h"

namespace end_to_end {
namespace {

using tests_support::HttpReply;
using tests_support::HttpRequest;

struct Walk {
  const char* name;
  bool serverUp;
  std::string status;
  std::vector<std::string> shown;  // what differs between the rows
};

const Walk kWalks[] = {
    {"Online",
     true,
     "WAN Only - Online",
     {R"(shown status "Green light: Online")", R"(shown status "Yellow light: WAN Only")",
      R"(shown status "Red light" pressed)", R"(shown edit "Your Wan Ip Is:" text "203.0.113.7")"}},
    {"Offline",
     false,
     "Offline",
     {R"(shown status "Green light" pressed)", R"(shown status "Yellow light" pressed)",
      R"(shown status "Red light: Offline")", R"(shown edit "Your Wan Ip Is:" text "Null")"}},
};

// What every row meets: the controls as a sighted user reads them, the keyboard
// once round the first page in the layout's order (the marker box outside the
// window is not in it), both report windows opened and closed with Esc, the
// focus back on Reload after a reload, the pages turned from the keyboard.
const std::vector<std::string> kEveryWalk = {
    R"(shown link "Your Wan Ip Is:" description "WAN IP NOT SHOWING UP - CLICK HERE.")",
    R"(shown edit "Your Lan Ip Is:" text "Null")",
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
      if (request.header("Host") == "api.ipify.org")
        return HttpReply::text("Your IP is 203.0.113.7");
      return HttpReply::text("<html></html>");
    };
  }
  setup.environment = {std::string("TARNWICK_PROGRAM=") + TARNWICK_PROGRAM, leakSanitizerOptions()};
  setup.timeLimit = std::chrono::seconds(170);
  return setup;
}

TEST(AccessibilityWalk, AScreenReaderUserLearnsTheStatusAndWorksEveryCommand) {
  if (const std::string why = isolationUnavailable(); !why.empty()) GTEST_SKIP() << why;
  std::vector<RunSetup> setups;
  for (const Walk& walk : kWalks) setups.push_back(setupFor(walk));
  const auto runs = runAllIsolated(TARNWICK_ACCESSIBILITY_SESSION, setups, std::size(kWalks));
  for (std::size_t i = 0; i < std::size(kWalks); ++i) {
    const Walk& walk = kWalks[i];
    const RunResult& run = runs[i];
    SCOPED_TRACE(walk.name);
    ASSERT_TRUE(run.ran) << run.setupError;
    ASSERT_FALSE(run.timedOut) << run.killedWhile << "\n" << run.out;
    EXPECT_EQ(run.exitStatus, 0) << run.out << run.err;
    const auto lines = linesOf(run.out);
    const auto has = [&](const std::string& line) {
      return std::find(lines.begin(), lines.end(), line) != lines.end();
    };
    const std::string status = "Online Status: " + walk.status;
    std::vector<std::string> expected = walk.shown;
    expected.push_back("shown status \"" + status + "\"");
    // Said once when the gathering ends and again after the reload.
    expected.push_back("announced \"" + status + "\"");
    expected.push_back("announced again \"" + status + "\"");
    expected.insert(expected.end(), kEveryWalk.begin(), kEveryWalk.end());
    for (const auto& line : expected) EXPECT_TRUE(has(line)) << line << "\nin:\n" << run.out;
    EXPECT_EQ(startingWith(lines, "tab "), kTabOrder) << run.out;
    EXPECT_EQ(startingWith(lines, "browser ").size(), 2u) << run.out;
    EXPECT_TRUE(has("browser " + std::string(probes::kPublicAddressPageUrl))) << run.out;
    // The reachability marker never reaches a screen reader.
    for (const auto& line : lines) {
      EXPECT_EQ(line.find("text \"online\""), std::string::npos) << line;
    }
    std::printf("[   INFO   ] %s: %lld ms\n", walk.name,
                static_cast<long long>(run.elapsed.count()));
  }
}

}  // namespace
}  // namespace end_to_end
