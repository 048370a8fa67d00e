#pragma once

// The progress bar on Win32. Its value, range and colours are kept in
// toolkit/control_values.h; here the system's control shows them.

#include "toolkit/control_values.h"
#include "toolkit/win32/win32_control.h"

namespace toolkit::win32 {

// The system's progress bar. Its handle is the real window, so the colour
// messages the logic sends reach the control itself.
class Win32ProgressBar : public Win32Control<ProgressBar, ProgressBarState> {
 public:
  Win32ProgressBar(const ControlLayout& layout, ControlContext context);

  std::uintptr_t handle() const override { return reinterpret_cast<std::uintptr_t>(hwnd()); }
  std::intptr_t sendMessage(std::uint32_t message, std::uintptr_t wParam,
                            std::intptr_t lParam) override;
  // A progress bar with its value, as screen readers expect one.
  AccessibleFacts accessibleFacts() const override;

 protected:
  void applyValue() override;
};

}  // namespace toolkit::win32
