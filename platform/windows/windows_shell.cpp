#include "platform/windows/windows_shell.h"

#include <windows.h>

#include "basics/error.h"
#include "basics/error_source.h"
#include "platform/windows/system_message.h"
#include "platform/windows/wide_text.h"

namespace platform::windows {
namespace {

// The shell in the shared Windows folder. Named alone, the program would be
// looked for in the program's own folder first, where anyone who can put a
// file beside an unzipped tarnwick.exe could plant one. On a terminal server
// GetWindowsDirectory may give the user's private copy of the folder, which
// holds no programs; GetSystemWindowsDirectory gives the shared one.
std::wstring shellProgram() {
  std::wstring folder(MAX_PATH, L'\0');
  UINT length = GetSystemWindowsDirectoryW(folder.data(), static_cast<UINT>(folder.size()));
  if (length >= folder.size()) {
    folder.resize(length);
    length = GetSystemWindowsDirectoryW(folder.data(), static_cast<UINT>(folder.size()));
  }
  if (length == 0 || length >= folder.size()) {
    throw basics::Error(53, basics::kErrorSource,
                        systemMessage(GetLastError(), "File not found: explorer.exe"));
  }
  folder.resize(length);
  if (folder.back() != L'\\') folder += L'\\';
  return folder + L"explorer.exe";
}

}  // namespace

std::int64_t WindowsShell::openInBrowser(const std::string& url, int windowStyle) {
  const std::wstring program = shellProgram();
  // The command line is written to by the call, so it needs a buffer of its own.
  std::wstring commandLine = toWide(browserCommandLine(url));
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESHOWWINDOW;
  startup.wShowWindow = static_cast<WORD>(windowStyle);
  PROCESS_INFORMATION process{};
  if (!CreateProcessW(program.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                      nullptr, &startup, &process)) {
    const DWORD error = GetLastError();
    // 53: file not found, as the shell call reports a program it cannot start.
    throw basics::Error(53, basics::kErrorSource,
                        systemMessage(error, "File not found: explorer.exe"));
  }
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  return static_cast<std::int64_t>(process.dwProcessId);
}

}  // namespace platform::windows
