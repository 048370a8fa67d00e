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

// Posted to a multi-line edit control when the logic has changed its text: it
// arrives once the event that wrote the text has ended.
constexpr UINT kFlushMessage = WM_APP + 0x54;

}  // namespace

Win32TextBox::Win32TextBox(const ControlLayout& layout, ControlContext context)
    : Win32Control<TextBox>(layout, context),
      brush_(CreateSolidBrush(
          toColorRef(layout.backColour.value_or(system_colour::kWindowBackground)))) {
  const DWORD exStyle = layout.border == Border::Sunken ? WS_EX_CLIENTEDGE : 0;
  HWND edit = createChild(context, L"EDIT", styleOf(layout), exStyle, L"");
  SendMessageW(edit, EM_SETLIMITTEXT, kTextLimit, 0);
  initialise(edit);
  const DrawnFont& font = drawnFont();
  spaced_ = !layout.multiLine && (font.letterSpacing > 0 || font.wordSpacing > 0);
  if (edit) {
    SetWindowLongPtrW(edit, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    editProc_ = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrW(edit, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&editProc)));
  }
  // Tab stops stay at the edit control's own every eight average characters
  // (32 dialog units), as report lines begin with a tab.
  buffer_.setText(layout.text);
  flush();  // the layout's text is there from the first paint
}

Win32TextBox::~Win32TextBox() {
  // The edit window may outlive this object by a message or two.
  if (editProc_) {
    SetWindowLongPtrW(hwnd(), GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(editProc_));
    SetWindowLongPtrW(hwnd(), GWLP_USERDATA, 0);
  }
  DeleteObject(brush_);
}

LRESULT CALLBACK Win32TextBox::editProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  auto* self = reinterpret_cast<Win32TextBox*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
  if (message == kFlushMessage) {
    self->flushPosted_ = false;
    self->flush();
    return 0;
  }
  // Whatever reaches the control before the posted flush (a key, a click, a
  // scroll bar, a paint, another program reading the text) finds it in step.
  if (message != WM_DESTROY && message != WM_NCDESTROY) self->flush();
  if (self->spaced_ && message == WM_PAINT && GetFocus() != hwnd) {
    self->paintSpaced(hwnd);
    return 0;
  }
  const LRESULT result = CallWindowProcW(self->editProc_, hwnd, message, wParam, lParam);
  if (self->spaced_ && (message == WM_SETFOCUS || message == WM_KILLFOCUS))
    InvalidateRect(hwnd, nullptr, TRUE);
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
  drawSpacedText(dc, widen(buffer_.text()), box, controlLayout().alignment, false, font);
  SelectObject(dc, old);
  EndPaint(hwnd, &ps);
}

void Win32TextBox::setText(const std::string& text) {
  buffer_.setText(text);
  changed();
}

void Win32TextBox::insertAtCaret(const std::string& text) {
  DWORD start = 0, end = 0;
  if (buffer_.pending() == TextBuffer::Pending::None && hwnd()) {
    SendMessageW(hwnd(), EM_GETSEL, reinterpret_cast<WPARAM>(&start),
                 reinterpret_cast<LPARAM>(&end));
  }
  buffer_.insertAtCaret(text, start, end);
  changed();
}

void Win32TextBox::changed() {
  // A single-line box is cheap to update and is read back at once by the main
  // window's users; a multi-line box waits for the end of the event.
  if (!controlLayout().multiLine || !hwnd()) {
    flush();
  } else if (!flushPosted_) {
    flushPosted_ = PostMessageW(hwnd(), kFlushMessage, 0, 0) != FALSE;
    if (!flushPosted_) flush();
  }
}

void Win32TextBox::flush() {
  if (buffer_.pending() == TextBuffer::Pending::None || !hwnd() || updating_) return;
  updating_ = true;
  if (buffer_.pending() == TextBuffer::Pending::Whole) {
    SetWindowTextW(hwnd(), widen(buffer_.text()).c_str());
    const WPARAM caret = buffer_.nativeCaret();
    SendMessageW(hwnd(), EM_SETSEL, caret, static_cast<LPARAM>(caret));
  } else {
    SendMessageW(hwnd(), EM_SETSEL, buffer_.nativeFrom(),
                 static_cast<LPARAM>(buffer_.nativeFrom() + buffer_.nativeLength()));
    SendMessageW(hwnd(), EM_REPLACESEL, FALSE,
                 reinterpret_cast<LPARAM>(widen(buffer_.spanText()).c_str()));
  }
  // As after inserting piece by piece, the caret is in view.
  SendMessageW(hwnd(), EM_SCROLLCARET, 0, 0);
  DWORD start = 0, end = 0;
  SendMessageW(hwnd(), EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
  updating_ = false;
  buffer_.markApplied(end);
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
  buffer_.takeEdit(narrow(wide));
}

HBRUSH Win32TextBox::onColour(HDC dc) {
  SetTextColor(dc, toColorRef(foreColour()));
  SetBkColor(dc, toColorRef(controlLayout().backColour.value_or(system_colour::kWindowBackground)));
  return brush_;
}

}  // namespace toolkit::win32
