// Which controls are containers, and so what must be made first, is the
// toolkit's; each backend makes the controls in this order.

#include "toolkit/creation_order.h"

#include <set>
#include <string>

#include "basics/error.h"

namespace toolkit {

std::vector<const ControlLayout*> creationOrder(const WindowLayout& layout) {
  std::set<std::string> containers{""};  // "" is the window itself
  std::vector<const ControlLayout*> pending;
  for (const auto& c : layout.controls) pending.push_back(&c);
  std::vector<const ControlLayout*> order;
  // Each pass takes every control whose container is already taken; a pass
  // that takes none leaves only controls whose container is missing.
  while (!pending.empty()) {
    std::vector<const ControlLayout*> later;
    for (const ControlLayout* c : pending) {
      if (!containers.contains(c->parent)) {
        later.push_back(c);
        continue;
      }
      if (c->kind == ControlKind::PictureBox || c->kind == ControlKind::TabControl) {
        containers.insert(c->name);
      }
      order.push_back(c);
    }
    if (later.size() == pending.size()) {
      throw basics::LayoutError("Container '" + later.front()->parent + "' not found");
    }
    pending.swap(later);
  }
  return order;
}

}  // namespace toolkit
