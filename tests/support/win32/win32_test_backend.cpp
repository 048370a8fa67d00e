#include <windows.h>

#include <commctrl.h>
#include <oleacc.h>

#include <chrono>
#include <stdexcept>
#include <utility>
#include <vector>

#include "tests/support/test_backend.h"
#include "tests/support/win32/win32_screen.h"
#include "toolkit/win32/win32_backend.h"
#include "toolkit/win32/win32_text.h"
#include "toolkit/win32/win32_window.h"

namespace tests_support {
namespace {

// The backend the running test made; the event loop belongs to it.
toolkit::win32::Win32Backend* current = nullptr;

class TestWin32Backend : public toolkit::win32::Win32Backend {
 public:
  explicit TestWin32Backend(const toolkit::Resources& resources) : Win32Backend(resources, true) {
    current = this;
    hook_ = SetWinEventHook(EVENT_OBJECT_LIVEREGIONCHANGED, EVENT_OBJECT_LIVEREGIONCHANGED, nullptr,
                            recordAnnouncement, GetCurrentProcessId(), 0, WINEVENT_OUTOFCONTEXT);
  }
  ~TestWin32Backend() override {
    if (hook_) UnhookWinEvent(hook_);
    if (current == this) current = nullptr;
  }

 private:
  HWINEVENTHOOK hook_ = nullptr;
};

}  // namespace

std::unique_ptr<toolkit::Backend> makeTestBackend(const toolkit::Resources& resources) {
  return std::make_unique<TestWin32Backend>(resources);
}

void pump(int ms, const std::function<bool()>& done) {
  const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
  while (std::chrono::steady_clock::now() < end) {
    if (current) {
      current->pumpOnce(5);
    } else {
      Sleep(5);
    }
    if (done && done()) return;
  }
}

void flushClosedWindows() {
  if (current) current->pumpOnce(0);
}

void processEvents() {
  if (current) current->pumpOnce(0);
}

bool programPlacesWindows() {
  return true;
}

void setSystemColours(SystemColours colours) {
  // The colours of the dark high-contrast scheme, set as the user's scheme
  // would be: every top-level window hears WM_SYSCOLORCHANGE. The standard
  // ones are the colours the session had before the first change.
  static const int indices[] = {COLOR_WINDOW,    COLOR_WINDOWTEXT, COLOR_MENUTEXT,
                                COLOR_BTNFACE,   COLOR_BTNTEXT,    COLOR_GRAYTEXT,
                                COLOR_3DHILIGHT, COLOR_HIGHLIGHT,  COLOR_HIGHLIGHTTEXT};
  static const COLORREF dark[] = {RGB(0, 0, 0),       RGB(255, 255, 255), RGB(255, 255, 255),
                                  RGB(0, 0, 0),       RGB(255, 255, 255), RGB(63, 242, 63),
                                  RGB(255, 255, 255), RGB(26, 235, 255),  RGB(0, 0, 0)};
  static std::vector<COLORREF> standard;
  if (standard.empty()) {
    for (int index : indices) standard.push_back(GetSysColor(index));
  }
  const COLORREF* values = colours == SystemColours::Dark ? dark : standard.data();
  SetSysColors(static_cast<int>(std::size(indices)), indices, values);
  pump(50);
}

namespace {

void sendClick(HWND target, POINT at) {
  const LPARAM where = MAKELPARAM(at.x, at.y);
  SendMessageW(target, WM_LBUTTONDOWN, MK_LBUTTON, where);
  SendMessageW(target, WM_LBUTTONUP, 0, where);
  pump(20);
}

}  // namespace

Screen::Screen(toolkit::Form& form) : impl_(std::make_unique<Impl>()) {
  impl_->window = dynamic_cast<Win32Window*>(form.nativeWindow());
  if (!impl_->window) throw std::runtime_error("the form is not loaded");
  impl_->firstAnnouncement = announced().size();
}

Screen::~Screen() = default;

int Screen::clientWidth() const {
  RECT r;
  GetClientRect(impl_->top(), &r);
  return r.right;
}

int Screen::clientHeight() const {
  RECT r;
  GetClientRect(impl_->top(), &r);
  return r.bottom;
}

int Screen::dpi() const {
  return impl_->window->dpi();
}

bool Screen::changeDpi(int dpi) {
  // As the system asks: first the size the window wants at the new dpi, then
  // the change with a rectangle of that size where the window is.
  HWND top = impl_->top();
  SIZE size{};
  SendMessageW(top, WM_GETDPISCALEDSIZE, MAKEWPARAM(dpi, dpi), reinterpret_cast<LPARAM>(&size));
  RECT frame;
  GetWindowRect(top, &frame);
  RECT suggested{frame.left, frame.top, frame.left + size.cx, frame.top + size.cy};
  SendMessageW(top, WM_DPICHANGED, MAKEWPARAM(dpi, dpi), reinterpret_cast<LPARAM>(&suggested));
  pump(20);
  return true;
}

bool Screen::showsIcon() const {
  // A window of no icon of its own shows the class's, or else the system's
  // application icon, unless it has a dialog frame.
  HWND top = impl_->top();
  if (SendMessageW(top, WM_GETICON, ICON_SMALL, 0) || SendMessageW(top, WM_GETICON, ICON_BIG, 0) ||
      GetClassLongPtrW(top, GCLP_HICON) || GetClassLongPtrW(top, GCLP_HICONSM)) {
    return true;
  }
  return !(GetWindowLongW(top, GWL_EXSTYLE) & WS_EX_DLGMODALFRAME);
}

std::optional<std::pair<int, int>> Screen::iconWidths() const {
  const auto width = [](LRESULT icon) {
    ICONINFO info{};
    if (!icon || !GetIconInfo(reinterpret_cast<HICON>(icon), &info)) return 0;
    BITMAP bitmap{};
    GetObjectW(info.hbmColor ? info.hbmColor : info.hbmMask, sizeof bitmap, &bitmap);
    if (info.hbmColor) DeleteObject(info.hbmColor);
    if (info.hbmMask) DeleteObject(info.hbmMask);
    return static_cast<int>(bitmap.bmWidth);
  };
  HWND top = impl_->top();
  return std::make_pair(width(SendMessageW(top, WM_GETICON, ICON_SMALL, 0)),
                        width(SendMessageW(top, WM_GETICON, ICON_BIG, 0)));
}

bool Screen::focusForReading(std::string_view name) {
  ControlHooks* c = impl_->control(name, -1);
  if (!c || !c->hwnd()) return false;
  SetFocus(c->hwnd());
  const LRESULT end = GetWindowTextLengthW(c->hwnd());
  SendMessageW(c->hwnd(), EM_SETSEL, static_cast<WPARAM>(end), end);
  pump(20);
  HideCaret(c->hwnd());
  return GetFocus() == c->hwnd();
}

std::vector<std::uint32_t> Screen::pixels(std::string_view name, int* width) const {
  ControlHooks* c = impl_->control(name, -1);
  if (!c || !c->hwnd()) return {};
  RedrawWindow(c->hwnd(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
  RECT box;
  GetClientRect(c->hwnd(), &box);
  if (width) *width = box.right;
  HDC dc = GetDC(c->hwnd());
  std::vector<std::uint32_t> out;
  for (int y = 0; y < box.bottom; ++y) {
    for (int x = 0; x < box.right; ++x) out.push_back(GetPixel(dc, x, y));
  }
  ReleaseDC(c->hwnd(), dc);
  return out;
}

std::optional<ScreenRect> Screen::rectOf(std::string_view name, int index) const {
  ControlHooks* c = impl_->control(name, index);
  if (!c) return std::nullopt;
  const auto r = impl_->rect(c);
  if (!r) return std::nullopt;
  return ScreenRect{r->left, r->top, r->right - r->left, r->bottom - r->top};
}

bool Screen::shown(std::string_view name, int index) const {
  ControlHooks* c = impl_->control(name, index);
  if (!c || (!c->hwnd() && !c->windowless())) return false;
  if (!c->hwnd() && !c->shown()) return false;
  if (c->hwnd() && !IsChild(impl_->top(), c->hwnd())) return false;
  // Visible up to the form's window, whether or not the form itself is shown.
  for (HWND w = impl_->surface(c); w && w != impl_->top(); w = GetParent(w)) {
    if (!(GetWindowLongW(w, GWL_STYLE) & WS_VISIBLE)) return false;
  }
  return true;
}

bool Screen::stackedAbove(std::string_view front, int frontIndex, std::string_view back,
                          int backIndex) const {
  ControlHooks* f = impl_->control(front, frontIndex);
  ControlHooks* b = impl_->control(back, backIndex);
  if (!f || !b || f->home() != b->home()) return false;
  if (f->hwnd() && b->hwnd()) {
    for (HWND w = GetWindow(f->hwnd(), GW_HWNDNEXT); w; w = GetWindow(w, GW_HWNDNEXT)) {
      if (w == b->hwnd()) return true;
    }
    return false;
  }
  // Windowless controls are painted by their container under its child windows,
  // back to front in member order.
  if (f->hwnd()) return true;
  if (b->hwnd()) return false;
  const auto& members = f->home()->members;
  return std::find(members.begin(), members.end(), f) <
         std::find(members.begin(), members.end(), b);
}

std::string Screen::focusAfterTab(std::string_view name, int index) {
  ControlHooks* c = impl_->control(name, index);
  if (!c || (!c->hwnd() && !c->windowless())) return {};
  impl_->window->focusOn(*c);
  HWND target = GetFocus();
  PostMessageW(target, WM_KEYDOWN, VK_TAB, 1);
  PostMessageW(target, WM_KEYUP, VK_TAB, static_cast<LPARAM>(0xC0000001u));
  pump(50);
  return focusedControl();
}

void Screen::clickTab(std::string_view tabControl, int page) {
  ControlHooks* c = impl_->control(tabControl, -1);
  if (!c || !c->hwnd()) return;
  RECT item;
  if (!SendMessageW(c->hwnd(), TCM_GETITEMRECT, static_cast<WPARAM>(page),
                    reinterpret_cast<LPARAM>(&item))) {
    return;
  }
  sendClick(c->hwnd(), POINT{(item.left + item.right) / 2, (item.top + item.bottom) / 2});
}

void Screen::click(std::string_view name, int index) {
  const auto box = rectOf(name, index);
  if (!box) return;
  // The mouse goes to the deepest shown, enabled window at the point: a
  // disabled control lets the click fall to its container.
  POINT at{box->left + box->width / 2, box->top + box->height / 2};
  HWND target = impl_->top();
  for (;;) {
    HWND child = ChildWindowFromPointEx(target, at, CWP_SKIPINVISIBLE | CWP_SKIPDISABLED);
    if (!child || child == target) break;
    MapWindowPoints(target, child, &at, 1);
    target = child;
  }
  sendClick(target, at);
}

bool Screen::scrolls(std::string_view name, bool vertical) const {
  ControlHooks* c = impl_->control(name, -1);
  if (!c || !c->hwnd()) return false;
  if (!(GetWindowLongW(c->hwnd(), GWL_STYLE) & (vertical ? WS_VSCROLL : WS_HSCROLL))) return false;
  SCROLLINFO info{};
  info.cbSize = sizeof info;
  info.fMask = SIF_RANGE | SIF_PAGE;
  if (!GetScrollInfo(c->hwnd(), vertical ? SB_VERT : SB_HORZ, &info)) return false;
  return info.nMax - info.nMin + 1 > static_cast<int>(info.nPage);
}

std::uint32_t Screen::colourAt(std::string_view name, double x, double y) const {
  ControlHooks* c = impl_->control(name, -1);
  if (!c) return 0xFFFFFFFF;
  HWND surface = impl_->surface(c);
  RECT box;
  if (c->hwnd()) {
    GetClientRect(surface, &box);
  } else {
    box = c->pixelRect();
  }
  RedrawWindow(surface, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
  HDC dc = GetDC(surface);
  const COLORREF colour = GetPixel(dc, box.left + static_cast<int>(x * (box.right - box.left - 1)),
                                   box.top + static_cast<int>(y * (box.bottom - box.top - 1)));
  ReleaseDC(surface, dc);
  return colour;
}

namespace {

std::wstring controlText(HWND edit) {
  const auto length = static_cast<std::size_t>(GetWindowTextLengthW(edit));
  std::wstring text(length + 1, L'\0');
  text.resize(static_cast<std::size_t>(GetWindowTextW(edit, text.data(), length + 1)));
  return text;
}

// The control's first `units` UTF-16 units as the user reads them: "\r\n" is one break.
std::string shownPrefix(const std::wstring& text, std::size_t units) {
  std::string shown = toolkit::win32::narrow(std::wstring_view(text).substr(0, units));
  std::string out;
  for (std::size_t i = 0; i < shown.size(); ++i) {
    if (shown[i] != '\r' || i + 1 >= shown.size() || shown[i + 1] != '\n') out += shown[i];
  }
  return out;
}

// The control's position `bytes` bytes into its shown text.
std::size_t unitsOf(const std::wstring& text, std::size_t bytes) {
  std::size_t units = 0;
  while (units < text.size() && shownPrefix(text, units).size() < bytes) ++units;
  return units;
}

}  // namespace

std::string Screen::shownText(std::string_view name) const {
  ControlHooks* c = impl_->control(name, -1);
  if (!c || !c->hwnd()) return {};
  const std::wstring text = controlText(c->hwnd());
  return shownPrefix(text, text.size());
}

std::size_t Screen::shownCaret(std::string_view name) const {
  ControlHooks* c = impl_->control(name, -1);
  if (!c || !c->hwnd()) return 0;
  DWORD start = 0, end = 0;
  SendMessageW(c->hwnd(), EM_GETSEL, reinterpret_cast<WPARAM>(&start),
               reinterpret_cast<LPARAM>(&end));
  return shownPrefix(controlText(c->hwnd()), end).size();
}

void Screen::select(std::string_view name, std::size_t from, std::size_t to) {
  ControlHooks* c = impl_->control(name, -1);
  if (!c || !c->hwnd()) return;
  const std::wstring text = controlText(c->hwnd());
  SendMessageW(c->hwnd(), EM_SETSEL, unitsOf(text, from), static_cast<LPARAM>(unitsOf(text, to)));
}

}  // namespace tests_support
