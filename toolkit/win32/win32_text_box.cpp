#include "toolkit/win32/win32_text_box.h"

#include "toolkit/win32/win32_text.h"

namespace toolkit::win32 {
namespace {

DWORD styleOf(const ControlLayout& s) {
  DWORD style = WS_TABSTOP;
  if (s.multiLine) {
    style |= ES_MULTILINE | ES_WANTRETURN | ES_AUTOVSCROLL;
    const bool horizontal =
        s.scrollBars == ScrollBars::Horizontal || s.scrollBars == ScrollBars::Both;
    const bool vertical = s.scrollBars == ScrollBars::Vertical || s.scrollBars == ScrollBars::Both;
    // Without a horizontal bar long lines wrap.
    if (horizontal) style |= WS_HSCROLL | ES_AUTOHSCROLL;
    if (vertical) style |= WS_VSCROLL;
  } else {
    style |= ES_AUTOHSCROLL;
  }
  if (s.alignment == Alignment::Right) style |= ES_RIGHT;
  if (s.alignment == Alignment::Center) style |= ES_CENTER;
  if (s.border == Border::Flat) style |= WS_BORDER;
  return style;
}

// An edit control holds 32 K characters unless told otherwise; reports run longer.
constexpr WPARAM kTextLimit = 0x7FFFFFFE;

}  // namespace

Win32TextBox::Win32TextBox(const ControlLayout& layout, ControlContext context)
    : Win32Control<TextBox>(layout, context),
      text_(layout.text),
      brush_(CreateSolidBrush(
          toColorRef(layout.backColour.value_or(system_colour::kWindowBackground)))) {
  const DWORD exStyle = layout.border == Border::Sunken ? WS_EX_CLIENTEDGE : 0;
  HWND edit = createChild(context, L"EDIT", styleOf(layout), exStyle, L"");
  SendMessageW(edit, EM_SETLIMITTEXT, kTextLimit, 0);
  initialise(edit);
  const DrawnFont& font = drawnFont();
  if (!layout.multiLine && (font.letterSpacing > 0 || font.wordSpacing > 0)) {
    SetWindowLongPtrW(edit, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    editProc_ = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrW(edit, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&spacedProc)));
  }
  // Tab stops stay at the edit control's own every eight average characters
  // (32 dialog units), as report lines begin with a tab.
  setText(text_);
}

Win32TextBox::~Win32TextBox() {
  // The edit window may outlive this object by a message or two.
  if (editProc_) {
    SetWindowLongPtrW(hwnd(), GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(editProc_));
    SetWindowLongPtrW(hwnd(), GWLP_USERDATA, 0);
  }
  DeleteObject(brush_);
}

LRESULT CALLBACK Win32TextBox::spacedProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  auto* self = reinterpret_cast<Win32TextBox*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
  if (message == WM_PAINT && GetFocus() != hwnd) {
    self->paintSpaced(hwnd);
    return 0;
  }
  const LRESULT result = CallWindowProcW(self->editProc_, hwnd, message, wParam, lParam);
  if (message == WM_SETFOCUS || message == WM_KILLFOCUS) InvalidateRect(hwnd, nullptr, TRUE);
  return result;
}

void Win32TextBox::paintSpaced(HWND hwnd) {
  PAINTSTRUCT ps;
  HDC dc = BeginPaint(hwnd, &ps);
  RECT box;
  GetClientRect(hwnd, &box);
  FillRect(dc, &box, brush_);
  if (controlLayout().border == Border::Flat) {
    // The edit control draws a flat border inside its client area itself.
    FrameRect(dc, &box, GetSysColorBrush(COLOR_WINDOWFRAME));
    InflateRect(&box, -1, -1);
  }
  const DWORD margins = static_cast<DWORD>(SendMessageW(hwnd, EM_GETMARGINS, 0, 0));
  box.left += LOWORD(margins) + 1;
  box.right -= HIWORD(margins) + 1;
  const DrawnFont& font = drawnFont();
  HGDIOBJ old = SelectObject(dc, font.handle);
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, isEnabled() ? toColorRef(foreColour()) : GetSysColor(COLOR_GRAYTEXT));
  drawSpacedText(dc, widen(text_), box, controlLayout().alignment, false, font);
  SelectObject(dc, old);
  EndPaint(hwnd, &ps);
}

void Win32TextBox::setText(const std::string& text) {
  text_ = text;
  updating_ = true;
  SetWindowTextW(hwnd(), widen(text_).c_str());
  SendMessageW(hwnd(), EM_SETSEL, 0, 0);
  updating_ = false;
  caret_ = 0;
  lastWidgetCaret_ = -1;
}

void Win32TextBox::insertAtCaret(const std::string& text) {
  DWORD start = 0, end = 0;
  SendMessageW(hwnd(), EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
  std::size_t from;
  std::size_t to;
  if (start == end && static_cast<long>(start) == lastWidgetCaret_) {
    from = to = caret_;
  } else {
    from = utf8OffsetOf(text_, start);
    to = utf8OffsetOf(text_, end);
  }
  text_.replace(from, to - from, text);
  updating_ = true;
  SendMessageW(hwnd(), EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(widen(text).c_str()));
  updating_ = false;
  caret_ = from + text.size();
  SendMessageW(hwnd(), EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
  lastWidgetCaret_ = static_cast<long>(end);
}

void Win32TextBox::setFocus() {
  SetFocus(hwnd());
}

void Win32TextBox::onCommand(WORD code) {
  if (code != EN_CHANGE || updating_) return;
  const int length = GetWindowTextLengthW(hwnd());
  std::wstring wide(static_cast<std::size_t>(length) + 1, L'\0');
  GetWindowTextW(hwnd(), wide.data(), length + 1);
  wide.resize(static_cast<std::size_t>(length));
  text_ = narrow(wide);
  caret_ = text_.size();
  lastWidgetCaret_ = -1;
}

HBRUSH Win32TextBox::onColour(HDC dc) {
  SetTextColor(dc, toColorRef(foreColour()));
  SetBkColor(dc, toColorRef(controlLayout().backColour.value_or(system_colour::kWindowBackground)));
  return brush_;
}

}  // namespace toolkit::win32
