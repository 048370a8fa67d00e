#pragma once

#include <string>

namespace toolkit::qt {

// The Qt platform the program asks for, given DISPLAY, WAYLAND_DISPLAY and
// QT_QPA_PLATFORM as the environment holds them (null when unset); empty lets
// Qt choose. Without a display: "offscreen". With both X11 and Wayland and no
// choice of the user's: "xcb" (XWayland), because a Wayland compositor places
// windows itself and ignores where the program puts its report windows and the
// sizes it fixes. A platform the user chose always wins.
std::string qtPlatformFor(const char* display, const char* waylandDisplay, const char* chosen);

}  // namespace toolkit::qt
