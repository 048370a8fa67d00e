// Win32 progress bar: hands the toolkit's value (control_values.h) and the
// colour messages to the system's control.

#include "toolkit/win32/win32_progress_bar.h"

#include <commctrl.h>
#include <uxtheme.h>

#include <cmath>

namespace toolkit::win32 {

Win32ProgressBar::Win32ProgressBar(const ControlLayout& layout, ControlContext context)
    : Win32Control<ProgressBar, ProgressBarState>(layout, context) {
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
  setValue(value());  // a layout value out of range fails here
}

AccessibleFacts Win32ProgressBar::accessibleFacts() const {
  AccessibleFacts facts = Win32Control::accessibleFacts();
  facts.range = AccessibleFacts::Range{value(), minimum(), maximum()};
  return facts;
}

void Win32ProgressBar::applyValue() {
  SendMessageW(hwnd(), PBM_SETPOS, static_cast<WPARAM>(std::lround(value())), 0);
  NotifyWinEvent(EVENT_OBJECT_VALUECHANGE, hwnd(), OBJID_CLIENT, CHILDID_SELF);
}

std::intptr_t Win32ProgressBar::sendMessage(std::uint32_t message, std::uintptr_t wParam,
                                            std::intptr_t lParam) {
  keepColour(message, lParam);
  return static_cast<std::intptr_t>(SendMessageW(hwnd(), message, wParam, lParam));
}

}  // namespace toolkit::win32
