#pragma once

#include <chrono>
#include <optional>
#include <string>

#include "probes/endpoints.h"

namespace main_window {

// Where and how the main window gathers. The program always uses the defaults;
// tests point the endpoints at a loopback server and shorten the time-outs.
struct GatheringSettings {
  std::string echoServiceUrl{probes::kEchoServiceUrl};
  std::string reachabilityUrl{probes::kReachabilityUrl};
  int tickInterval = 100;  // ms
  // The echo request's time-out; empty means Inet1's request time-out.
  std::optional<std::chrono::milliseconds> fetchTimeout;
  // The most one load waits on the network, all its requests together: the
  // About page promises a result within about this long.
  std::chrono::milliseconds networkBudget{30000};
};

}  // namespace main_window
