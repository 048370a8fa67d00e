#pragma once

#include <windows.h>

#include <cstddef>
#include <optional>

#include "toolkit/accessible_text.h"

namespace toolkit::win32 {

// What a window's accessible object says in the program's terms: a control
// window says its own facts; a container (the form, a picture box, the page
// area) lists the parts it draws itself, labels and pictures with no window of
// their own, as children beside its child windows.
class AccessibleSource {
 public:
  virtual ~AccessibleSource() = default;
  // The window's own facts; none: the system's object says them.
  virtual std::optional<AccessibleFacts> selfFacts() const { return std::nullopt; }
  // The window's press action (a push button, a link): what a click does.
  virtual void press() {}

  virtual std::size_t partCount() const { return 0; }
  virtual AccessibleFacts partFacts(std::size_t part) const {
    (void)part;
    return {};
  }
  virtual bool partShown(std::size_t part) const {
    (void)part;
    return false;
  }
  virtual bool partFocused(std::size_t part) const {
    (void)part;
    return false;
  }
  virtual RECT partRect(std::size_t part) const {  // in the window's client area
    (void)part;
    return {};
  }
  virtual void pressPart(std::size_t part) { (void)part; }
  virtual void focusPart(std::size_t part) { (void)part; }
};

// Makes `hwnd` answer accessibility tools for `source` (nullptr: no longer,
// the system's object alone answers). A control window is subclassed for it;
// a container's window procedure calls answerGetObject itself.
void exposeWindow(HWND hwnd, AccessibleSource* source, bool subclass);

// The answer to WM_GETOBJECT for an exposed window; 0 to let the system answer.
LRESULT answerGetObject(HWND hwnd, WPARAM wParam, LPARAM lParam);

// The child id a part of a container has in its accessible object.
LONG partChildId(std::size_t part);

// The source an exposed window answers for; nullptr once it no longer does.
AccessibleSource* accessibleSourceOf(HWND hwnd);

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
