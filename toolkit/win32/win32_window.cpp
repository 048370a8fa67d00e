// Win32 form window: makes each control, in the toolkit's creation order
// (creation_order.h); the toolkit's ControlList owns the controls and finds
// them by name and index.

#include "toolkit/win32/win32_window.h"

#include <commctrl.h>

#include <algorithm>
#include <utility>

#include "basics/error_source.h"
#include "toolkit/creation_order.h"
#include "toolkit/form.h"
#include "toolkit/in_view.h"
#include "toolkit/win32/win32_backend.h"
#include "toolkit/win32/win32_buttons.h"
#include "toolkit/win32/win32_pictures.h"
#include "toolkit/win32/win32_progress_bar.h"
#include "toolkit/win32/win32_tab_control.h"
#include "toolkit/win32/win32_text.h"
#include "toolkit/win32/win32_text_box.h"

namespace toolkit::win32 {

Form* formOf(Win32Window* window) {
  return window ? window->form() : nullptr;
}
void controlShown(Win32Window* window, ControlHooks& control) {
  if (window) window->controlShown(control);
}
int dpiOf(Win32Window* window) {
  return window ? window->dpi() : 96;
}
FontCache& fontsOf(Win32Window* window) {
  return window->fonts();
}

HWND createChild(const ControlContext& context, const wchar_t* windowClass, DWORD style,
                 DWORD exStyle, const std::wstring& text) {
  return CreateWindowExW(exStyle, windowClass, text.c_str(), WS_CHILD | WS_CLIPSIBLINGS | style, 0,
                         0, 0, 0, context.container->hwnd,
                         reinterpret_cast<HMENU>(static_cast<INT_PTR>(context.id)),
                         GetModuleHandleW(nullptr), nullptr);
}

namespace {

TTTOOLINFOW toolFor(ControlHooks& control) {
  TTTOOLINFOW tool{};
  tool.cbSize = TTTOOLINFOW_V2_SIZE;
  tool.hwnd = control.home()->hwnd;
  if (control.hwnd()) {
    tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
    tool.uId = reinterpret_cast<UINT_PTR>(control.hwnd());
  } else {
    tool.uFlags = TTF_SUBCLASS;
    tool.uId = reinterpret_cast<UINT_PTR>(&control);
    if (control.shown()) tool.rect = control.pixelRect();
  }
  return tool;
}

// Adds the control's tool (TTM_ADDTOOLW) or gives it a new text (TTM_UPDATETIPTEXTW).
void sendToolText(Win32Window* window, ControlHooks& control, const std::string& text,
                  UINT message) {
  if (!window->toolTips()) return;
  std::wstring wide = widen(text);
  TTTOOLINFOW tool = toolFor(control);
  tool.lpszText = wide.data();
  SendMessageW(window->toolTips(), message, 0, reinterpret_cast<LPARAM>(&tool));
}

}  // namespace

void addToolTip(Win32Window* window, ControlHooks& control, const std::string& text) {
  sendToolText(window, control, text, TTM_ADDTOOLW);
}

void setToolTipText(Win32Window* window, ControlHooks& control, const std::string& text) {
  sendToolText(window, control, text, TTM_UPDATETIPTEXTW);
}

void removeToolTip(Win32Window* window, ControlHooks& control) {
  if (!window->toolTips()) return;
  TTTOOLINFOW tool = toolFor(control);
  SendMessageW(window->toolTips(), TTM_DELTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
}

void updateToolTip(Win32Window* window, ControlHooks& control) {
  if (!window->toolTips() || control.hwnd()) return;
  TTTOOLINFOW tool = toolFor(control);
  SendMessageW(window->toolTips(), TTM_NEWTOOLRECTW, 0, reinterpret_cast<LPARAM>(&tool));
}

namespace {

constexpr DWORD kFormExStyle = WS_EX_CONTROLPARENT;

// A window without an icon of its own shows none: the system draws the
// caption of a dialog frame without one.
DWORD formExStyle(const WindowLayout& layout) {
  return kFormExStyle | (layout.icon.empty() ? WS_EX_DLGMODALFRAME : 0);
}

DWORD formStyle(const WindowLayout& layout) {
  // A fixed single border: a title bar with its close box, no sizing frame.
  DWORD style = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN;
  if (layout.minButton) style |= WS_MINIMIZEBOX;
  if (layout.maxButton) style |= WS_MAXIMIZEBOX;
  return style;
}

}  // namespace

Win32Window::Win32Window(Win32Backend& backend, const WindowLayout& layout, Form& form)
    : backend_(backend),
      form_(&form),
      dpi_(systemDpi()),
      font_(layout.font),
      client_{layout.clientWidth, layout.clientHeight},
      style_(formStyle(layout)),
      exStyle_(formExStyle(layout)),
      startPosition_(layout.startPosition),
      closesOnEscape_(layout.closesOnEscape) {
  root_.window = this;
  root_.fill = layout.backColour.value_or(system_colour::kButtonFace);
  const std::wstring title = widen(layout.caption);
  root_.hwnd =
      CreateWindowExW(exStyle_, kFormClass, title.c_str(), style_, CW_USEDEFAULT, CW_USEDEFAULT, 0,
                      0, nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
  if (!root_.hwnd)
    throw basics::Error(7, basics::kErrorSource, "Out of memory: the window could not be created");
  // Aware of each monitor's scale, the window is drawn at the dpi of the
  // monitor it was made on, which need not be the system's.
  dpi_ = windowDpi(root_.hwnd);
  fonts_ = std::make_shared<FontCache>(dpi_, backend.resources().fontStandIns);
  const SIZE frame = frameAt(dpi_);
  SetWindowPos(root_.hwnd, nullptr, 0, 0, frame.cx, frame.cy,
               SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  SetWindowLongPtrW(root_.hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(&root_));
  exposeWindow(root_.hwnd, &root_, false);
  if (!layout.icon.empty()) setIcons();
  SendMessageW(root_.hwnd, WM_SETFONT, reinterpret_cast<WPARAM>(fonts_->get(font_).handle), FALSE);
  toolTips_ = CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr,
                              WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX, CW_USEDEFAULT, CW_USEDEFAULT,
                              CW_USEDEFAULT, CW_USEDEFAULT, root_.hwnd, nullptr,
                              GetModuleHandleW(nullptr), nullptr);
  createControls(layout);
  orderControls();
  ready_ = true;
}

void Win32Window::setIcons() {
  // The title bar's icon and the task switcher's, at the sizes the system
  // draws them at the window's dpi; the ones they replace go.
  const HICON made[2] = {programIcon(systemMetricAt(SM_CXSMICON, dpi_)),
                         programIcon(systemMetricAt(SM_CXICON, dpi_))};
  SendMessageW(root_.hwnd, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(made[0]));
  SendMessageW(root_.hwnd, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(made[1]));
  for (int i : {0, 1}) {
    if (icons_[i]) DestroyIcon(icons_[i]);
    icons_[i] = made[i];
  }
}

SIZE Win32Window::frameAt(int dpi) const {
  return frameSize(SIZE{toPixels(client_.cx, dpi), toPixels(client_.cy, dpi)}, style_, exStyle_,
                   dpi);
}

void Win32Window::changeDpi(int dpi, const POINT* corner) {
  if (dpi <= 0) return;
  dpi_ = dpi;
  // The controls drop the old fonts as they take the new ones; the old cache
  // goes once they all have.
  const auto old =
      std::exchange(fonts_, std::make_shared<FontCache>(dpi_, backend_.resources().fontStandIns));
  SendMessageW(root_.hwnd, WM_SETFONT, reinterpret_cast<WPARAM>(fonts_->get(font_).handle), FALSE);
  for (const auto& e : controls_) e.native->dpiChanged();
  if (icons_[0] || icons_[1]) setIcons();
  const SIZE frame = frameAt(dpi_);
  UINT flags = SWP_NOZORDER | SWP_NOACTIVATE;
  if (!corner) flags |= SWP_NOMOVE;
  SetWindowPos(root_.hwnd, nullptr, corner ? corner->x : 0, corner ? corner->y : 0, frame.cx,
               frame.cy, flags);
  // Where the frame does not take the new dpi (a system that does not scale
  // it, or a message sent by someone else), the client area still must.
  RECT client;
  GetClientRect(root_.hwnd, &client);
  const int wrongBy[2] = {toPixels(client_.cx, dpi_) - client.right,
                          toPixels(client_.cy, dpi_) - client.bottom};
  if (wrongBy[0] != 0 || wrongBy[1] != 0) {
    SetWindowPos(root_.hwnd, nullptr, 0, 0, frame.cx + wrongBy[0], frame.cy + wrongBy[1],
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  }
  RedrawWindow(root_.hwnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
}

Win32Window::~Win32Window() {
  ready_ = false;
  // We may be inside one of this window's own handlers (a close box, a button
  // that unloads its form): cut the windows off from the objects now and
  // destroy them once the current message is done.
  for (auto& [name, container] : containers_) {
    SetWindowLongPtrW(container->hwnd, GWLP_USERDATA, 0);
    exposeWindow(container->hwnd, nullptr, false);
  }
  SetWindowLongPtrW(root_.hwnd, GWLP_USERDATA, 0);
  exposeWindow(root_.hwnd, nullptr, false);
  if (unseen_) SetWindowLongPtrW(unseen_->hwnd, GWLP_USERDATA, 0);
  pendingFocus_ = nullptr;
  controls_.clear();  // timers stop here
  ShowWindow(root_.hwnd, SW_HIDE);
  if (unseen_) backend_.destroyLater(unseen_->hwnd, fonts_, nullptr, nullptr);
  backend_.destroyLater(root_.hwnd, fonts_, icons_[0], icons_[1]);
}

namespace {

BOOL CALLBACK findShownForm(HWND hwnd, LPARAM found) {
  wchar_t name[32] = {};
  GetClassNameW(hwnd, name, 32);
  if (lstrcmpW(name, kFormClass) != 0 || !IsWindowVisible(hwnd)) return TRUE;
  *reinterpret_cast<bool*>(found) = true;
  return FALSE;
}

// Whether this thread still shows a window of the program's.
bool anyFormShown() {
  bool found = false;
  EnumThreadWindows(GetCurrentThreadId(), findShownForm, reinterpret_cast<LPARAM>(&found));
  return found;
}

}  // namespace

void Win32Window::createControls(const WindowLayout& layout) {
  std::map<std::string, std::pair<Container*, Win32TabControl*>> parents;
  parents[""] = {&root_, nullptr};
  UINT_PTR nextTimer = 1;

  for (const ControlLayout* s : creationOrder(layout)) {
    const auto& parent = parents.at(s->parent);
    const int id = 1000 + static_cast<int>(s - layout.controls.data());
    ControlContext context{this, parent.first, layout.font, id};
    if (!liesInWindow(layout, *s)) context.container = unseenContainer();
    std::unique_ptr<Control> control;
    ControlHooks* hooks = nullptr;
    auto keep = [&](auto made) {
      auto* raw = made.get();
      hooks = raw;
      control = std::move(made);
      return raw;
    };
    switch (s->kind) {
      case ControlKind::TextBox:
        keep(std::make_unique<Win32TextBox>(*s, context));
        break;
      case ControlKind::Label:
        keep(std::make_unique<Win32Label>(*s, context));
        break;
      case ControlKind::CheckBox:
        keep(std::make_unique<Win32CheckBox>(*s, context));
        break;
      case ControlKind::CommandButton:
        keep(std::make_unique<Win32CommandButton>(*s, context));
        break;
      case ControlKind::ProgressBar:
        keep(std::make_unique<Win32ProgressBar>(*s, context));
        break;
      case ControlKind::Image:
        keep(std::make_unique<Win32Image>(*s, context));
        break;
      case ControlKind::Timer: {
        const UINT_PTR timer = nextTimer++;
        timers_[timer] = keep(std::make_unique<Win32Timer>(*s, context, root_.hwnd, timer));
        break;
      }
      case ControlKind::InternetTransfer:
        keep(std::make_unique<Win32InternetTransfer>(*s, context));
        break;
      case ControlKind::Winsock:
        keep(std::make_unique<Win32Winsock>(*s, context));
        break;
      case ControlKind::PictureBox: {
        auto& inside = *(containers_[s->name] = std::make_unique<Container>());
        keep(std::make_unique<Win32PictureBox>(*s, context, inside));
        parents[s->name] = {&inside, nullptr};
        break;
      }
      case ControlKind::TabControl: {
        auto& pages = *(containers_[s->name] = std::make_unique<Container>());
        auto* tabs = keep(std::make_unique<Win32TabControl>(*s, context, pages));
        parents[s->name] = {&pages, tabs};
        break;
      }
    }
    context.container->members.push_back(hooks);
    if (parent.second && s->page >= 0) parent.second->addMember(s->page, *hooks);
    controls_.add(std::move(control), hooks);
  }
}

Container* Win32Window::unseenContainer() {
  if (!unseen_) {
    unseen_ = std::make_unique<Container>();
    unseen_->window = this;
    unseen_->hwnd = CreateWindowExW(0, kPanelClass, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                    GetModuleHandleW(nullptr), nullptr);
    SetWindowLongPtrW(unseen_->hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(unseen_.get()));
  }
  return unseen_.get();
}

void Win32Window::orderControls() {
  // Each container lists its members front to back; children of one window are
  // stacked the same way, the first on top.
  std::map<Container*, HWND> above;
  for (const auto& e : controls_) {
    HWND child = e.native->hwnd();
    if (!child) continue;
    Container* home = e.native->home();
    auto it = above.find(home);
    SetWindowPos(child, it == above.end() ? HWND_TOP : it->second, 0, 0, 0, 0,
                 SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    above[home] = child;
  }
}

Control* Win32Window::find(std::string_view name, int index) {
  return controls_.find(name, index);
}

ControlHooks* Win32Window::hooksOf(std::string_view name, int index) const {
  return controls_.nativeOf(name, index);
}

ControlHooks* Win32Window::hooksOf(HWND child) const {
  if (!child) return nullptr;
  for (const auto& e : controls_) {
    if (e.native->hwnd() == child) return e.native;
  }
  return nullptr;
}

void Win32Window::centreOnScreen() {
  // The work area (the screen less the taskbar) of the monitor the window
  // is on, not the primary one's.
  MONITORINFO monitor{};
  monitor.cbSize = sizeof monitor;
  RECT area;
  if (GetMonitorInfoW(MonitorFromWindow(root_.hwnd, MONITOR_DEFAULTTONEAREST), &monitor)) {
    area = monitor.rcWork;
  } else {
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &area, 0);
  }
  RECT frame;
  GetWindowRect(root_.hwnd, &frame);
  const int width = frame.right - frame.left;
  const int height = frame.bottom - frame.top;
  SetWindowPos(root_.hwnd, nullptr, area.left + (area.right - area.left - width) / 2,
               area.top + (area.bottom - area.top - height) / 2, 0, 0,
               SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void Win32Window::raiseResize() {
  if (Form* f = form()) f->dispatchResize();
}

void Win32Window::show() {
  if (!shownOnce_) {
    shownOnce_ = true;
    if (startPosition_ == StartPosition::CenterScreen && !placed_) centreOnScreen();
  }
  if (backend_.hidesWindows()) {
    // Runs that only print (--json): the form goes through its events as if
    // shown, but nothing reaches the screen.
    if (!hiddenShown_) raiseResize();
    hiddenShown_ = true;
    return;
  }
  const bool wasVisible = IsWindowVisible(root_.hwnd);
  if (IsIconic(root_.hwnd)) {
    ShowWindow(root_.hwnd, SW_RESTORE);
  } else {
    ShowWindow(root_.hwnd, SW_SHOW);
  }
  SetForegroundWindow(root_.hwnd);
  if (!GetFocus() || (GetFocus() != root_.hwnd && !IsChild(root_.hwnd, GetFocus()))) {
    if (lastFocus_ && IsWindow(lastFocus_)) SetFocus(lastFocus_);
  }
  if (pendingFocus_) controlShown(*pendingFocus_);
  if (!wasVisible) raiseResize();
}

bool Win32Window::isVisible() const {
  return IsWindowVisible(root_.hwnd);
}

Twips Win32Window::innerWidth() const {
  RECT r;
  GetClientRect(root_.hwnd, &r);
  return toTwips(r.right - r.left, dpi_);
}

Twips Win32Window::innerHeight() const {
  RECT r;
  GetClientRect(root_.hwnd, &r);
  return toTwips(r.bottom - r.top, dpi_);
}

Twips Win32Window::left() const {
  RECT r;
  GetWindowRect(root_.hwnd, &r);
  if (placed_ && toPixels(placed_->first, dpi_) == r.left) return placed_->first;
  return toTwips(r.left, dpi_);
}

Twips Win32Window::top() const {
  RECT r;
  GetWindowRect(root_.hwnd, &r);
  if (placed_ && toPixels(placed_->second, dpi_) == r.top) return placed_->second;
  return toTwips(r.top, dpi_);
}

void Win32Window::moveTo(Twips left, Twips top) {
  placed_ = std::make_pair(left, top);
  SetWindowPos(root_.hwnd, nullptr, toPixels(left, dpi_), toPixels(top, dpi_), 0, 0,
               SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

bool Win32Window::minimized() const {
  return IsIconic(root_.hwnd);
}

void Win32Window::setMinimized(bool minimized) {
  if (minimized == static_cast<bool>(IsIconic(root_.hwnd))) return;
  ShowWindow(root_.hwnd, minimized ? SW_MINIMIZE : SW_RESTORE);
}

std::string Win32Window::caption() const {
  const int length = GetWindowTextLengthW(root_.hwnd);
  std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
  GetWindowTextW(root_.hwnd, text.data(), length + 1);
  text.resize(static_cast<std::size_t>(length));
  return narrow(text);
}

namespace {

ControlHooks* windowlessAt(Container& container, POINT point) {
  for (ControlHooks* member : container.members) {
    if (!member->windowless() || !member->shown()) continue;
    const RECT r = member->pixelRect();
    if (PtInRect(&r, point)) return member;
  }
  return nullptr;
}

void paintBuffered(Container& container, HWND hwnd) {
  PAINTSTRUCT ps;
  HDC dc = BeginPaint(hwnd, &ps);
  RECT client;
  GetClientRect(hwnd, &client);
  const int width = std::max<int>(1, client.right);
  const int height = std::max<int>(1, client.bottom);
  HDC memory = CreateCompatibleDC(dc);
  HBITMAP canvas = CreateCompatibleBitmap(dc, width, height);
  HGDIOBJ old = SelectObject(memory, canvas);
  paintContainer(container, memory, client);
  BitBlt(dc, ps.rcPaint.left, ps.rcPaint.top, ps.rcPaint.right - ps.rcPaint.left,
         ps.rcPaint.bottom - ps.rcPaint.top, memory, ps.rcPaint.left, ps.rcPaint.top, SRCCOPY);
  SelectObject(memory, old);
  DeleteObject(canvas);
  DeleteDC(memory);
  EndPaint(hwnd, &ps);
}

}  // namespace

LRESULT Win32Window::handle(Container& container, HWND hwnd, UINT message, WPARAM wParam,
                            LPARAM lParam) {
  const bool top = hwnd == root_.hwnd;
  switch (message) {
    case WM_COMMAND:
      if (ControlHooks* c = hooksOf(reinterpret_cast<HWND>(lParam))) {
        c->onCommand(HIWORD(wParam));  // may unload this window: touch nothing after
        return 0;
      }
      break;
    case WM_NOTIFY: {
      const auto* header = reinterpret_cast<const NMHDR*>(lParam);
      if (ControlHooks* c = hooksOf(header->hwndFrom)) return c->onNotify(*header);
      break;
    }
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORSTATIC:
      if (ControlHooks* c = hooksOf(reinterpret_cast<HWND>(lParam))) {
        if (HBRUSH brush = c->onColour(reinterpret_cast<HDC>(wParam))) {
          return reinterpret_cast<LRESULT>(brush);
        }
      }
      break;
    case WM_DRAWITEM: {
      const auto* item = reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
      if (ControlHooks* c = hooksOf(item->hwndItem)) {
        c->onDrawItem(*item);
        return TRUE;
      }
      break;
    }
    case WM_GETOBJECT:
      if (const LRESULT answer = answerGetObject(hwnd, wParam, lParam)) return answer;
      break;
    case kPressPartMessage: {
      const auto parts = container.parts();
      if (wParam < parts.size() && parts[wParam]->isEnabled()) {
        parts[wParam]->onWindowlessClick();  // may unload this window: touch nothing after
      }
      return 0;
    }
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
      // The focus ring of the windowless member the keyboard is on comes and goes.
      if (container.focused) {
        const RECT r = container.focused->pixelRect();
        InvalidateRect(hwnd, &r, FALSE);
      }
      break;
    case WM_ERASEBKGND:
      return 1;  // WM_PAINT covers everything
    case WM_PAINT:
      paintBuffered(container, hwnd);
      return 0;
    case WM_LBUTTONDOWN:
      container.pressed = windowlessAt(
          container, POINT{static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))});
      return 0;
    case WM_LBUTTONUP: {
      ControlHooks* pressed = container.pressed;
      container.pressed = nullptr;
      ControlHooks* at = windowlessAt(
          container, POINT{static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))});
      if (pressed && pressed == at && at->isEnabled()) at->onWindowlessClick();
      return 0;
    }
    case WM_SETCURSOR: {
      ControlHooks* c = hooksOf(reinterpret_cast<HWND>(wParam));
      if (c && c->controlLayout().pointer == MousePointer::Hand && LOWORD(lParam) == HTCLIENT) {
        SetCursor(backend_.handCursor());
        return TRUE;
      }
      break;
    }
    default:
      break;
  }
  if (!top) return DefWindowProcW(hwnd, message, wParam, lParam);
  switch (message) {
    case WM_CLOSE:
      // The close box unloads the form; the window itself goes away later.
      // As on every desktop, the program ends when its last window is closed.
      // Unloading may delete this object: keep what is needed after it.
      {
        Win32Backend& backend = backend_;
        if (Form* f = form()) f->dispatchClose();
        if (!anyFormShown()) backend.quit(0);
      }
      return 0;
    case WM_TIMER:
      if (auto it = timers_.find(wParam); it != timers_.end()) {
        if (Form* f = form()) f->dispatchTimer(*it->second);
        return 0;
      }
      break;
    case WM_GETDPISCALEDSIZE: {
      // The size the layout's twips give at the new dpi, so that the
      // rectangle WM_DPICHANGED suggests has it.
      *reinterpret_cast<SIZE*>(lParam) = frameAt(LOWORD(wParam));
      return TRUE;
    }
    case WM_DPICHANGED: {
      const auto* suggested = reinterpret_cast<const RECT*>(lParam);
      const POINT corner{suggested->left, suggested->top};
      changeDpi(LOWORD(wParam), &corner);
      return 0;
    }
    case WM_SYSCOLORCHANGE:
    case WM_THEMECHANGED:
      followColours();
      break;
    case WM_SETTINGCHANGE:
      // High contrast turned on or off, or a colour scheme chosen.
      if (wParam == SPI_SETHIGHCONTRAST || wParam == SPI_SETNONCLIENTMETRICS || wParam == 0) {
        followColours();
      }
      break;
    case WM_SIZE:
      if (wParam == SIZE_MINIMIZED) {
        wasMinimized_ = true;
      } else if (wasMinimized_) {
        wasMinimized_ = false;
        raiseResize();
      }
      return 0;
    case WM_ACTIVATE:
      if (LOWORD(wParam) == WA_INACTIVE) {
        HWND focus = GetFocus();
        if (focus && IsChild(hwnd, focus)) lastFocus_ = focus;
        return 0;
      }
      // A minimised window keeps no focus among its controls; it is given
      // again when the window is restored and activated.
      if (HIWORD(wParam) != 0) return 0;
      if (lastFocus_ && IsWindow(lastFocus_) && IsWindowVisible(lastFocus_)) {
        SetFocus(lastFocus_);
      } else {
        focusFirst();
      }
      return 0;
    default:
      break;
  }
  return DefWindowProcW(hwnd, message, wParam, lParam);
}

LRESULT CALLBACK containerProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  auto* container = reinterpret_cast<Container*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
  if (!container || !container->window) return DefWindowProcW(hwnd, message, wParam, lParam);
  return container->window->handle(*container, hwnd, message, wParam, lParam);
}

}  // namespace toolkit::win32
