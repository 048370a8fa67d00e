#include "toolkit/qt/qt_platform.h"

#include "toolkit/display.h"

namespace toolkit::qt {

std::string qtPlatformsFor(const char* display, const char* waylandDisplay, const char* chosen) {
  const auto set = [](const char* v) { return v != nullptr && *v != '\0'; };
  if (!hasDisplay(display, waylandDisplay)) return kFallbackPlatform;
  std::string platforms;
  if (set(chosen)) {
    platforms = chosen;
  } else if (set(display) && set(waylandDisplay)) {
    platforms = "xcb;wayland";
  } else {
    platforms = set(display) ? "xcb" : "wayland";
  }
  // Qt tries the names in turn; one more never hurts, so a chosen list that
  // already holds the fallback is left as it is.
  if ((";" + platforms + ";").find(std::string(";") + kFallbackPlatform + ";") ==
      std::string::npos) {
    platforms += std::string(";") + kFallbackPlatform;
  }
  return platforms;
}

}  // namespace toolkit::qt
