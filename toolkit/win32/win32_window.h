#pragma once

// A form's top-level Win32 window. The controls and their lookup by name and
// index are the toolkit's (control_list.h); the window makes their child
// windows, routes messages to them and moves the focus between them.

#include <windows.h>

#include <map>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "toolkit/backend.h"
#include "toolkit/control_list.h"
#include "toolkit/win32/win32_control.h"

namespace toolkit::win32 {

class Win32Backend;

// Window classes every container window uses; the backend registers them.
inline constexpr const wchar_t* kFormClass = L"TarnwickWindow";
inline constexpr const wchar_t* kPanelClass = L"TarnwickPanel";
LRESULT CALLBACK containerProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);

// A form's top-level window with its controls, made from the layout table.
class Win32Window : public NativeWindow {
 public:
  Win32Window(Win32Backend& backend, const WindowLayout& layout, Form& form);
  ~Win32Window() override;

  Control* find(std::string_view name, int index) override;
  void show() override;
  bool isVisible() const override;
  Twips innerWidth() const override;
  Twips innerHeight() const override;
  Twips left() const override;
  Twips top() const override;
  void moveTo(Twips left, Twips top) override;
  bool minimized() const override;
  void setMinimized(bool minimized) override;
  std::string caption() const override;
  std::pair<std::string, int> focusedControl() const override;
  void restoreFocus(const std::string& name, int index) override;

  HWND hwnd() const { return root_.hwnd; }
  int dpi() const { return dpi_; }
  FontCache& fonts() { return *fonts_; }
  Form* form() const { return ready_ ? form_ : nullptr; }
  HWND toolTips() const { return toolTips_; }

  // The control drawn by a child window, or by name; nullptr when there is none.
  ControlHooks* hooksOf(HWND child) const;
  ControlHooks* hooksOf(std::string_view name, int index = -1) const;
  // The controls that take focus, in tab order.
  std::vector<ControlHooks*> tabOrder() const;
  // Moves the focus on from `from` as the Tab key does; false when nothing takes it.
  bool tabFrom(HWND from, bool backwards);
  // Puts the keyboard on a control, windowless or not (win32_focus.cpp).
  void focusOn(ControlHooks& control);
  // A key pressed in the window, as a dialog box takes it: Tab and Shift+Tab
  // along the tab order, Enter on a button or link, Space on a windowless link,
  // Esc in a window that closes on it, Ctrl+Tab, Ctrl+Shift+Tab, Ctrl+PgDn and
  // Ctrl+PgUp through the pages. True when it was taken.
  bool keyDown(HWND from, WPARAM key, LPARAM flags);
  // A control came into sight: give it the focus a reload is holding for it.
  void controlShown(ControlHooks& control);

  LRESULT handle(Container& container, HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);

  // Lays the window out again at `dpi` (its monitor's scale changed), its
  // top-left corner at `corner` when given: sizes come from the layout's twips,
  // fonts are made again at the new size.
  void changeDpi(int dpi, const POINT* corner);

 private:
  void createControls(const WindowLayout& layout);
  void orderControls();
  void centreOnScreen();
  void setIcons();
  void raiseResize();
  void focusFirst();
  SIZE frameAt(int dpi) const;
  // The windowed or windowless control the keyboard is on.
  ControlHooks* focusedHooks() const;
  // Whether the control can take the focus now: shown, enabled, on the page shown.
  bool canFocus(const ControlHooks& control) const;
  // Shows the next (or previous) page of the window's tab control.
  bool turnPage(int step);
  // The keyboard is in use: focus rectangles show from now on.
  void showFocusCues();
  // The system's colours or theme changed: every control draws anew.
  void followColours();
  // Where controls that lie outside the window go, made on first use.
  Container* unseenContainer();

  Win32Backend& backend_;
  Form* form_;
  bool ready_ = false;
  int dpi_;
  std::shared_ptr<FontCache> fonts_;
  Font font_;
  SIZE client_;  // the layout's, in twips
  DWORD style_;
  DWORD exStyle_;
  Container root_;
  std::map<std::string, std::unique_ptr<Container>> containers_;
  ControlList<ControlHooks*> controls_;
  std::map<UINT_PTR, Timer*> timers_;  // owned by controls_
  HWND toolTips_ = nullptr;
  HICON icons_[2] = {nullptr, nullptr};
  StartPosition startPosition_;
  bool shownOnce_ = false;
  bool hiddenShown_ = false;  // shown once while the backend hides windows
  bool wasMinimized_ = false;
  HWND lastFocus_ = nullptr;
  std::optional<std::pair<Twips, Twips>> placed_;
  bool closesOnEscape_;
  // Holds the windows of controls that lie wholly outside the window
  // (in_view.h): a message-only window, so no Tab and no screen reader reaches them.
  std::unique_ptr<Container> unseen_;
  ControlHooks* pendingFocus_ = nullptr;  // what a reload gives the focus back to
};

}  // namespace toolkit::win32
