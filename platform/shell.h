#pragma once

#include <cstdint>
#include <string>

namespace platform {

// Window style for a started program: minimized, with focus.
constexpr int kMinimizedFocus = 2;

// Starts the user's browser on a web address, without a shell interpreter in
// between. Returns the started task's identifier; a failure to start is a
// basics::Error.
class Shell {
 public:
  virtual ~Shell() = default;
  virtual std::int64_t openInBrowser(const std::string& url, int windowStyle) = 0;
};

// The command line the Windows shell runs for `url`: explorer.exe "<url>".
std::string browserCommandLine(const std::string& url);

}  // namespace platform
