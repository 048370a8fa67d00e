#include "tests/end_to_end/program_launch.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdlib>

#include "tests/end_to_end/isolated_run.h"

namespace end_to_end {

Launch linuxLaunch() {
  return {TARNWICK_PROGRAM, {leakSanitizerOptions()}, std::chrono::seconds(60)};
}

std::optional<Launch> wineLaunch(int sessionSeconds) {
  const char* build = std::getenv("TARNWICK_WINDOWS_BUILD");
  if (build == nullptr || *build == '\0') return std::nullopt;
  const std::string dir = build;
  const std::string exe = dir + "/app/tarnwick.exe";
  const std::string driver = dir + "/tests/windows_driver/tarnwick_windows_driver.exe";
  for (const std::string& file : {exe, driver}) {
    if (access(file.c_str(), R_OK) != 0) {
      ADD_FAILURE() << file << " is missing";
      return std::nullopt;
    }
  }
  return Launch{TARNWICK_WINE_SESSION,
                {"TARNWICK_WINE_PROGRAM=" + exe, "TARNWICK_WINE_DRIVER=" + driver,
                 "TARNWICK_WINE_PREFIX=" + dir + "/wine-e2e-prefix",
                 "TARNWICK_WINE_SECONDS=" + std::to_string(sessionSeconds)},
                std::chrono::seconds(180)};
}

}  // namespace end_to_end
