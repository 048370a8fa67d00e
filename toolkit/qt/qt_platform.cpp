#include "toolkit/qt/qt_platform.h"

#include "toolkit/text_output.h"

namespace toolkit::qt {

std::string qtPlatformFor(const char* display, const char* waylandDisplay, const char* chosen) {
  const auto set = [](const char* v) { return v != nullptr && *v != '\0'; };
  if (!hasDisplay(display, waylandDisplay)) return "offscreen";
  if (set(chosen)) return "";
  if (set(display) && set(waylandDisplay)) return "xcb";
  return "";
}

}  // namespace toolkit::qt
