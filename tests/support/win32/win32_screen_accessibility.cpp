// What a screen reader and a keyboard user meet in a window, as the Win32
// screen probe reads it: through the objects accessibility tools get
// (AccessibleObjectFromWindow, a windowless control through its container),
// and keys given as the keyboard gives them (SendInput).

#include "tests/support/win32/win32_screen.h"

#include <oleacc.h>

#include <stdexcept>
#include <utility>

#include "tests/support/win32/accessible_reading.h"
#include "toolkit/win32/win32_text.h"

namespace tests_support {

// What windows of this process announced to screen readers: each live region
// change, read back as a screen reader reads the region (name and value).
std::vector<std::string>& announced() {
  static std::vector<std::string> log;
  return log;
}

void CALLBACK recordAnnouncement(HWINEVENTHOOK, DWORD, HWND hwnd, LONG object, LONG child, DWORD,
                                 DWORD) {
  std::string said;
  if (accessible_reading::announcementOf(hwnd, object, child, said)) announced().push_back(said);
}

namespace {

using accessible_reading::childId;
using accessible_reading::numberOf;
using accessible_reading::textOf;

VARIANT self() {
  return childId(CHILDID_SELF);
}

// The object accessibility tools get for a control, as they ask for it: its
// window's, or for a windowless one its container's with the part's child id.
struct Accessible {
  IAccessible* object = nullptr;
  VARIANT child = self();
  Accessible() = default;
  Accessible(const Accessible&) = delete;
  Accessible& operator=(const Accessible&) = delete;
  ~Accessible() {
    if (object) object->Release();
  }
  explicit operator bool() const { return object != nullptr; }
};

void accessibleOf(ControlHooks* c, Accessible& out) {
  if (!c) return;
  HWND window = c->hwnd();
  if (!window && c->windowless() && c->home()) {
    const auto part = c->home()->partOf(c);
    if (!part) return;
    window = c->home()->hwnd;
    out.child = childId(toolkit::win32::partChildId(*part));
  }
  if (!window || FAILED(AccessibleObjectFromWindow(window, static_cast<DWORD>(OBJID_CLIENT),
                                                   __uuidof(IAccessible),
                                                   reinterpret_cast<void**>(&out.object)))) {
    out.object = nullptr;
  }
}

}  // namespace

std::string Screen::accessibleName(std::string_view name, int index) const {
  Accessible a;
  accessibleOf(impl_->control(name, index), a);
  return a ? textOf(a.object, a.child, &IAccessible::get_accName) : std::string();
}

std::optional<bool> Screen::checked(std::string_view name, int index) const {
  Accessible a;
  accessibleOf(impl_->control(name, index), a);
  if (!a || numberOf(a.object, a.child, &IAccessible::get_accRole) != ROLE_SYSTEM_CHECKBUTTON) {
    return std::nullopt;
  }
  return (numberOf(a.object, a.child, &IAccessible::get_accState) & STATE_SYSTEM_CHECKED) != 0;
}

std::string Screen::accessibleRole(std::string_view name, int index) const {
  Accessible a;
  accessibleOf(impl_->control(name, index), a);
  if (!a) return {};
  const LONG role = numberOf(a.object, a.child, &IAccessible::get_accRole);
  const char* said = accessible_reading::roleName(role);
  return said != nullptr ? said : "role " + std::to_string(role);
}

std::string Screen::accessibleDescription(std::string_view name, int index) const {
  Accessible a;
  accessibleOf(impl_->control(name, index), a);
  return a ? textOf(a.object, a.child, &IAccessible::get_accDescription) : std::string();
}

std::string Screen::accessibleValue(std::string_view name, int index) const {
  Accessible a;
  accessibleOf(impl_->control(name, index), a);
  return a ? textOf(a.object, a.child, &IAccessible::get_accValue) : std::string();
}

bool Screen::accessiblePressed(std::string_view name, int index) const {
  Accessible a;
  accessibleOf(impl_->control(name, index), a);
  return a && (numberOf(a.object, a.child, &IAccessible::get_accState) & STATE_SYSTEM_PRESSED);
}

bool Screen::accessible(std::string_view name, int index) const {
  // A tool walks down from the window: the control's window is one of its
  // descendants, or the part one of its container's children.
  ControlHooks* c = impl_->control(name, index);
  if (!c) return false;
  if (c->hwnd()) return IsChild(impl_->top(), c->hwnd()) != FALSE;
  Accessible a;
  accessibleOf(c, a);
  return a && IsChild(impl_->top(), c->home()->hwnd);
}

std::vector<std::string> Screen::announcements() const {
  pump(20);  // events reach the hook through the message loop
  const auto& log = announced();
  return {log.begin() + static_cast<std::ptrdiff_t>(impl_->firstAnnouncement), log.end()};
}

bool Screen::focus(std::string_view name, int index) {
  ControlHooks* c = impl_->control(name, index);
  if (!c) return false;
  SetForegroundWindow(impl_->top());
  impl_->window->focusOn(*c);
  pump(20);
  return impl_->window->focusedControl().first == c->controlLayout().name;
}

std::string Screen::focusedControl() const {
  const auto [control, index] = impl_->window->focusedControl();
  if (control.empty()) return {};
  return index >= 0 ? control + "(" + std::to_string(index) + ")" : control;
}

void Screen::pressKey(std::string_view keys) {
  // As the keyboard gives them: modifiers held down, the key pressed and let go.
  std::vector<WORD> held;
  std::string_view key = keys;
  for (const auto& [prefix, vk] :
       {std::pair<std::string_view, WORD>{"Ctrl+", VK_CONTROL}, {"Shift+", VK_SHIFT}}) {
    if (key.substr(0, prefix.size()) == prefix) {
      held.push_back(vk);
      key.remove_prefix(prefix.size());
    }
  }
  static const std::pair<std::string_view, WORD> known[] = {
      {"Tab", VK_TAB},       {"Enter", VK_RETURN}, {"Space", VK_SPACE},
      {"Escape", VK_ESCAPE}, {"PgDn", VK_NEXT},    {"PgUp", VK_PRIOR}};
  WORD vk = 0;
  for (const auto& [n, code] : known) {
    if (n == key) vk = code;
  }
  if (vk == 0) throw std::invalid_argument("no such key: " + std::string(keys));
  std::vector<INPUT> inputs;
  const auto press = [&](WORD code, bool up) {
    INPUT in{};
    in.type = INPUT_KEYBOARD;
    in.ki.wVk = code;
    in.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
    inputs.push_back(in);
  };
  for (WORD m : held) press(m, false);
  press(vk, false);
  press(vk, true);
  for (auto it = held.rbegin(); it != held.rend(); ++it) press(*it, true);
  SetForegroundWindow(impl_->top());
  SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT));
  pump(100);
}

}  // namespace tests_support
