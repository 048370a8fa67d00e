#pragma once

namespace toolkit {

// True when there is a display to draw on: DISPLAY or WAYLAND_DISPLAY is set.
bool hasDisplay(const char* display, const char* waylandDisplay);

}  // namespace toolkit
