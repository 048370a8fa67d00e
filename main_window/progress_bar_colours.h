#pragma once

#include "toolkit/controls.h"
#include "toolkit/units.h"

namespace main_window {

// Sends the progress bar its background and bar colours as native messages.
void SetProgressBarColors(toolkit::ProgressBar& bar, toolkit::Colour background,
                          toolkit::Colour barColour);

}  // namespace main_window
