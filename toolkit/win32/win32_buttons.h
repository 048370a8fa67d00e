#pragma once

// Check box, command button and label on Win32. Their captions and the check
// value are kept in toolkit/control_values.h; here they are drawn and their
// clicks are taken.

#include "toolkit/control_values.h"
#include "toolkit/win32/win32_control.h"

namespace toolkit::win32 {

// A check box drawn as a push button: its face filled with its back colour, the
// caption centred, raised at 0 and pressed in at 1, the caption etched in grey
// when disabled, in the colours the scheme gives (scheme_colours.h). The
// button itself only reports clicks; it is drawn here.
class Win32CheckBox : public Win32Control<CheckBox, CheckBoxState> {
 public:
  Win32CheckBox(const ControlLayout& layout, ControlContext context);
  ~Win32CheckBox() override;

  bool takesFocus() const override { return true; }
  void onCommand(WORD code) override;
  void onDrawItem(const DRAWITEMSTRUCT& item) override;
  AccessibleFacts accessibleFacts() const override;

 protected:
  void applyValue() override;
  void applyCaption() override;
};

// The system's push button; a ring shows it has the focus, over the system's
// thin dotted line.
class Win32CommandButton : public Win32Control<CommandButton, CaptionState<CommandButton>> {
 public:
  Win32CommandButton(const ControlLayout& layout, ControlContext context);

  bool takesFocus() const override { return true; }
  void onCommand(WORD code) override;

 protected:
  void applyCaption() override;
};

// Static text drawn by its container on the container's own background, with
// no window of its own; a click on it is an event. A label that is a link
// takes the keyboard focus through its container (win32_container.cpp).
class Win32Label : public Win32Control<Label, CaptionState<Label>> {
 public:
  Win32Label(const ControlLayout& layout, ControlContext context);

  bool windowless() const override { return true; }
  bool takesFocus() const override { return takesFocusAsLink(controlLayout()); }
  void paintWindowless(HDC dc) override;
  void onWindowlessClick() override;

 protected:
  void applyCaption() override { invalidate(); }
};

}  // namespace toolkit::win32
