#include "tests/windows_driver/ui_access.h"

#include <commctrl.h>
#include <oleacc.h>

#include <cstdio>
#include <vector>

#include "tests/support/win32/accessible_reading.h"

namespace windows_driver {
namespace {

// A program busy in an event handler answers late; one that hangs must not hang us.
constexpr UINT kAnswerMs = 5000;

std::optional<LRESULT> ask(HWND window, UINT message, WPARAM w, LPARAM l) {
  DWORD_PTR answer = 0;
  if (SendMessageTimeoutW(window, message, w, l, SMTO_ABORTIFHUNG, kAnswerMs, &answer) == 0) {
    return std::nullopt;
  }
  return static_cast<LRESULT>(answer);
}

struct TopLevelSearch {
  DWORD pid;
  const std::wstring* title;
  HWND found;
};

BOOL CALLBACK matchTopLevel(HWND window, LPARAM data) {
  auto& search = *reinterpret_cast<TopLevelSearch*>(data);
  DWORD pid = 0;
  GetWindowThreadProcessId(window, &pid);
  if (pid != search.pid || !IsWindowVisible(window)) return TRUE;
  // Our own process's windows would answer GetWindowText directly; another's
  // are read from the caption the system keeps, which is what we want.
  std::wstring title(static_cast<std::size_t>(GetWindowTextLengthW(window)) + 1, L'\0');
  title.resize(static_cast<std::size_t>(GetWindowTextW(window, title.data(), title.size())));
  if (title != *search.title) return TRUE;
  search.found = window;
  return FALSE;
}

struct ControlSearch {
  int id;
  HWND found;
};

BOOL CALLBACK matchControl(HWND window, LPARAM data) {
  auto& search = *reinterpret_cast<ControlSearch*>(data);
  if (GetDlgCtrlID(window) != search.id) return TRUE;
  search.found = window;
  return FALSE;
}

// The item's rectangle, asked of the tab control in its own process's memory.
std::optional<RECT> tabItemRect(HWND tabControl, int page) {
  DWORD pid = 0;
  GetWindowThreadProcessId(tabControl, &pid);
  HANDLE process =
      OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, pid);
  if (process == nullptr) return std::nullopt;
  std::optional<RECT> rect;
  void* remote = VirtualAllocEx(process, nullptr, sizeof(RECT), MEM_COMMIT, PAGE_READWRITE);
  if (remote != nullptr) {
    RECT local{};
    const auto ok = ask(tabControl, TCM_GETITEMRECT, static_cast<WPARAM>(page),
                        reinterpret_cast<LPARAM>(remote));
    if (ok && *ok != 0 && ReadProcessMemory(process, remote, &local, sizeof local, nullptr)) {
      rect = local;
    }
    VirtualFreeEx(process, remote, 0, MEM_RELEASE);
  }
  CloseHandle(process);
  return rect;
}

}  // namespace

std::wstring widen(const std::string& utf8) {
  if (utf8.empty()) return {};
  const int size =
      MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), nullptr, 0);
  std::wstring out(static_cast<std::size_t>(size), L'\0');
  MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), out.data(), size);
  return out;
}

std::string narrow(const std::wstring& utf16) {
  if (utf16.empty()) return {};
  const int size = WideCharToMultiByte(CP_UTF8, 0, utf16.data(), static_cast<int>(utf16.size()),
                                       nullptr, 0, nullptr, nullptr);
  std::string out(static_cast<std::size_t>(size), '\0');
  WideCharToMultiByte(CP_UTF8, 0, utf16.data(), static_cast<int>(utf16.size()), out.data(), size,
                      nullptr, nullptr);
  return out;
}

HWND findTopLevel(DWORD pid, const std::wstring& title) {
  TopLevelSearch search{pid, &title, nullptr};
  EnumWindows(matchTopLevel, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

HWND findControl(HWND top, int id) {
  ControlSearch search{id, nullptr};
  EnumChildWindows(top, matchControl, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

std::optional<std::string> textOf(HWND control) {
  const auto length = ask(control, WM_GETTEXTLENGTH, 0, 0);
  if (!length) return std::nullopt;
  // The system copies the text across processes for WM_GETTEXT.
  std::vector<wchar_t> buffer(static_cast<std::size_t>(*length) + 1, L'\0');
  const auto copied =
      ask(control, WM_GETTEXT, buffer.size(), reinterpret_cast<LPARAM>(buffer.data()));
  if (!copied) return std::nullopt;
  return narrow(std::wstring(buffer.data(), static_cast<std::size_t>(*copied)));
}

std::optional<bool> isChecked(HWND control) {
  const auto state = ask(control, BM_GETCHECK, 0, 0);
  if (!state) return std::nullopt;
  return *state == BST_CHECKED;
}

std::optional<int> progressPosition(HWND bar) {
  const auto position = ask(bar, PBM_GETPOS, 0, 0);
  if (!position) return std::nullopt;
  return static_cast<int>(*position);
}

void click(HWND button) {
  PostMessageW(button, BM_CLICK, 0, 0);
}

bool selectTab(HWND tabControl, int page) {
  RECT rect{};
  if (const auto item = tabItemRect(tabControl, page)) {
    rect = *item;
  } else {
    // A tab control that does not say: assume one row of equal tabs, 20 px high.
    GetClientRect(tabControl, &rect);
    const LONG width = (rect.right - rect.left) / 3;
    rect = RECT{width * page, 0, width * (page + 1), 20};
  }
  const LPARAM at = MAKELPARAM((rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2);
  return PostMessageW(tabControl, WM_LBUTTONDOWN, MK_LBUTTON, at) != 0 &&
         PostMessageW(tabControl, WM_LBUTTONUP, 0, at) != 0;
}

bool waitUntil(std::chrono::milliseconds limit, const std::function<bool()>& done) {
  const auto deadline = Clock::now() + limit;
  while (!done()) {
    if (Clock::now() >= deadline) return false;
    // Our own messages flow meanwhile: the events of a WinEvent hook come as them.
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_ALLINPUT);
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
  }
  return true;
}

bool startProgram(const std::wstring& program, std::wstring commandLine, bool inheritHandles,
                  DWORD flags, STARTUPINFOW& startup, PROCESS_INFORMATION& info) {
  constexpr int kTries = 3;
  for (int tried = 1;; ++tried) {
    std::wstring line = commandLine;  // CreateProcessW may write into it
    if (CreateProcessW(program.c_str(), line.data(), nullptr, nullptr, inheritHandles, flags,
                       nullptr, nullptr, &startup, &info)) {
      return true;
    }
    const DWORD error = GetLastError();
    if (error != ERROR_INTERNAL_ERROR || tried == kTries) {
      SetLastError(error);
      return false;
    }
    std::fprintf(stderr, "the system could not start %s (error %lu); trying again\n",
                 narrow(program).c_str(), static_cast<unsigned long>(error));
    Sleep(1000);
  }
}

std::optional<std::string> accessibleDescriptionOf(HWND control) {
  // The object of another process reaches this thread through COM.
  const HRESULT com = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
  std::optional<std::string> description;
  IAccessible* object = nullptr;
  const HRESULT got =
      AccessibleObjectFromWindow(control, static_cast<DWORD>(OBJID_CLIENT), __uuidof(IAccessible),
                                 reinterpret_cast<void**>(&object));
  if (SUCCEEDED(got) && object) {
    using tests_support::accessible_reading::childId;
    description = tests_support::accessible_reading::textOf(object, childId(CHILDID_SELF),
                                                            &IAccessible::get_accDescription);
    object->Release();
  }
  if (SUCCEEDED(com)) CoUninitialize();
  return description;
}

}  // namespace windows_driver
