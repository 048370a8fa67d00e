#include "platform/windows/windows_shell.h"

#include <windows.h>

#include "platform/windows/system_message.h"
#include "platform/windows/wide_text.h"
#include "toolkit/error.h"

namespace platform::windows {

std::int64_t WindowsShell::openInBrowser(const std::string& url, int windowStyle) {
  // The command line is written to by the call, so it needs a buffer of its own.
  std::wstring commandLine = toWide(browserCommandLine(url));
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESHOWWINDOW;
  startup.wShowWindow = static_cast<WORD>(windowStyle);
  PROCESS_INFORMATION process{};
  if (!CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                      &startup, &process)) {
    const DWORD error = GetLastError();
    // 53: file not found, as the shell call reports a program it cannot start.
    throw toolkit::Error(53, "Tarnwick", systemMessage(error, "File not found: explorer.exe"));
  }
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  return static_cast<std::int64_t>(process.dwProcessId);
}

}  // namespace platform::windows
