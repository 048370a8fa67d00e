#include "toolkit/in_view.h"

#include <algorithm>

namespace toolkit {
namespace {

struct Box {
  double left, top, right, bottom;
  bool empty() const { return right <= left || bottom <= top; }
};

Box intersect(const Box& a, const Box& b) {
  return {std::max(a.left, b.left), std::max(a.top, b.top), std::min(a.right, b.right),
          std::min(a.bottom, b.bottom)};
}

const ControlLayout* find(const WindowLayout& window, const std::string& name) {
  for (const auto& c : window.controls) {
    if (c.name == name) return &c;
  }
  return nullptr;
}

}  // namespace

bool liesInWindow(const WindowLayout& window, const ControlLayout& control) {
  // The control's box in window coordinates, cut by each container on the way out.
  Box visible{static_cast<double>(control.left), static_cast<double>(control.top),
              static_cast<double>(control.left + control.width),
              static_cast<double>(control.top + control.height)};
  // A layout names its containers before any loop could form; the bound only
  // keeps a broken one from running on.
  const ControlLayout* parent = find(window, control.parent);
  for (std::size_t hops = 0; parent && hops < window.controls.size(); ++hops) {
    visible = intersect(visible, Box{0, 0, static_cast<double>(parent->width),
                                     static_cast<double>(parent->height)});
    visible.left += parent->left;
    visible.right += parent->left;
    visible.top += parent->top;
    visible.bottom += parent->top;
    parent = parent->parent.empty() ? nullptr : find(window, parent->parent);
  }
  const Box client{0, 0, static_cast<double>(window.clientWidth),
                   static_cast<double>(window.clientHeight)};
  return !intersect(visible, client).empty();
}

}  // namespace toolkit
