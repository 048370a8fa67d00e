#pragma once

#include <windows.h>

#include <string>

namespace toolkit::win32 {

// Answers accessibility tools (WM_GETOBJECT) for a control's window with the
// system's own object for it, except that it is called `name` and, for a check
// box, is a check button whose check state is the one BM_GETCHECK reports and
// whose name is its caption while it has one. Lasts as long as the window.
void makeAccessible(HWND hwnd, const std::string& name, bool checkBox);

// Joins this thread to a single-threaded apartment for as long as it lives:
// the UI thread's windows hand objects to accessibility tools, and the shell's
// objects expect such a thread. Undoes only an initialisation it made.
class ComForAccessibility {
 public:
  ComForAccessibility();
  ~ComForAccessibility();
  ComForAccessibility(const ComForAccessibility&) = delete;
  ComForAccessibility& operator=(const ComForAccessibility&) = delete;

 private:
  HRESULT result_;
};

}  // namespace toolkit::win32
