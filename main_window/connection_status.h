#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "main_window/form1_controls.h"

namespace main_window {

// Text A contains text B, ignoring letter case; an empty A contains nothing.
bool Contains(std::string_view text, std::string_view part);

// Turns the reachability marker (txtStatus2), the LAN text (LAN) and the
// completion tick's reply words into one of four connection states and shows it
// in txtStatus, LAN, WAN and the status light. Every step that fails is skipped.
void ClassifyConnection(const Form1Controls& controls, const std::vector<std::string>& tickWords);

}  // namespace main_window
