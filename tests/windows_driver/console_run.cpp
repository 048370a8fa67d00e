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

bool showsAWindow(DWORD pid) {
  struct Search {
    DWORD pid;
    bool found = false;
  } search{pid};
  EnumWindows(
      [](HWND window, LPARAM data) -> BOOL {
        auto* s = reinterpret_cast<Search*>(data);
        DWORD owner = 0;
        GetWindowThreadProcessId(window, &owner);
        if (owner == s->pid && IsWindowVisible(window)) s->found = true;
        return !s->found;
      },
      reinterpret_cast<LPARAM>(&search));
  return search.found;
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
  if (!CreateProcessW(program.c_str(), commandLine.data(), nullptr, nullptr, TRUE, 0, nullptr,
                      nullptr, &startup, &info)) {
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
    windowSeen = windowSeen || showsAWindow(info.dwProcessId);
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

}  // namespace windows_driver
