#pragma once

// Picture box, image, timer and the controls that are not drawn, on Win32.
// Their state (and a timer's interval) is the toolkit's (control_state.h,
// control_values.h); here they are drawn and the timer is the window's.

#include "toolkit/control_values.h"
#include "toolkit/win32/win32_control.h"

namespace toolkit::win32 {

// A panel that shows its picture at its top-left corner, clipped, and may hold
// other controls: it is a container of its own.
class Win32PictureBox : public Win32Control<PictureBox> {
 public:
  Win32PictureBox(const ControlLayout& layout, ControlContext context, Container& inside);
};

// A picture drawn by its container: no window of its own.
class Win32Image : public Win32Control<Image> {
 public:
  Win32Image(const ControlLayout& layout, ControlContext context);
  bool windowless() const override { return true; }
  void paintWindowless(HDC dc) override;

 private:
  ScaledPicture picture_;
};

// Controls that are not drawn.
class Win32InternetTransfer : public Win32Control<InternetTransferControl, InternetTransferState> {
 public:
  Win32InternetTransfer(const ControlLayout& layout, ControlContext context)
      : Win32Control<InternetTransferControl, InternetTransferState>(layout, context) {}
};

class Win32Winsock : public Win32Control<Winsock> {
 public:
  Win32Winsock(const ControlLayout& layout, ControlContext context)
      : Win32Control<Winsock>(layout, context) {}
};

// Ticks once per interval while enabled with an interval above 0, through the
// form window's WM_TIMER.
class Win32Timer : public Win32Control<Timer, TimerState> {
 public:
  Win32Timer(const ControlLayout& layout, ControlContext context, HWND owner, UINT_PTR id);
  ~Win32Timer() override;

 protected:
  void applyTicking() override;

 private:
  HWND owner_;
  UINT_PTR id_;
};

// Draws a container's picture and its windowless members, back to front.
void paintContainer(Container& container, HDC dc, const RECT& area);

}  // namespace toolkit::win32
