#pragma once

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
class Win32InternetTransfer : public Win32Control<InternetTransferControl> {
 public:
  Win32InternetTransfer(const ControlLayout& layout, ControlContext context)
      : Win32Control<InternetTransferControl>(layout, context) {}
  int remotePort() const override { return controlLayout().remotePort; }
  int requestTimeout() const override { return controlLayout().requestTimeout; }
};

class Win32Winsock : public Win32Control<Winsock> {
 public:
  Win32Winsock(const ControlLayout& layout, ControlContext context)
      : Win32Control<Winsock>(layout, context) {}
};

// Ticks once per interval while enabled with an interval above 0, through the
// form window's WM_TIMER.
class Win32Timer : public Win32Control<Timer> {
 public:
  Win32Timer(const ControlLayout& layout, ControlContext context, HWND owner, UINT_PTR id);
  ~Win32Timer() override;
  int interval() const override { return interval_; }
  void setInterval(int ms) override;

 protected:
  void enabledChanged() override { apply(); }

 private:
  void apply();
  HWND owner_;
  UINT_PTR id_;
  int interval_;
};

// Draws a container's picture and its windowless members, back to front.
void paintContainer(Container& container, HDC dc, const RECT& area);

}  // namespace toolkit::win32
