#include "basics/error.h"

#include <cstdio>

namespace basics {

std::string unhandledErrorText(const Error& error) {
  char hex[16];
  std::snprintf(hex, sizeof hex, "%08X", static_cast<std::uint32_t>(error.number()));
  return "Run-time error '" + std::to_string(error.number()) + "' (0x" + hex + "):\n\n" +
         error.description() + " (" + error.source() + ")";
}

}  // namespace basics
