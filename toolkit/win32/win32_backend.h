#pragma once

#include <windows.h>

#include <deque>
#include <functional>
#include <memory>
#include <mutex>

#include "toolkit/backend.h"
#include "toolkit/resources.h"
#include "toolkit/win32/win32_accessible.h"
#include "toolkit/win32/win32_drawing.h"
#include "toolkit/win32/win32_resources.h"

namespace toolkit::win32 {

// The Win32 toolkit: windows of the system's own controls, one message loop on
// the thread that made it. Font files, stand-ins and the hand pointer come
// from `resources` (resource names as layouts give them), which must outlive
// the backend. With `printMessageBoxes` message boxes go to standard error
// instead of the screen (tests, --json); with `hideWindows` no window is ever
// made visible (--json).
class Win32Backend : public Backend {
 public:
  explicit Win32Backend(const Resources& resources, bool printMessageBoxes = false,
                        bool hideWindows = false);
  ~Win32Backend() override;

  std::unique_ptr<NativeWindow> createWindow(const WindowLayout& layout, Form& form) override;
  void post(std::function<void()> task) override;
  void messageBox(const std::string& title, const std::string& text) override;
  int exec() override;
  void quit(int exitCode) override;

  const Resources& resources() const { return resources_; }
  bool hidesWindows() const { return hideWindows_; }
  // The pointer of controls with MousePointer::Hand.
  HCURSOR handCursor() const { return handCursor_; }

  // Handles what is queued, waiting up to `waitMs` for something to arrive.
  // False once the loop has been told to quit.
  bool pumpOnce(DWORD waitMs);

  // Destroys a form's window after the message being handled, with the
  // drawing objects it still uses.
  void destroyLater(HWND window, std::shared_ptr<FontCache> fonts, HICON small, HICON big);

 private:
  static LRESULT CALLBACK messageProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
  void runTasks();
  // Keys a dialog box would take (Win32Window::keyDown): Tab moves the focus
  // along the form's tab order, not the stacking order, in a multi-line text
  // box too, whose text the program writes.
  bool handleKey(const MSG& msg);
  void dispatch(MSG& msg);

  ComForAccessibility com_;
  bool printMessageBoxes_;
  bool hideWindows_;
  Resources resources_;
  ProgramResources loaded_;
  HCURSOR handCursor_ = nullptr;
  bool ownHandCursor_ = false;
  HWND messages_ = nullptr;
  std::mutex mutex_;
  std::deque<std::function<void()>> tasks_;
  bool quit_ = false;
  int exitCode_ = 0;
};

}  // namespace toolkit::win32
