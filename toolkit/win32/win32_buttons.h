#pragma once

#include "toolkit/win32/win32_control.h"

namespace toolkit::win32 {

// A check box drawn as a push button: its face filled with its back colour, the
// caption centred, raised at 0 and pressed in at 1, the caption etched in grey
// when disabled. The button itself only reports clicks; it is drawn here.
class Win32CheckBox : public Win32Control<CheckBox> {
 public:
  Win32CheckBox(const ControlLayout& layout, ControlContext context);
  ~Win32CheckBox() override;
  int value() const override { return value_; }
  void setValue(int value) override;
  std::string caption() const override { return caption_; }
  void setCaption(const std::string& caption) override;

  bool takesFocus() const override { return true; }
  void onCommand(WORD code) override;
  void onDrawItem(const DRAWITEMSTRUCT& item) override;

 private:
  int value_;
  std::string caption_;
};

class Win32CommandButton : public Win32Control<CommandButton> {
 public:
  Win32CommandButton(const ControlLayout& layout, ControlContext context);
  std::string caption() const override { return caption_; }
  void setCaption(const std::string& caption) override;

  bool takesFocus() const override { return true; }
  void onCommand(WORD code) override;

 private:
  std::string caption_;
};

// Static text drawn by its container on the container's own background, with
// no window of its own; a click on it is an event.
class Win32Label : public Win32Control<Label> {
 public:
  Win32Label(const ControlLayout& layout, ControlContext context);
  std::string caption() const override { return caption_; }
  void setCaption(const std::string& caption) override;

  bool windowless() const override { return true; }
  void paintWindowless(HDC dc) override;
  void onWindowlessClick() override;

 private:
  std::string caption_;
};

}  // namespace toolkit::win32
