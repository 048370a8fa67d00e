#pragma once

#include "toolkit/layout.h"

namespace toolkit {

// Whether some part of the control lies inside its window's client area, its
// containers' boxes cutting it off as the frame does. One that lies wholly
// outside can never be seen, whatever it holds: the backends keep it out of
// the window, so the keyboard cannot reach it and no screen reader finds it.
bool liesInWindow(const WindowLayout& window, const ControlLayout& control);

}  // namespace toolkit
