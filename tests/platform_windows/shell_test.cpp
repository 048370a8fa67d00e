// The links start the shell from the Windows folder: an explorer.exe planted
// beside the program (CMake puts one beside this test) must not be the one
// that runs.

#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "platform/windows/windows_shell.h"

namespace platform::windows {
namespace {

std::wstring besideThisProgram(const wchar_t* name) {
  std::wstring path(MAX_PATH, L'\0');
  path.resize(GetModuleFileNameW(nullptr, path.data(), MAX_PATH));
  return path.substr(0, path.find_last_of(L'\\') + 1) + name;
}

TEST(WindowsShell, StartsTheShellFromTheWindowsFolderNotTheProgramsOwn) {
  const std::wstring planted = besideThisProgram(L"explorer.exe");
  const std::wstring marker = besideThisProgram(L"planted-explorer-ran");
  ASSERT_NE(GetFileAttributesW(planted.c_str()), INVALID_FILE_ATTRIBUTES) << "nothing planted";
  DeleteFileW(marker.c_str());

  WindowsShell shell;
  // Loopback's discard port, inside the test's private network namespace.
  const auto id = shell.openInBrowser("http://127.0.0.1:9/", kMinimizedFocus);
  HANDLE started = OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION | PROCESS_TERMINATE | SYNCHRONIZE,
                               FALSE, static_cast<DWORD>(id));
  if (started) {
    wchar_t image[MAX_PATH] = {};
    DWORD size = MAX_PATH;
    const bool named = QueryFullProcessImageNameW(started, 0, image, &size);
    TerminateProcess(started, 0);  // it has shown whose it is; no browser is wanted
    WaitForSingleObject(started, 5000);
    CloseHandle(started);
    wchar_t folder[MAX_PATH] = {};
    const std::wstring windows(folder, GetSystemWindowsDirectoryW(folder, MAX_PATH));
    if (named) {
      // Wine names the shell's image by its own copy in system32.
      const std::wstring started(image, size);
      EXPECT_EQ(CompareStringOrdinal(started.c_str(), static_cast<int>(windows.size()),
                                     windows.c_str(), -1, TRUE),
                CSTR_EQUAL)
          << std::string(started.begin(), started.end());
      EXPECT_NE(CompareStringOrdinal(started.c_str(), -1, planted.c_str(), -1, TRUE), CSTR_EQUAL);
    }
  }
  Sleep(started ? 0 : 1000);
  EXPECT_EQ(GetFileAttributesW(marker.c_str()), INVALID_FILE_ATTRIBUTES)
      << "the explorer.exe beside the program ran";
  DeleteFileW(marker.c_str());
}

}  // namespace
}  // namespace platform::windows
