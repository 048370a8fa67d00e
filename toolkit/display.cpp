#include "toolkit/display.h"

namespace toolkit {

bool hasDisplay(const char* display, const char* waylandDisplay) {
  const auto set = [](const char* v) { return v != nullptr && *v != '\0'; };
  return set(display) || set(waylandDisplay);
}

}  // namespace toolkit
