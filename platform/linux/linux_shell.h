#pragma once

#include "platform/shell.h"

namespace platform::linuxos {

// Starts xdg-open with the address as its one argument (no shell interpreter).
class LinuxShell : public Shell {
 public:
  std::int64_t openInBrowser(const std::string& url, int windowStyle) override;
};

}  // namespace platform::linuxos
