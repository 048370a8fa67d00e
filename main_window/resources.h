#pragma once

#include "toolkit/resources.h"

namespace main_window {

// The hand pointer, the bundled seven-segment face and the faces drawn in place
// of missing ones, for every window of the program; the backend is made with it.
toolkit::Resources WindowResources();

}  // namespace main_window
