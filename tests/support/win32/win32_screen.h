#pragma once

// What the Win32 screen probe's files share: the probe's view of a form's
// window, and the announcements the test backend hears.

#include <windows.h>

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "tests/support/test_backend.h"
#include "toolkit/win32/win32_window.h"

namespace tests_support {

using toolkit::win32::ControlHooks;
using toolkit::win32::Win32Window;

struct Screen::Impl {
  Win32Window* window = nullptr;
  std::size_t firstAnnouncement = 0;
  HWND top() const { return window->hwnd(); }
  ControlHooks* control(std::string_view name, int index) const {
    return window->hooksOf(name, index);
  }
  // The window that draws the control: its own, or its container's.
  HWND surface(ControlHooks* c) const { return c->hwnd() ? c->hwnd() : c->home()->hwnd; }
  std::optional<RECT> rect(ControlHooks* c) const {
    RECT r;
    if (c->hwnd() && !IsChild(top(), c->hwnd())) return std::nullopt;  // out of the window
    if (c->hwnd()) {
      GetWindowRect(c->hwnd(), &r);
      MapWindowPoints(nullptr, top(), reinterpret_cast<POINT*>(&r), 2);
      return r;
    }
    if (!c->windowless()) return std::nullopt;
    r = c->pixelRect();
    MapWindowPoints(c->home()->hwnd, top(), reinterpret_cast<POINT*>(&r), 2);
    return r;
  }
};

// What windows of this process announced to screen readers, in order.
std::vector<std::string>& announced();
// The WinEvent hook's callback that records them.
void CALLBACK recordAnnouncement(HWINEVENTHOOK, DWORD, HWND hwnd, LONG object, LONG child, DWORD,
                                 DWORD);

}  // namespace tests_support
