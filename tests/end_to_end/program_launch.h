#pragma once

#include <chrono>
#include <optional>
#include <string>
#include <vector>

namespace end_to_end {

// How the program under test is started.
struct Launch {
  std::string path;
  std::vector<std::string> environment;
  std::chrono::seconds timeLimit;
};

// The Linux build's program, with the leak checker's options.
Launch linuxLaunch();

// tarnwick.exe of the Windows build that TARNWICK_WINDOWS_BUILD names, in a
// Wine session of its own per run that ends after `sessionSeconds`; none when
// it names no build. A named build without the program or its driver fails
// the calling test.
std::optional<Launch> wineLaunch(int sessionSeconds = 150);

}  // namespace end_to_end
