// Win32 drawing and clicks of the check box, command button and label; the
// caption and check value they show are the toolkit's (control_values.h).

#include "toolkit/win32/win32_buttons.h"

#include <commctrl.h>

#include "toolkit/form.h"
#include "toolkit/win32/win32_text.h"

namespace toolkit::win32 {
namespace {

void raiseClick(Form* form, Control& source) {
  if (form) form->dispatchClick(source);
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
  NotifyWinEvent(EVENT_OBJECT_NAMECHANGE, hwnd(), OBJID_CLIENT, CHILDID_SELF);
  invalidate();
}

AccessibleFacts Win32CheckBox::accessibleFacts() const {
  AccessibleFacts facts = Win32Control::accessibleFacts();
  facts.pressed = value() == kChecked ||
                  (hwnd() && (SendMessageW(hwnd(), BM_GETSTATE, 0, 0) & BST_PUSHED) != 0);
  return facts;
}

void Win32CheckBox::onCommand(WORD code) {
  if (code != BN_CLICKED) return;
  setValue(value() == kChecked ? kUnchecked : kChecked);
  raiseClick(form(), *this);
}

void Win32CheckBox::onDrawItem(const DRAWITEMSTRUCT& item) {
  HDC dc = item.hDC;
  RECT r = item.rcItem;
  const bool pressed = value() == kChecked || (item.itemState & ODS_SELECTED);
  const TextColours colours =
      textColours(controlLayout(), !(item.itemState & ODS_DISABLED), systemScheme());
  HBRUSH face = CreateSolidBrush(toColorRef(colours.face.value_or(system_colour::kButtonFace)));
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
  if (colours.etched) {
    // Etched, as disabled captions are drawn: a light copy offset under a grey one.
    RECT light = text;
    OffsetRect(&light, 1, 1);
    SetTextColor(dc, GetSysColor(COLOR_3DHILIGHT));
    DrawTextW(dc, caption.c_str(), -1, &light, format);
    SetTextColor(dc, GetSysColor(COLOR_GRAYTEXT));
  } else {
    SetTextColor(dc, toColorRef(colours.text));
  }
  DrawTextW(dc, caption.c_str(), -1, &text, format);
  SelectObject(dc, old);
  // The system leaves the focus out until the keyboard is used (ODS_NOFOCUSRECT).
  if ((item.itemState & ODS_FOCUS) && !(item.itemState & ODS_NOFOCUSRECT)) {
    drawFocusRing(dc, r, toColorRef(colours.text), 3, dpiOf(context().window));
  }
}

namespace {

// Draws the focus ring over what the system's button drew.
LRESULT CALLBACK focusRingProc(HWND hwnd, UINT message, WPARAM w, LPARAM l, UINT_PTR id,
                               DWORD_PTR) {
  switch (message) {
    case WM_PAINT: {
      const LRESULT result = DefSubclassProc(hwnd, message, w, l);
      if (GetFocus() == hwnd && focusCuesShown(hwnd)) {
        RECT box;
        GetClientRect(hwnd, &box);
        HDC dc = GetDC(hwnd);
        drawFocusRing(dc, box, GetSysColor(COLOR_BTNTEXT), 3, windowDpi(hwnd));
        ReleaseDC(hwnd, dc);
      }
      return result;
    }
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
    case WM_UPDATEUISTATE: {
      const LRESULT result = DefSubclassProc(hwnd, message, w, l);
      InvalidateRect(hwnd, nullptr, FALSE);
      return result;
    }
    case WM_NCDESTROY:
      RemoveWindowSubclass(hwnd, focusRingProc, id);
      break;
  }
  return DefSubclassProc(hwnd, message, w, l);
}

}  // namespace

Win32CommandButton::Win32CommandButton(const ControlLayout& layout, ControlContext context)
    : Win32Control<CommandButton, CaptionState<CommandButton>>(layout, context) {
  initialise(createChild(context, L"BUTTON", BS_PUSHBUTTON | WS_TABSTOP, 0, widen(caption())));
  SetWindowSubclass(hwnd(), focusRingProc, 1, 0);
}

void Win32CommandButton::applyCaption() {
  SetWindowTextW(hwnd(), widen(caption()).c_str());
  NotifyWinEvent(EVENT_OBJECT_NAMECHANGE, hwnd(), OBJID_CLIENT, CHILDID_SELF);
}

void Win32CommandButton::onCommand(WORD code) {
  if (code == BN_CLICKED) raiseClick(form(), *this);
}

Win32Label::Win32Label(const ControlLayout& layout, ControlContext context)
    : Win32Control<Label, CaptionState<Label>>(layout, context) {
  initialise(nullptr);
}

void Win32Label::paintWindowless(HDC dc) {
  if (!shown() || caption().empty()) return;
  RECT box = pixelRect();
  const TextColours colours = textColours(controlLayout(), isEnabled(), systemScheme());
  if (colours.face) {
    // High contrast: a face of its own, so the text reads over any picture.
    HBRUSH face = CreateSolidBrush(toColorRef(*colours.face));
    FillRect(dc, &box, face);
    DeleteObject(face);
  }
  const DrawnFont& font = drawnFont();
  HGDIOBJ old = SelectObject(dc, font.handle);
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, toColorRef(colours.text));
  const std::wstring text = widen(caption());
  if (font.letterSpacing > 0 || font.wordSpacing > 0) {
    drawSpacedText(dc, text, box, controlLayout().alignment, false, font);
  } else {
    UINT format = DT_WORDBREAK | DT_NOPREFIX | DT_TOP;
    if (controlLayout().alignment == Alignment::Right) format |= DT_RIGHT;
    if (controlLayout().alignment == Alignment::Center) format |= DT_CENTER;
    RECT lines = box;
    DrawTextW(dc, text.c_str(), -1, &lines, format);
  }
  SelectObject(dc, old);
  if (home() && home()->hasFocusOn(this) && focusCuesShown(home()->hwnd)) {
    drawFocusRing(dc, box, toColorRef(colours.text), 0, dpiOf(context().window));
  }
}

void Win32Label::onWindowlessClick() {
  raiseClick(form(), *this);
}

}  // namespace toolkit::win32
