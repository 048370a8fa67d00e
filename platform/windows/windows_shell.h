#pragma once

#include "platform/shell.h"

namespace platform::windows {

// Starts `explorer.exe "<address>"` (browserCommandLine) as its own process,
// shown as `windowStyle` asks; the shell hands the address to the user's
// browser. The task identifier is the process id.
class WindowsShell : public Shell {
 public:
  std::int64_t openInBrowser(const std::string& url, int windowStyle) override;
};

}  // namespace platform::windows
