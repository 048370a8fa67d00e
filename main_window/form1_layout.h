#pragma once

#include "main_window/maker_info.h"
#include "toolkit/layout.h"

namespace main_window {

// The main window's fonts. "Let's go Digital" is a seven-segment display face;
// the toolkit draws a stand-in where it is not installed.
inline const toolkit::Font kT8{"Tahoma", 8.25, 400, false};
inline const toolkit::Font kT8B{"Tahoma", 8.25, 700, false};
inline const toolkit::Font kD12{"Let's go Digital", 12, 700, true};
inline const toolkit::Font kD14{"Let's go Digital", 14.25, 700, true};
inline const toolkit::Font kD21{"Let's go Digital", 21.75, 700, true};

// Pictures and fonts the window needs, as resource paths.
inline constexpr const char* kIconPicture = ":/pictures/icon.png";
inline constexpr const char* kPanelPicture = ":/pictures/panel.png";
inline constexpr const char* kLegendPicture = ":/pictures/legend.png";
inline constexpr const char* kLogoPicture = ":/pictures/logo.png";
inline constexpr const char* kHandPointer = ":/pictures/hand.png";

inline constexpr const char* kForm1Caption = "{Brevan} WAN LAN TARNWICK v1.6";

// The pages of SSTTab0.
inline constexpr int kWanLanPage = 0;
inline constexpr int kLegendPage = 1;
inline constexpr int kAboutPage = 2;

// Form1 as it is created: the frame, the three-page tab control and every control
// with its place, text, font, colours and flags. Each container's children are
// listed front to back.
toolkit::WindowLayout Form1Layout(const MakerInfo& maker);

}  // namespace main_window
