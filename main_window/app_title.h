#pragma once

namespace main_window {

// The application title: message boxes and the web requests' agent name carry it.
inline constexpr const char* kApplicationTitle = "{Brevan} WAN LAN TARNWICK 1.6";

}  // namespace main_window
