#pragma once

#include <string>

#include "toolkit/layout.h"

namespace windows_driver {

// The control identifier the Win32 backend gives the control `name` of a
// window built from `layout` (the first member when it names a control array).
int controlIdOf(const toolkit::WindowLayout& layout, const std::string& name);

// The report windows' layout as far as the driver needs it: their text box.
toolkit::WindowLayout reportWindowLayout();

}  // namespace windows_driver
