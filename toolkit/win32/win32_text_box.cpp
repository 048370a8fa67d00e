#include "toolkit/win32/win32_text_box.h"

#include <cstdlib>

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
    : Win32Control<TextBox>(layout, context) {
  const DWORD exStyle = layout.border == Border::Sunken ? WS_EX_CLIENTEDGE : 0;
  HWND edit = createChild(context, L"EDIT", styleOf(layout), exStyle, L"");
  SendMessageW(edit, EM_SETLIMITTEXT, kTextLimit, 0);
  initialise(edit);
  fontChanged();
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
  if (brush_) DeleteObject(brush_);
}

TextColours Win32TextBox::colours() const {
  return textColours(controlLayout(), isEnabled(), systemScheme());
}

HBRUSH Win32TextBox::faceBrush(COLORREF face) {
  // Made again only when the scheme has changed the colour.
  if (!brush_ || face != brushColour_) {
    if (brush_) DeleteObject(brush_);
    brush_ = CreateSolidBrush(face);
    brushColour_ = face;
  }
  return brush_;
}

namespace {

// Messages after which the edit control may have drawn over the spaced text
// or moved its caret or selection.
bool changesDisplay(UINT message) {
  return (message >= WM_KEYFIRST && message <= WM_KEYLAST) ||
         (message >= WM_MOUSEFIRST && message <= WM_MOUSELAST) || message == WM_SETFOCUS ||
         message == WM_KILLFOCUS || message == WM_SETTEXT || message == EM_SETSEL ||
         message == EM_REPLACESEL || message == WM_CUT || message == WM_PASTE ||
         message == WM_CLEAR || message == WM_UNDO || message == EM_UNDO;
}

bool isMouseMessage(UINT message) {
  return message == WM_LBUTTONDOWN || message == WM_LBUTTONDBLCLK || message == WM_MOUSEMOVE ||
         message == WM_LBUTTONUP;
}

}  // namespace

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
  if (!self->spaced_) return CallWindowProcW(self->editProc_, hwnd, message, wParam, lParam);
  // The spaced text is drawn here, focused or not, so the address reads the
  // same while the user edits it; the edit control keeps the text, caret and
  // selection, and the mouse is pointed at the characters as they are drawn.
  if (message == WM_PAINT) {
    self->paintSpaced(hwnd);
    return 0;
  }
  if (isMouseMessage(message)) lParam = self->editPoint(hwnd, lParam);
  const LRESULT result = CallWindowProcW(self->editProc_, hwnd, message, wParam, lParam);
  const bool dragging = message == WM_MOUSEMOVE && (wParam & MK_LBUTTON);
  if (dragging || (message != WM_MOUSEMOVE && changesDisplay(message))) {
    InvalidateRect(hwnd, nullptr, FALSE);
    if (GetFocus() == hwnd) self->placeCaret(hwnd);
  }
  return result;
}

SpacedLine Win32TextBox::spacedLine(HWND hwnd, HDC dc, RECT& box) const {
  GetClientRect(hwnd, &box);
  if (controlLayout().border == Border::Flat) InflateRect(&box, -1, -1);
  const DWORD margins = static_cast<DWORD>(SendMessageW(hwnd, EM_GETMARGINS, 0, 0));
  RECT text = box;
  text.left += LOWORD(margins) + 1;
  text.right -= HIWORD(margins) + 1;
  return layOutSpacedText(dc, widen(buffer_.text()), text, controlLayout().alignment, false,
                          drawnFont());
}

// Runs `use` with a device context of the control's that has the drawn font selected.
template <class Use>
auto withFontDc(HWND hwnd, HFONT font, Use use) {
  HDC dc = GetDC(hwnd);
  HGDIOBJ old = SelectObject(dc, font);
  auto result = use(dc);
  SelectObject(dc, old);
  ReleaseDC(hwnd, dc);
  return result;
}

LPARAM Win32TextBox::editPoint(HWND hwnd, LPARAM lParam) const {
  const int x = static_cast<short>(LOWORD(lParam));
  RECT box;
  const SpacedLine line =
      withFontDc(hwnd, drawnFont().handle, [&](HDC dc) { return spacedLine(hwnd, dc, box); });
  // The character boundary nearest the point, as drawn ...
  std::size_t at = 0;
  for (std::size_t i = 1; i < line.edges.size(); ++i) {
    if (std::abs(line.edges[i] - x) < std::abs(line.edges[at] - x)) at = i;
  }
  // ... and where the edit control has it.
  int editX = box.right - 1;
  if (at + 1 < line.edges.size()) {
    const LRESULT where = SendMessageW(hwnd, EM_POSFROMCHAR, at, 0);
    if (where != -1) editX = static_cast<short>(LOWORD(where));
  }
  return MAKELPARAM(editX, HIWORD(lParam));
}

void Win32TextBox::placeCaret(HWND hwnd) {
  DWORD start = 0, end = 0;
  SendMessageW(hwnd, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
  // The caret sits at the end of the selection that moved last.
  if (start == end || end != selection_.second) {
    caretAt_ = end;
  } else if (start != selection_.first) {
    caretAt_ = start;
  }
  selection_ = {start, end};
  RECT box;
  const SpacedLine line =
      withFontDc(hwnd, drawnFont().handle, [&](HDC dc) { return spacedLine(hwnd, dc, box); });
  POINT caret{};
  GetCaretPos(&caret);
  const std::size_t index = std::min<std::size_t>(caretAt_, line.edges.size() - 1);
  SetCaretPos(line.edges[index], caret.y);
}

void Win32TextBox::paintSpaced(HWND hwnd) {
  PAINTSTRUCT ps;
  HDC dc = BeginPaint(hwnd, &ps);
  RECT client;
  GetClientRect(hwnd, &client);
  const TextColours drawn = colours();
  FillRect(dc, &client,
           faceBrush(toColorRef(drawn.face.value_or(system_colour::kWindowBackground))));
  if (controlLayout().border == Border::Flat) {
    // The edit control draws a flat border inside its client area itself.
    FrameRect(dc, &client, GetSysColorBrush(COLOR_WINDOWFRAME));
  }
  const DrawnFont& font = drawnFont();
  HGDIOBJ old = SelectObject(dc, font.handle);
  RECT box;
  const SpacedLine line = spacedLine(hwnd, dc, box);
  const std::wstring text = widen(buffer_.text());
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, toColorRef(drawn.text));
  drawSpacedText(dc, text, box, line);
  DWORD start = 0, end = 0;
  SendMessageW(hwnd, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
  if (GetFocus() == hwnd && start < end && end < line.edges.size()) {
    // The selection in the system's highlight colours, as the edit control shows it.
    RECT selected{line.edges[start], box.top, line.edges[end], box.bottom};
    IntersectRect(&selected, &selected, &box);
    FillRect(dc, &selected, GetSysColorBrush(COLOR_HIGHLIGHT));
    SetTextColor(dc, GetSysColor(COLOR_HIGHLIGHTTEXT));
    drawSpacedText(dc, text, selected, line);
  }
  SelectObject(dc, old);
  EndPaint(hwnd, &ps);
}

void Win32TextBox::fontChanged() {
  const DrawnFont& font = drawnFont();
  spaced_ = !controlLayout().multiLine && (font.letterSpacing > 0 || font.wordSpacing > 0);
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
  const TextColours drawn = colours();
  const COLORREF face = toColorRef(drawn.face.value_or(system_colour::kWindowBackground));
  SetTextColor(dc, toColorRef(drawn.text));
  SetBkColor(dc, face);
  return faceBrush(face);
}

}  // namespace toolkit::win32
