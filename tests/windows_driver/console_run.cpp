#include "tests/windows_driver/console_run.h"

#include <windows.h>

#include <cstdio>
#include <thread>

#include "tests/windows_driver/ui_access.h"

namespace windows_driver {
namespace {

constexpr DWORD kLimitMs = 120000;

struct Handle {
  HANDLE h = nullptr;
  ~Handle() {
    if (h != nullptr && h != INVALID_HANDLE_VALUE) CloseHandle(h);
  }
};

// A visible window of process `pid`; with `dialogsOnly`, a message box (a
// dialog of the system's class). Null when there is none.
HWND visibleWindowOf(DWORD pid, bool dialogsOnly) {
  struct Search {
    DWORD pid;
    bool dialogsOnly;
    HWND found = nullptr;
  } search{pid, dialogsOnly};
  EnumWindows(
      [](HWND window, LPARAM data) -> BOOL {
        auto* s = reinterpret_cast<Search*>(data);
        DWORD owner = 0;
        GetWindowThreadProcessId(window, &owner);
        wchar_t name[16] = {};
        GetClassNameW(window, name, 16);
        if (owner == s->pid && IsWindowVisible(window) &&
            (!s->dialogsOnly || lstrcmpW(name, L"#32770") == 0)) {
          s->found = window;
        }
        return s->found == nullptr;
      },
      reinterpret_cast<LPARAM>(&search));
  return search.found;
}

// The longest text of a box's static controls: its message, not its icon.
std::wstring messageOf(HWND box) {
  std::wstring message;
  EnumChildWindows(
      box,
      [](HWND child, LPARAM data) -> BOOL {
        wchar_t name[16] = {};
        GetClassNameW(child, name, 16);
        if (lstrcmpiW(name, L"Static") != 0) return TRUE;
        std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(child)) + 1, L'\0');
        text.resize(static_cast<std::size_t>(
            GetWindowTextW(child, text.data(), static_cast<int>(text.size()))));
        auto* longest = reinterpret_cast<std::wstring*>(data);
        if (text.size() > longest->size()) *longest = text;
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&message));
  return message;
}

int fail(const std::string& why) {
  std::fprintf(stderr, "%s\n", why.c_str());
  return kConsoleRunFailed;
}

}  // namespace

int runWithRedirectedOutput(const std::wstring& program, const std::vector<std::wstring>& options,
                            const std::wstring& errorFile) {
  SECURITY_ATTRIBUTES inheritable{sizeof inheritable, nullptr, TRUE};
  Handle readEnd;
  Handle writeEnd;
  if (!CreatePipe(&readEnd.h, &writeEnd.h, &inheritable, 0)) return fail("cannot make a pipe");
  SetHandleInformation(readEnd.h, HANDLE_FLAG_INHERIT, 0);
  Handle errors;
  errors.h = CreateFileW(errorFile.c_str(), GENERIC_WRITE, FILE_SHARE_READ, &inheritable,
                         CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (errors.h == INVALID_HANDLE_VALUE) return fail("cannot make " + narrow(errorFile));

  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESTDHANDLES;
  startup.hStdOutput = writeEnd.h;
  startup.hStdError = errors.h;
  std::wstring commandLine = L"\"" + program + L"\"";
  for (const std::wstring& option : options) commandLine += L" \"" + option + L"\"";
  PROCESS_INFORMATION info{};
  if (!startProgram(program, commandLine, true, 0, startup, info)) {
    return fail("cannot start " + narrow(program) + " (error " + std::to_string(GetLastError()) +
                ")");
  }
  Handle process{info.hProcess};
  Handle thread{info.hThread};
  CloseHandle(writeEnd.h);  // the pipe ends when the program's copy closes
  writeEnd.h = nullptr;

  std::string output;
  std::thread reader([&] {
    char buffer[4096];
    DWORD got = 0;
    while (ReadFile(readEnd.h, buffer, sizeof buffer, &got, nullptr) && got > 0) {
      output.append(buffer, got);
    }
  });
  bool windowSeen = false;
  const DWORD started = GetTickCount();
  while (WaitForSingleObject(process.h, 20) == WAIT_TIMEOUT) {
    windowSeen = windowSeen || visibleWindowOf(info.dwProcessId, false) != nullptr;
    if (GetTickCount() - started > kLimitMs) {
      TerminateProcess(process.h, kConsoleRunFailed);
      reader.join();
      return fail("the program did not end within two minutes");
    }
  }
  reader.join();
  std::fwrite(output.data(), 1, output.size(), stdout);
  std::fflush(stdout);
  if (windowSeen) return fail("the program showed a window");
  DWORD status = 0;
  GetExitCodeProcess(process.h, &status);
  return static_cast<int>(status);
}

int runWithoutConsole(const std::wstring& program, const std::vector<std::wstring>& options) {
  // Nothing to attach to, nothing handed on: what a program started from
  // Explorer finds.
  FreeConsole();
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESTDHANDLES;
  std::wstring commandLine = L"\"" + program + L"\"";
  for (const std::wstring& option : options) commandLine += L" \"" + option + L"\"";
  PROCESS_INFORMATION info{};
  if (!startProgram(program, commandLine, false, DETACHED_PROCESS, startup, info)) {
    return fail("cannot start " + narrow(program) + " (error " + std::to_string(GetLastError()) +
                ")");
  }
  Handle process{info.hProcess};
  Handle thread{info.hThread};
  HWND box = nullptr;
  if (!waitUntil(std::chrono::seconds(60),
                 [&] {
                   box = visibleWindowOf(info.dwProcessId, true);
                   return box != nullptr || WaitForSingleObject(process.h, 0) == WAIT_OBJECT_0;
                 }) ||
      box == nullptr) {
    TerminateProcess(process.h, kConsoleRunFailed);
    return fail("the program showed no message box");
  }
  const int length = GetWindowTextLengthW(box);
  std::wstring title(static_cast<std::size_t>(length) + 1, L'\0');
  title.resize(static_cast<std::size_t>(GetWindowTextW(box, title.data(), length + 1)));
  const std::string shown = narrow(title) + "\n" + narrow(messageOf(box)) + "\n";
  std::fwrite(shown.data(), 1, shown.size(), stdout);
  std::fflush(stdout);
  PostMessageW(box, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
  if (WaitForSingleObject(process.h, 30000) != WAIT_OBJECT_0) {
    TerminateProcess(process.h, kConsoleRunFailed);
    return fail("the program did not end once its box was closed");
  }
  DWORD status = 0;
  GetExitCodeProcess(process.h, &status);
  return static_cast<int>(status);
}

}  // namespace windows_driver
