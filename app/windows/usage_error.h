#pragma once

#include <string>

#include "console_streams.h"

namespace app_windows {

// Tells the user that the command line held an argument the program does not
// know: on standard error when that reaches someone (the console it was
// started from, a file, a pipe); in a message box when nothing would read it
// (started from Explorer or a shortcut), where it would otherwise end with no
// word and no window.
void ReportUsageError(const ConsoleStreams& console, const std::string& text);

}  // namespace app_windows
