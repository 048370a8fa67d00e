#include "main_window/progress_bar_colours.h"

namespace main_window {

void SetProgressBarColors(toolkit::ProgressBar& bar, toolkit::Colour background,
                          toolkit::Colour barColour) {
  bar.sendMessage(toolkit::kSetBackgroundColourMessage, 0, static_cast<std::intptr_t>(background));
  bar.sendMessage(toolkit::kSetBarColourMessage, 0, static_cast<std::intptr_t>(barColour));
}

}  // namespace main_window
