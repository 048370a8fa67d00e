// Win32 drawing and clicks of the check box, command button and label; the
// caption and check value they show are the toolkit's (control_values.h).

#include "toolkit/win32/win32_buttons.h"

#include <commctrl.h>

#include "toolkit/form.h"
#include "toolkit/win32/win32_text.h"

namespace toolkit::win32 {
namespace {

void raiseClick(Form* form, const ControlLayout& layout) {
  if (form) form->dispatchClick(layout.name, layout.index);
}

// An owner-drawn button keeps no check state of its own: the check box's value
// is kept on its window, and BM_GETCHECK and BM_GETSTATE answer from it, so
// that accessibility tools and UI tests read a light as they read any check box.
constexpr const wchar_t* kCheckedProperty = L"TarnwickChecked";

LRESULT CALLBACK checkStateProc(HWND hwnd, UINT message, WPARAM w, LPARAM l, UINT_PTR, DWORD_PTR) {
  const bool checked = GetPropW(hwnd, kCheckedProperty) != nullptr;
  switch (message) {
    case BM_GETCHECK:
      return checked ? BST_CHECKED : BST_UNCHECKED;
    case BM_GETSTATE:
      return (DefSubclassProc(hwnd, message, w, l) & ~BST_CHECKED) | (checked ? BST_CHECKED : 0);
    case WM_NCDESTROY:
      RemovePropW(hwnd, kCheckedProperty);
      RemoveWindowSubclass(hwnd, checkStateProc, 1);
      break;
  }
  return DefSubclassProc(hwnd, message, w, l);
}

void publishCheckState(HWND hwnd, int value) {
  if (value == kChecked) {
    SetPropW(hwnd, kCheckedProperty, reinterpret_cast<HANDLE>(1));
  } else {
    RemovePropW(hwnd, kCheckedProperty);
  }
  NotifyWinEvent(EVENT_OBJECT_STATECHANGE, hwnd, OBJID_CLIENT, CHILDID_SELF);
}

}  // namespace

Win32CheckBox::Win32CheckBox(const ControlLayout& layout, ControlContext context)
    : Win32Control<CheckBox, CheckBoxState>(layout, context) {
  initialise(createChild(context, L"BUTTON", BS_OWNERDRAW | WS_TABSTOP, 0, widen(caption())));
  SetWindowSubclass(hwnd(), checkStateProc, 1, 0);
  publishCheckState(hwnd(), value());
}

Win32CheckBox::~Win32CheckBox() = default;

void Win32CheckBox::applyValue() {
  publishCheckState(hwnd(), value());
  invalidate();
}

void Win32CheckBox::applyCaption() {
  SetWindowTextW(hwnd(), widen(caption()).c_str());
  invalidate();
}

void Win32CheckBox::onCommand(WORD code) {
  if (code != BN_CLICKED) return;
  setValue(value() == kChecked ? kUnchecked : kChecked);
  raiseClick(form(), controlLayout());
}

void Win32CheckBox::onDrawItem(const DRAWITEMSTRUCT& item) {
  HDC dc = item.hDC;
  RECT r = item.rcItem;
  const bool pressed = value() == kChecked || (item.itemState & ODS_SELECTED);
  HBRUSH face = CreateSolidBrush(toColorRef(backColour()));
  FillRect(dc, &r, face);
  DeleteObject(face);
  DrawEdge(dc, &r, pressed ? EDGE_SUNKEN : EDGE_RAISED, BF_RECT);
  RECT text = r;
  InflateRect(&text, -2, -2);
  if (pressed) OffsetRect(&text, 1, 1);
  const std::wstring caption = widen(this->caption());
  HGDIOBJ old = SelectObject(dc, drawnFont().handle);
  SetBkMode(dc, TRANSPARENT);
  const UINT format = DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX;
  if (item.itemState & ODS_DISABLED) {
    // Etched, as disabled captions are drawn: a light copy offset under a grey one.
    RECT light = text;
    OffsetRect(&light, 1, 1);
    SetTextColor(dc, GetSysColor(COLOR_3DHILIGHT));
    DrawTextW(dc, caption.c_str(), -1, &light, format);
    SetTextColor(dc, GetSysColor(COLOR_GRAYTEXT));
  } else {
    SetTextColor(dc, toColorRef(foreColour()));
  }
  DrawTextW(dc, caption.c_str(), -1, &text, format);
  SelectObject(dc, old);
  if (item.itemState & ODS_FOCUS) {
    RECT focus = r;
    InflateRect(&focus, -3, -3);
    DrawFocusRect(dc, &focus);
  }
}

Win32CommandButton::Win32CommandButton(const ControlLayout& layout, ControlContext context)
    : Win32Control<CommandButton, CaptionState<CommandButton>>(layout, context) {
  initialise(createChild(context, L"BUTTON", BS_PUSHBUTTON | WS_TABSTOP, 0, widen(caption())));
}

void Win32CommandButton::applyCaption() {
  SetWindowTextW(hwnd(), widen(caption()).c_str());
}

void Win32CommandButton::onCommand(WORD code) {
  if (code == BN_CLICKED) raiseClick(form(), controlLayout());
}

Win32Label::Win32Label(const ControlLayout& layout, ControlContext context)
    : Win32Control<Label, CaptionState<Label>>(layout, context) {
  initialise(nullptr);
}

void Win32Label::paintWindowless(HDC dc) {
  if (!shown() || caption().empty()) return;
  RECT box = pixelRect();
  const DrawnFont& font = drawnFont();
  HGDIOBJ old = SelectObject(dc, font.handle);
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, isEnabled() ? toColorRef(foreColour()) : GetSysColor(COLOR_GRAYTEXT));
  const std::wstring text = widen(caption());
  if (font.letterSpacing > 0 || font.wordSpacing > 0) {
    drawSpacedText(dc, text, box, controlLayout().alignment, false, font);
  } else {
    UINT format = DT_WORDBREAK | DT_NOPREFIX | DT_TOP;
    if (controlLayout().alignment == Alignment::Right) format |= DT_RIGHT;
    if (controlLayout().alignment == Alignment::Center) format |= DT_CENTER;
    DrawTextW(dc, text.c_str(), -1, &box, format);
  }
  SelectObject(dc, old);
}

void Win32Label::onWindowlessClick() {
  raiseClick(form(), controlLayout());
}

}  // namespace toolkit::win32
