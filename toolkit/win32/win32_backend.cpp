#include "toolkit/win32/win32_backend.h"

#include <commctrl.h>

#include <cstdio>

#include "basics/text_output.h"
#include "toolkit/win32/win32_text.h"
#include "toolkit/win32/win32_window.h"

namespace toolkit::win32 {
namespace {

constexpr UINT kRunTasks = WM_APP + 1;
constexpr const wchar_t* kMessageClass = L"TarnwickMessages";

void registerClasses() {
  HINSTANCE instance = GetModuleHandleW(nullptr);
  WNDCLASSEXW form{};
  form.cbSize = sizeof form;
  form.lpfnWndProc = containerProc;
  form.hInstance = instance;
  form.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  form.lpszClassName = kFormClass;
  // No class icon: a window shows the program's icon only when its layout
  // names one (it sets it itself).
  RegisterClassExW(&form);
  WNDCLASSEXW panel = form;
  panel.lpszClassName = kPanelClass;
  RegisterClassExW(&panel);
  WNDCLASSEXW messages{};
  messages.cbSize = sizeof messages;
  messages.hInstance = instance;
  messages.lpszClassName = kMessageClass;
  messages.lpfnWndProc = DefWindowProcW;
  RegisterClassExW(&messages);
}

BOOL CALLBACK findFormWindow(HWND hwnd, LPARAM found) {
  wchar_t name[32] = {};
  GetClassNameW(hwnd, name, 32);
  if (lstrcmpW(name, kFormClass) != 0 || !IsWindowVisible(hwnd)) return TRUE;
  *reinterpret_cast<HWND*>(found) = hwnd;
  return FALSE;
}

// The window a message box belongs to: the thread's active window, else its
// topmost shown form (the thread's windows come front to back).
HWND programWindow() {
  if (HWND active = GetActiveWindow()) return active;
  HWND found = nullptr;
  EnumThreadWindows(GetCurrentThreadId(), findFormWindow, reinterpret_cast<LPARAM>(&found));
  return found;
}

}  // namespace

Win32Backend::Win32Backend(const Resources& resources, bool printMessageBoxes, bool hideWindows)
    : printMessageBoxes_(printMessageBoxes),
      hideWindows_(hideWindows),
      resources_(resources),
      loaded_(resources.fontFiles) {
  handCursor_ = loadPointer(resources_.handPointer);
  ownHandCursor_ = handCursor_ != nullptr;
  if (!handCursor_) handCursor_ = LoadCursorW(nullptr, IDC_HAND);
  INITCOMMONCONTROLSEX controls{sizeof controls, ICC_TAB_CLASSES | ICC_PROGRESS_CLASS |
                                                     ICC_BAR_CLASSES | ICC_STANDARD_CLASSES};
  InitCommonControlsEx(&controls);
  registerClasses();
  messages_ = CreateWindowExW(0, kMessageClass, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                              GetModuleHandleW(nullptr), nullptr);
  SetWindowLongPtrW(messages_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
  SetWindowLongPtrW(messages_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&messageProc));
}

Win32Backend::~Win32Backend() {
  // Windows destroyed later still hold drawing objects: let them go first.
  runTasks();
  DestroyWindow(messages_);
  if (ownHandCursor_) DestroyCursor(handCursor_);
}

std::unique_ptr<NativeWindow> Win32Backend::createWindow(const WindowLayout& layout, Form& form) {
  return std::make_unique<Win32Window>(*this, layout, form);
}

void Win32Backend::post(std::function<void()> task) {
  {
    std::lock_guard lock(mutex_);
    tasks_.push_back(std::move(task));
  }
  PostMessageW(messages_, kRunTasks, 0, 0);
}

void Win32Backend::runTasks() {
  std::deque<std::function<void()>> tasks;
  {
    std::lock_guard lock(mutex_);
    tasks.swap(tasks_);
  }
  for (auto& task : tasks) task();
}

LRESULT CALLBACK Win32Backend::messageProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == kRunTasks) {
    if (auto* self = reinterpret_cast<Win32Backend*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA))) {
      self->runTasks();
    }
    return 0;
  }
  return DefWindowProcW(hwnd, message, wParam, lParam);
}

void Win32Backend::destroyLater(HWND window, std::shared_ptr<FontCache> fonts, HICON small,
                                HICON big) {
  post([window, fonts = std::move(fonts), small, big] {
    DestroyWindow(window);
    if (small) DestroyIcon(small);
    if (big) DestroyIcon(big);
  });
}

void Win32Backend::messageBox(const std::string& title, const std::string& text) {
  if (printMessageBoxes_) {
    const std::string out = basics::printableMessageBox(title, text);
    std::fputs(out.c_str(), stderr);
    std::fflush(stderr);
    return;
  }
  // Owned by the program's window even when another program is in front, so
  // it stays with the window and the window waits for it. A minimised window
  // is left where it is: the box does not pull the program to the front.
  HWND owner = programWindow();
  UINT style = MB_OK | MB_ICONSTOP;
  if (!owner || !IsIconic(owner)) style |= MB_SETFOREGROUND;
  MessageBoxW(owner, widen(text).c_str(), widen(title).c_str(), style);
}

bool Win32Backend::handleKey(const MSG& msg) {
  if (msg.message != WM_KEYDOWN) return false;
  HWND root = GetAncestor(msg.hwnd, GA_ROOT);
  wchar_t name[32] = {};
  GetClassNameW(root, name, 32);
  if (lstrcmpW(name, kFormClass) != 0) return false;
  auto* container = reinterpret_cast<Container*>(GetWindowLongPtrW(root, GWLP_USERDATA));
  if (!container || !container->window) return false;
  return container->window->keyDown(msg.hwnd, msg.wParam, msg.lParam);
}

void Win32Backend::dispatch(MSG& msg) {
  if (handleKey(msg)) return;
  TranslateMessage(&msg);
  DispatchMessageW(&msg);
}

bool Win32Backend::pumpOnce(DWORD waitMs) {
  if (quit_) return false;
  MsgWaitForMultipleObjectsEx(0, nullptr, waitMs, QS_ALLINPUT, MWMO_INPUTAVAILABLE);
  MSG msg;
  while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
    if (msg.message == WM_QUIT) {
      quit_ = true;
      exitCode_ = static_cast<int>(msg.wParam);
      return false;
    }
    dispatch(msg);
  }
  return true;
}

int Win32Backend::exec() {
  quit_ = false;
  MSG msg;
  while (GetMessageW(&msg, nullptr, 0, 0) > 0) dispatch(msg);
  return static_cast<int>(msg.wParam);
}

void Win32Backend::quit(int exitCode) {
  PostQuitMessage(exitCode);
}

}  // namespace toolkit::win32
