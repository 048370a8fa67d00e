#pragma once

#include <string>

namespace toolkit::qt {

// The Qt platforms the program asks for, in the order Qt is to try them
// (QT_QPA_PLATFORM's list form), given DISPLAY, WAYLAND_DISPLAY and
// QT_QPA_PLATFORM as the environment holds them (null when unset).
// Without a display: "offscreen" alone. With a display the list ends in
// "offscreen", so a display that cannot be opened (no server behind it, a
// platform plugin missing) leaves the program on the offscreen platform, which
// it can tell, instead of Qt aborting. A platform the user chose comes first;
// otherwise X11 before Wayland when both are there (XWayland), because a
// Wayland compositor places windows itself and ignores where the program puts
// its report windows and the sizes it fixes.
std::string qtPlatformsFor(const char* display, const char* waylandDisplay, const char* chosen);

// The platform a display run falls back to when none of the others opens.
inline constexpr const char* kFallbackPlatform = "offscreen";

}  // namespace toolkit::qt
