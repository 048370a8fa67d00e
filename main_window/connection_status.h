#pragma once

#include <string>
#include <string_view>

#include "main_window/form1_controls.h"

namespace main_window {

// Text A contains text B, ignoring letter case; an empty A contains nothing.
bool Contains(std::string_view text, std::string_view part);

// What the load's echo requests showed, besides the probe's marker.
struct EchoEvidence {
  // The address the latest echo reply gave (one that could be public);
  // empty when no reply gave one.
  std::string latestAddress;
  // The echo service answered, then fell silent until the load's time ran
  // out: what the earlier answers showed no longer holds.
  bool wentSilent = false;
};

// Turns the reachability marker (txtStatus2), the LAN text (LAN) and what the
// echo requests showed into one of four connection states and shows it in
// txtStatus, LAN, WAN and the status light. Every step that fails is skipped.
// Returns whether the machine was found online.
bool ClassifyConnection(const Form1Controls& controls, const EchoEvidence& echo);

}  // namespace main_window
