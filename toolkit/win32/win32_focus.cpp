// The keyboard in a form's window: the focus moves along the layout's tab
// order (not the stacking order the dialog manager would follow), windowless
// links take it through their container, keys work as in a dialog box, and a
// reloaded window gives the focus back where the user left it.

// windows.h (through the window's header) before the headers that build on it.
#include "toolkit/win32/win32_window.h"

#include <commctrl.h>

#include <algorithm>

#include "toolkit/win32/win32_tab_control.h"

namespace toolkit::win32 {
namespace {

bool isButton(const ControlHooks& c) {
  const ControlKind kind = c.controlLayout().kind;
  return c.hwnd() && (kind == ControlKind::CheckBox || kind == ControlKind::CommandButton);
}

}  // namespace

std::vector<ControlHooks*> Win32Window::tabOrder() const {
  std::vector<ControlHooks*> order;
  for (const auto& e : controls_) {
    ControlHooks* c = e.native;
    if ((c->hwnd() || c->windowless()) && c->takesFocus() && c->controlLayout().tabIndex >= 0) {
      order.push_back(c);
    }
  }
  std::stable_sort(order.begin(), order.end(), [](ControlHooks* a, ControlHooks* b) {
    return a->controlLayout().tabIndex < b->controlLayout().tabIndex;
  });
  return order;
}

bool Win32Window::canFocus(const ControlHooks& c) const {
  if (c.hwnd()) return IsWindowVisible(c.hwnd()) && IsWindowEnabled(c.hwnd());
  return c.windowless() && c.takesFocus() && c.shown() && c.isEnabled() && c.home() &&
         IsWindowVisible(c.home()->hwnd);
}

ControlHooks* Win32Window::focusedHooks() const {
  HWND focus = GetFocus();
  if (!focus) return nullptr;
  // A container whose windowless link has the keyboard.
  if (focus == root_.hwnd) return root_.focused;
  for (const auto& [name, container] : containers_) {
    if (container->hwnd == focus && container->focused) return container->focused;
  }
  for (HWND w = focus; w && w != root_.hwnd; w = GetParent(w)) {
    if (ControlHooks* owner = hooksOf(w)) return owner;
  }
  return nullptr;
}

void Win32Window::focusOn(ControlHooks& c) {
  if (HWND hwnd = c.hwnd()) {
    SetFocus(hwnd);
    if (c.controlLayout().kind == ControlKind::TextBox && !c.controlLayout().multiLine) {
      SendMessageW(hwnd, EM_SETSEL, 0, -1);
    }
    return;
  }
  Container* home = c.home();
  if (!home || !home->hwnd) return;
  if (home->focused && home->focused != &c) {
    const RECT before = home->focused->pixelRect();
    InvalidateRect(home->hwnd, &before, FALSE);
  }
  home->focused = &c;
  const RECT now = c.pixelRect();
  InvalidateRect(home->hwnd, &now, FALSE);
  if (GetFocus() != home->hwnd) SetFocus(home->hwnd);
  if (const auto part = home->partOf(&c)) {
    NotifyWinEvent(EVENT_OBJECT_FOCUS, home->hwnd, OBJID_CLIENT, partChildId(*part));
  }
}

bool Win32Window::tabFrom(HWND from, bool backwards) {
  const auto order = tabOrder();
  if (order.empty()) return false;
  const int count = static_cast<int>(order.size());
  ControlHooks* focused = focusedHooks();
  int at = -1;
  for (int i = 0; i < count; ++i) {
    HWND own = order[i]->hwnd();
    if (order[i] == focused || (own && (own == from || IsChild(own, from)))) at = i;
  }
  for (int step = 1; step <= count; ++step) {
    const int i = at < 0 ? (backwards ? count - step : step - 1)
                         : ((at + (backwards ? -step : step)) % count + count) % count;
    if (canFocus(*order[i])) {
      focusOn(*order[i]);
      return true;
    }
  }
  return false;
}

void Win32Window::focusFirst() {
  for (ControlHooks* c : tabOrder()) {
    if (canFocus(*c)) {
      focusOn(*c);
      return;
    }
  }
}

bool Win32Window::turnPage(int step) {
  for (const auto& e : controls_) {
    auto* tabs = dynamic_cast<Win32TabControl*>(e.control.get());
    if (!tabs || !canFocus(*tabs)) continue;
    const int count = tabs->pageCount();
    if (count == 0) return false;
    const int page = ((tabs->currentPage() + step) % count + count) % count;
    tabs->setCurrentPage(page);
    // The focus may have been on the page just hidden; the row of tabs says
    // which page is shown now.
    focusOn(*tabs);
    NotifyWinEvent(EVENT_OBJECT_SELECTION, tabs->hwnd(), OBJID_CLIENT, page + 1);
    return true;
  }
  return false;
}

void Win32Window::showFocusCues() {
  SendMessageW(root_.hwnd, WM_CHANGEUISTATE, MAKEWPARAM(UIS_CLEAR, UISF_HIDEFOCUS), 0);
}

bool Win32Window::keyDown(HWND from, WPARAM key, LPARAM flags) {
  const bool ctrl = GetKeyState(VK_CONTROL) < 0;
  const bool shift = GetKeyState(VK_SHIFT) < 0;
  const bool repeated = (flags & 0x40000000) != 0;
  switch (key) {
    case VK_TAB:
      showFocusCues();
      return ctrl ? turnPage(shift ? -1 : 1) : tabFrom(from, shift);
    case VK_NEXT:
    case VK_PRIOR:
      if (!ctrl) return false;
      showFocusCues();
      return turnPage(key == VK_NEXT ? 1 : -1);
    case VK_ESCAPE:
      if (!closesOnEscape_ || ctrl || shift) return false;
      if (!repeated) PostMessageW(root_.hwnd, WM_CLOSE, 0, 0);
      return true;
    case VK_RETURN:
    case VK_SPACE: {
      if (ctrl || shift) return false;
      ControlHooks* c = focusedHooks();
      if (!c) return false;
      // A windowless link is pressed as a button is; a button takes Enter as
      // a dialog's focused button does. Space on a button is its own.
      if (c->windowless()) {
        if (const auto part = c->home()->partOf(c); part && !repeated) {
          PostMessageW(c->home()->hwnd, kPressPartMessage, *part, 0);
        }
        return true;
      }
      if (key == VK_RETURN && isButton(*c)) {
        if (!repeated) PostMessageW(c->hwnd(), BM_CLICK, 0, 0);
        return true;
      }
      return false;
    }
    default:
      return false;
  }
}

std::pair<std::string, int> Win32Window::focusedControl() const {
  if (const ControlHooks* c = focusedHooks()) {
    return {c->controlLayout().name, c->controlLayout().index};
  }
  return {};
}

void Win32Window::restoreFocus(const std::string& name, int index) {
  pendingFocus_ = hooksOf(name, index);
}

void Win32Window::controlShown(ControlHooks&) {
  if (!ready_ || !pendingFocus_ || !canFocus(*pendingFocus_)) return;
  ControlHooks* target = std::exchange(pendingFocus_, nullptr);
  const ControlHooks* now = focusedHooks();
  // The user has moved on: their choice stands.
  if (now && now != target && now->controlLayout().kind != ControlKind::TabControl) return;
  if (GetActiveWindow() != root_.hwnd) {
    // Not in front: the focus goes there when the window is activated again,
    // without pulling it to the front now.
    if (target->windowless()) target->home()->focused = target;
    lastFocus_ = target->hwnd() ? target->hwnd() : target->home()->hwnd;
    return;
  }
  focusOn(*target);
}

void Win32Window::followColours() {
  for (const auto& e : controls_) {
    e.native->coloursChanged();
    // Common controls learn of the change only from their parent.
    if (HWND child = e.native->hwnd()) SendMessageW(child, WM_SYSCOLORCHANGE, 0, 0);
  }
  RedrawWindow(root_.hwnd, nullptr, nullptr,
               RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN);
}

}  // namespace toolkit::win32
