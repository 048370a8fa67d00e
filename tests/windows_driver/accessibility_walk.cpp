// windows.h (through the header) before the headers that build on it.
#include "tests/windows_driver/accessibility_walk.h"

#include <commctrl.h>
#include <oleacc.h>

#include <chrono>
#include <cstdio>
#include <optional>

#include "tests/support/contrast.h"
#include "tests/support/win32/accessible_reading.h"
#include "tests/windows_driver/ui_access.h"

namespace windows_driver {
namespace {

using std::chrono::milliseconds;
using std::chrono::seconds;

std::vector<std::string>* heard = nullptr;

using tests_support::accessible_reading::childId;
using tests_support::accessible_reading::numberOf;
using tests_support::accessible_reading::roleName;
using tests_support::accessible_reading::textOf;

void CALLBACK onAnnouncement(HWINEVENTHOOK, DWORD, HWND hwnd, LONG object, LONG child, DWORD,
                             DWORD) {
  std::string said;
  if (heard && tests_support::accessible_reading::announcementOf(hwnd, object, child, said)) {
    heard->push_back(said);
  }
}

// Lets our own messages (the announcements' events among them) in for a while.
void pumpFor(milliseconds time) {
  const auto end = Clock::now() + time;
  do {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
    Sleep(10);
  } while (Clock::now() < end);
}

// What a screen reader says of an object: its role, its name (with the value
// a status stands for), its description, whether it is pressed, an edit's text.
std::optional<std::string> describe(IAccessible* a, const VARIANT& child, bool withDetails) {
  // The page tab list is read through its tabs, as a screen reader reads it.
  const LONG number = numberOf(a, child, &IAccessible::get_accRole);
  const char* role = number == ROLE_SYSTEM_PAGETABLIST ? nullptr : roleName(number);
  if (!role) return std::nullopt;
  const std::string name = textOf(a, child, &IAccessible::get_accName);
  const std::string value = textOf(a, child, &IAccessible::get_accValue);
  const std::string kind = role;
  std::string line = kind + " \"" + name;
  if (kind == "status" && !value.empty()) line += " " + value;
  line += "\"";
  if (!withDetails) return line;
  const std::string description = textOf(a, child, &IAccessible::get_accDescription);
  if (!description.empty()) line += " description \"" + description + "\"";
  if (numberOf(a, child, &IAccessible::get_accState) & STATE_SYSTEM_PRESSED) line += " pressed";
  if (kind == "edit") line += " text \"" + value + "\"";
  return line;
}

IAccessible* clientOf(HWND window) {
  IAccessible* a = nullptr;
  if (FAILED(AccessibleObjectFromWindow(window, static_cast<DWORD>(OBJID_CLIENT),
                                        __uuidof(IAccessible), reinterpret_cast<void**>(&a)))) {
    return nullptr;
  }
  return a;
}

bool visible(IAccessible* a, const VARIANT& child) {
  return !(numberOf(a, child, &IAccessible::get_accState) &
           (STATE_SYSTEM_INVISIBLE | STATE_SYSTEM_OFFSCREEN));
}

// Every window of the main window as a tool finds it, with the simple
// children (parts it draws itself, a tab control's tabs) of each.
BOOL CALLBACK collect(HWND window, LPARAM into) {
  reinterpret_cast<std::vector<HWND>*>(into)->push_back(window);
  return TRUE;
}

std::vector<std::string> shownIn(HWND main) {
  std::vector<HWND> windows;
  EnumChildWindows(main, collect, reinterpret_cast<LPARAM>(&windows));
  std::vector<std::string> out;
  for (HWND window : windows) {
    if (!IsWindowVisible(window)) continue;
    IAccessible* a = clientOf(window);
    if (!a) continue;
    const VARIANT self = childId(CHILDID_SELF);
    if (visible(a, self)) {
      if (const auto line = describe(a, self, true)) out.push_back(*line);
    }
    LONG count = 0;
    a->get_accChildCount(&count);
    std::vector<VARIANT> children(static_cast<std::size_t>(std::max<LONG>(count, 0)));
    LONG got = 0;
    if (count > 0 && SUCCEEDED(AccessibleChildren(a, 0, count, children.data(), &got))) {
      for (LONG i = 0; i < got; ++i) {
        VARIANT& child = children[static_cast<std::size_t>(i)];
        if (child.vt == VT_I4 && visible(a, child)) {
          if (const auto line = describe(a, child, true)) out.push_back(*line);
        }
        VariantClear(&child);
      }
    }
    a->Release();
  }
  return out;
}

// The control the keyboard is on, as a screen reader names it; on a row of
// tabs, the tab shown.
std::string focused(const WalkedProgram& program, const char* const* pages) {
  GUITHREADINFO info{};
  info.cbSize = sizeof info;
  if (!GetGUIThreadInfo(GetWindowThreadProcessId(program.main, nullptr), &info) ||
      !info.hwndFocus) {
    return "(nothing)";
  }
  if (info.hwndFocus == program.control(program.main, "SSTTab0")) {
    DWORD_PTR page = 0;
    SendMessageTimeoutW(info.hwndFocus, TCM_GETCURSEL, 0, 0, SMTO_ABORTIFHUNG, 5000, &page);
    return std::string("page tab \"") + (page < 3 ? pages[page] : "?") + "\"";
  }
  IAccessible* a = clientOf(info.hwndFocus);
  if (!a) return "(no object)";
  VARIANT focus;
  VariantInit(&focus);
  std::string out = "(unnamed)";
  VARIANT target = childId(CHILDID_SELF);
  if (SUCCEEDED(a->get_accFocus(&focus)) && focus.vt == VT_I4) target = focus;
  if (const auto line = describe(a, target, false)) out = *line;
  VariantClear(&focus);
  a->Release();
  return out;
}

// Keys as the keyboard gives them to the window in front.
void press(HWND window, const std::vector<WORD>& keys) {
  SetForegroundWindow(window);
  pumpFor(milliseconds(100));
  std::vector<INPUT> inputs;
  for (WORD key : keys) {
    INPUT in{};
    in.type = INPUT_KEYBOARD;
    in.ki.wVk = key;
    inputs.push_back(in);
  }
  for (auto it = keys.end(); it != keys.begin();) {
    INPUT in{};
    in.type = INPUT_KEYBOARD;
    in.ki.wVk = *--it;
    in.ki.dwFlags = KEYEVENTF_KEYUP;
    inputs.push_back(in);
  }
  SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT));
  pumpFor(milliseconds(400));
}

bool tabTo(const WalkedProgram& program, const char* const* pages, const std::string& line) {
  for (int i = 0; i < 20 && focused(program, pages) != line; ++i) press(program.main, {VK_TAB});
  return focused(program, pages) == line;
}

std::string statusOf(const WalkedProgram& program) {
  IAccessible* a = clientOf(program.control(program.main, "chkstatus"));
  if (!a) return "";
  const VARIANT self = childId(CHILDID_SELF);
  const std::string value = textOf(a, self, &IAccessible::get_accValue);
  const std::string out = textOf(a, self, &IAccessible::get_accName) + " " + value;
  a->Release();
  return out;
}

// The client area of a control as the screen shows it.
std::vector<std::uint32_t> pixelsOf(HWND control, int* width) {
  RECT box{};
  GetClientRect(control, &box);
  MapWindowPoints(control, nullptr, reinterpret_cast<POINT*>(&box), 2);
  *width = box.right - box.left;
  const int height = box.bottom - box.top;
  std::vector<std::uint32_t> out;
  HDC screen = GetDC(nullptr);
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < *width; ++x) out.push_back(GetPixel(screen, box.left + x, box.top + y));
  }
  ReleaseDC(nullptr, screen);
  return out;
}

}  // namespace

AnnouncementListener::AnnouncementListener(DWORD pid) {
  // The objects of another process, the walk's too, reach this thread through COM.
  CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
  static std::vector<std::string> log;
  heard = &log;
  hook_ = SetWinEventHook(EVENT_OBJECT_LIVEREGIONCHANGED, EVENT_OBJECT_LIVEREGIONCHANGED, nullptr,
                          onAnnouncement, pid, 0, WINEVENT_OUTOFCONTEXT);
}

AnnouncementListener::~AnnouncementListener() {
  if (hook_) UnhookWinEvent(hook_);
  heard = nullptr;
  CoUninitialize();
}

std::vector<std::string> AnnouncementListener::take() {
  pumpFor(milliseconds(300));
  std::vector<std::string> out;
  if (heard) out.swap(*heard);
  return out;
}

void walkAsAScreenReaderUser(WalkedProgram program, AnnouncementListener& announcements,
                             const std::function<void(const std::string&)>& write) {
  static const char* const pages[] = {"WAN LAN", "Legend", "About / Help"};
  for (const std::string& line : shownIn(program.main)) write("shown " + line);
  write("status " + statusOf(program));
  for (const std::string& said : announcements.take()) write("announced \"" + said + "\"");
  write("focus " + focused(program, pages));

  // The keyboard: once round the first page.
  const std::string start = focused(program, pages);
  for (int i = 0; i < 15; ++i) {
    press(program.main, {VK_TAB});
    const std::string now = focused(program, pages);
    write("tab " + now);
    if (now == start) break;
  }

  // Both report windows, opened from the keyboard and closed with Esc.
  const std::pair<const char*, WORD> reports[] = {{"1", VK_RETURN}, {"2", VK_SPACE}};
  const char* captions[] = {"Adapter Info", "Additional Adapter Info"};
  for (int i = 0; i < 2; ++i) {
    tabTo(program, pages, std::string("push button \"") + reports[i].first + "\"");
    press(program.main, {reports[i].second});
    HWND report = program.findWindow(captions[i]);
    if (!report) {
      write(std::string("no window \"") + captions[i] + "\"");
      continue;
    }
    write(std::string("opened window \"") + captions[i] + "\"");
    press(report, {VK_ESCAPE});
    const bool closed = waitUntil(seconds(10), [&] { return !IsWindowVisible(report); });
    write(std::string(closed ? "closed window \"" : "still open \"") + captions[i] + "\"");
  }

  // Reload from the keyboard: said again, and the focus comes back.
  tabTo(program, pages, "push button \"Reload\"");
  announcements.take();
  press(program.main, {VK_SPACE});
  program.main = program.waitForNewResult();
  write("reloaded " + statusOf(program));
  for (const std::string& said : announcements.take()) write("announced again \"" + said + "\"");
  write("focus after reload " + focused(program, pages));

  // The pages, turned from the keyboard; named as xdotool names the keys.
  const std::pair<const char*, std::vector<WORD>> turns[] = {
      {"ctrl+Tab", {VK_CONTROL, VK_TAB}},
      {"ctrl+Next", {VK_CONTROL, VK_NEXT}},
      {"ctrl+shift+Tab", {VK_CONTROL, VK_SHIFT, VK_TAB}},
      {"ctrl+Prior", {VK_CONTROL, VK_PRIOR}}};
  for (const auto& [name, keys] : turns) {
    press(program.main, keys);
    write(std::string(name) + " " + focused(program, pages));
  }

  // The texts as drawn, and how they stand out from their faces.
  SetForegroundWindow(program.main);
  RedrawWindow(program.main, nullptr, nullptr, RDW_INVALIDATE | RDW_ALLCHILDREN | RDW_UPDATENOW);
  pumpFor(milliseconds(400));
  for (const char* name : {"WAN", "LAN", "txtLocal", "chkstatus", "chkReload", "chkAdp", "chkgreen",
                           "chkyellow", "chkred"}) {
    int width = 0;
    const auto pixels = pixelsOf(program.control(program.main, name), &width);
    const bool bevelled = std::string(name).starts_with("chk");
    const auto contrast = tests_support::measureTextContrast(pixels, width, bevelled ? 3 : 2);
    char line[96];
    if (contrast) {
      std::snprintf(line, sizeof line, "contrast %s %.2f", name, contrast->ratio);
    } else {
      std::snprintf(line, sizeof line, "contrast %s no text", name);
    }
    write(line);
  }
}

}  // namespace windows_driver
