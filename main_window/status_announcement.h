#pragma once

#include "main_window/form1_controls.h"

namespace main_window {

// Tells a screen reader the status the gathering ended with, wherever the focus
// is: the "Online Status:" box carries the status phrase as its value and
// announces it. Its description stays free for a sentence that says why.
void AnnounceStatus(const Form1Controls& c);

}  // namespace main_window
