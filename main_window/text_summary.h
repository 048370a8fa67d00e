#pragma once

#include <string>

#include "toolkit/form.h"

namespace main_window {

// What the main window shows once it has gathered, as lines of text:
//   <title>, Your Wan Ip Is: ..., Your Lan Ip Is: ..., Localhost: ...,
//   Online Status: ..., Lights: green pressed "Online", ...
// Line ends are "\n"; nothing is escaped here.
std::string MainWindowSummary(toolkit::Form& form1);

// A report window as text: an empty line, its caption, then its report with
// "\r\n" turned into "\n".
std::string ReportWindowSummary(toolkit::Form& reportWindow);

}  // namespace main_window
