#pragma once

// The order a window makes its controls in, worked out once from the layout
// table; a backend walks it and only makes and places each control.

#include <vector>

#include "toolkit/layout.h"

namespace toolkit {

// The layout's controls, each container (picture box, tab control) before its
// members and otherwise as listed: a container may be listed after its members.
// Throws LayoutError when a control names a container the layout lacks.
std::vector<const ControlLayout*> creationOrder(const WindowLayout& layout);

}  // namespace toolkit
