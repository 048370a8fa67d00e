#include "usage_error.h"

#include <windows.h>

#include "main_window/app_title.h"
#include "toolkit/win32/win32_text.h"

namespace app_windows {

void ReportUsageError(const ConsoleStreams& console, const std::string& text) {
  if (console.errorsReachSomeone()) {
    console.err(text);
    return;
  }
  // No window of ours exists yet: the box comes to the front by itself.
  MessageBoxW(nullptr, toolkit::win32::widen(text).c_str(),
              toolkit::win32::widen(main_window::kApplicationTitle).c_str(),
              MB_OK | MB_ICONSTOP | MB_SETFOREGROUND);
}

}  // namespace app_windows
