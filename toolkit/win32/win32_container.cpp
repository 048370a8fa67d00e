// A container's windowless members as screen readers and the keyboard meet
// them: parts of its accessible object, and a link among them holds the focus
// through the container's window.

#include <algorithm>

#include "toolkit/win32/win32_control.h"
#include "toolkit/win32/win32_window.h"

namespace toolkit::win32 {

std::vector<ControlHooks*> Container::parts() const {
  std::vector<ControlHooks*> out;
  for (ControlHooks* member : members) {
    if (member->windowless()) out.push_back(member);
  }
  return out;
}

std::optional<std::size_t> Container::partOf(const ControlHooks* member) const {
  const auto all = parts();
  const auto it = std::find(all.begin(), all.end(), member);
  if (it == all.end()) return std::nullopt;
  return static_cast<std::size_t>(it - all.begin());
}

bool Container::hasFocusOn(const ControlHooks* member) const {
  return member && focused == member && hwnd && GetFocus() == hwnd;
}

std::optional<AccessibleFacts> Container::selfFacts() const {
  if (!owner) return std::nullopt;
  return owner->accessibleFacts();
}

std::size_t Container::partCount() const {
  return parts().size();
}

AccessibleFacts Container::partFacts(std::size_t part) const {
  return parts().at(part)->accessibleFacts();
}

bool Container::partShown(std::size_t part) const {
  return parts().at(part)->shown() && IsWindowVisible(hwnd);
}

bool Container::partFocused(std::size_t part) const {
  return focused == parts().at(part);
}

RECT Container::partRect(std::size_t part) const {
  return parts().at(part)->pixelRect();
}

void Container::pressPart(std::size_t part) {
  PostMessageW(hwnd, kPressPartMessage, part, 0);
}

void Container::focusPart(std::size_t part) {
  ControlHooks* member = parts().at(part);
  if (window && member->takesFocus()) window->focusOn(*member);
}

}  // namespace toolkit::win32
