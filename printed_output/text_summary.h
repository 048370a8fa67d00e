#pragma once

#include <string>

#include "printed_output/program_reading.h"

namespace printed_output {

// What the main window shows once it has gathered, as lines of text:
//   <title>, Your Wan Ip Is: ..., Your Lan Ip Is: ..., Localhost: ...,
//   Online Status: ..., Lights: green pressed "Online", ...
// Line ends are "\n". A line feed inside a field is written as the four
// characters \x0A, so every field stays on its line; other control characters
// are left for the printer to escape.
std::string MainWindowSummary(const ProgramReading& reading);

// Each report window that loaded: an empty line, its caption, then its report
// with "\r\n" turned into "\n".
std::string ReportsSummary(const ProgramReading& reading);

}  // namespace printed_output
