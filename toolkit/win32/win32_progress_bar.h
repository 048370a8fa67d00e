#pragma once

#include "toolkit/win32/win32_control.h"

namespace toolkit::win32 {

// The system's progress bar. Its handle is the real window, so the colour
// messages the logic sends reach the control itself.
class Win32ProgressBar : public Win32Control<ProgressBar> {
 public:
  Win32ProgressBar(const ControlLayout& layout, ControlContext context);

  float value() const override { return value_; }
  void setValue(float value) override;
  float minimum() const override { return static_cast<float>(controlLayout().minimum); }
  float maximum() const override { return static_cast<float>(controlLayout().maximum); }
  std::uintptr_t handle() const override { return reinterpret_cast<std::uintptr_t>(hwnd()); }
  std::intptr_t sendMessage(std::uint32_t message, std::uintptr_t wParam,
                            std::intptr_t lParam) override;
  Colour barColour() const override { return barColour_; }
  Colour barBackground() const override { return background_; }

  // What the bar reports while no colour message has set one.
  static constexpr Colour kDefaultColour = 0xFF000000;

 private:
  float value_;
  Colour barColour_ = kDefaultColour;
  Colour background_ = kDefaultColour;
};

}  // namespace toolkit::win32
