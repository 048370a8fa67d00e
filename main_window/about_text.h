#pragma once

#include <string>

#include "main_window/maker_info.h"

namespace main_window {

// The About page's text: 22 lines, each ended by "\r\n", so that a text box shows
// 23 lines, the last one empty.
std::string AboutText(const MakerInfo& maker);

}  // namespace main_window
