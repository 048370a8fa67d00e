#pragma once

#include "diagnosis/connection_reason.h"
#include "main_window/form1_controls.h"

namespace main_window {

// Tells a screen reader the status the gathering ended with, wherever the focus
// is: the "Online Status:" box carries the status phrase as its value and
// announces it, with the reason (ShowReason) after it.
void AnnounceStatus(const Form1Controls& c);

// Puts why the status is what it is on the "Online Status:" box: its tool
// tip for the pointer, its description for a screen reader. The window looks
// as it did.
void ShowReason(const Form1Controls& c, const diagnosis::Reason& reason);

}  // namespace main_window
