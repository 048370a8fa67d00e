#include "platform/shell.h"

namespace platform {

std::string browserCommandLine(const std::string& url) {
  return "explorer.exe \"" + url + "\"";
}

}  // namespace platform
