#pragma once

#include <string>

namespace main_window {

// Who made the program, as the About page and the Visit button show it. A
// distributor sets real values when configuring the build.
struct MakerInfo {
  std::string webAddress;
  std::string email;
  std::string author;
};

// The values the build was configured with.
MakerInfo BuiltInMakerInfo();

}  // namespace main_window
