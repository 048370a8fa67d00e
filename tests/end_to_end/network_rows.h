#pragma once

// What the network tables share: the endpoints as the program names them,
// what a row expects the user to be told, and how a run's output is checked
// against a row.

#include <string>
#include <vector>

#include "probes/endpoints.h"
#include "tests/end_to_end/isolated_run.h"
#include "tests/end_to_end/program_launch.h"
#include "tests/support/http_test_server.h"

namespace end_to_end {

inline const std::string kEchoHost{probes::kEchoServiceHost};
inline const std::string kTargetHost{probes::kReachabilityHost};
inline constexpr const char* kPublicAddress = "203.0.113.7";

inline constexpr const char* kLightsLanAndWan =
    R"(green raised "Online", yellow raised "WAN/LAN", red pressed "")";
inline constexpr const char* kLightsLanOnly =
    R"(green pressed "", yellow raised "LAN Only", red raised "Offline")";
inline constexpr const char* kLightsWanOnly =
    R"(green raised "Online", yellow raised "WAN Only", red pressed "")";
inline constexpr const char* kLightsOffline =
    R"(green pressed "", yellow pressed "", red raised "Offline")";

// What a status means to a script: the no-display run's exit status. Under
// Wine the status is the driver's, which reads the window. (With the network
// matrix.)
int exitStatusFor(const std::string& status, bool wine);

// What the user is told, as printed.
struct Told {
  std::string wan;
  std::string lan;  // kStagedLan: the run's LAN address
  std::string status;
  std::string lights;
  int seconds;  // the result is printed within this many seconds
};

inline constexpr const char* kStagedLan = "<the LAN address>";

// The echo service's reply or the target's page, as a working server sends them.
tests_support::HttpReply pageOrEcho(const tests_support::HttpRequest& request,
                                    const std::string& echoBody);

// Checks a run's printed main window, exit status and time against `told`;
// `lan` is the LAN address `told` means, `reason` the code of the reason the
// user is told. With `mainWindowOnly`, a reason, only the main window's lines
// are checked.
void checkTold(const char* row, const RunResult& run, const Told& told, const std::string& lan,
               const char* reason, bool wine, const char* mainWindowOnly = nullptr);

}  // namespace end_to_end
