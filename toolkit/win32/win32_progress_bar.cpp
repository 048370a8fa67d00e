#include "toolkit/win32/win32_progress_bar.h"
#include "toolkit/error_source.h"

#include <commctrl.h>
#include <uxtheme.h>

#include <cmath>

namespace toolkit::win32 {

Win32ProgressBar::Win32ProgressBar(const ControlLayout& layout, ControlContext context)
    : Win32Control<ProgressBar>(layout, context), value_(static_cast<float>(layout.value)) {
  HWND bar = createChild(context, PROGRESS_CLASSW, 0, 0, L"");
  // Visual styles draw the bar in the theme's colours and ignore the colour
  // messages; without a theme the bar draws its blocks in the colours sent.
  // A name that matches no section of any theme (a space, as the system's
  // documentation gives it) keeps styles off; Wine reads an empty name as
  // no name at all and draws the theme's bar.
  SetWindowTheme(bar, L" ", L" ");
  SendMessageW(bar, PBM_SETRANGE32, static_cast<WPARAM>(layout.minimum),
               static_cast<LPARAM>(layout.maximum));
  initialise(bar);
  setValue(value_);
}

void Win32ProgressBar::setValue(float value) {
  if (value < minimum() || value > maximum()) {
    throw Error(380, kErrorSource, "Invalid property value");
  }
  value_ = value;
  SendMessageW(hwnd(), PBM_SETPOS, static_cast<WPARAM>(std::lround(value)), 0);
}

std::intptr_t Win32ProgressBar::sendMessage(std::uint32_t message, std::uintptr_t wParam,
                                            std::intptr_t lParam) {
  const auto colour = static_cast<Colour>(static_cast<std::uintptr_t>(lParam) & 0xFFFFFFFFu);
  if (message == kSetBackgroundColourMessage) background_ = colour;
  if (message == kSetBarColourMessage) barColour_ = colour;
  return static_cast<std::intptr_t>(SendMessageW(hwnd(), message, wParam, lParam));
}

}  // namespace toolkit::win32
