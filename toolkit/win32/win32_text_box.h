#pragma once

#include "toolkit/text_buffer.h"
#include "toolkit/win32/win32_control.h"

namespace toolkit::win32 {

// An edit control. The text is kept exactly as the logic set it (UTF-8, "\r\n"
// line ends, which the edit control shows as line breaks) in a TextBuffer; the
// user's edits flow back. A multi-line control gets the logic's changes once
// per event, however many pieces were inserted: when the event has ended, or
// sooner when anything (the user, a paint, another program reading it) reaches
// the control.
class Win32TextBox : public Win32Control<TextBox> {
 public:
  Win32TextBox(const ControlLayout& layout, ControlContext context);
  ~Win32TextBox() override;

  std::string text() const override { return buffer_.text(); }
  void setText(const std::string& text) override;
  void insertAtCaret(const std::string& text) override;
  int caret() const override { return buffer_.caretCharacters(); }
  void setFocus() override;

  bool takesFocus() const override { return true; }
  void onCommand(WORD code) override;
  HBRUSH onColour(HDC dc) override;
  void coloursChanged() override { InvalidateRect(hwnd(), nullptr, TRUE); }

 private:
  // The colours the scheme gives the box now, and a brush of its face.
  TextColours colours() const;
  HBRUSH faceBrush(COLORREF face);
  void fontChanged() override;
  static LRESULT CALLBACK editProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
  void paintSpaced(HWND hwnd);
  // Where the spaced text lies; `box` gets the area inside the border.
  SpacedLine spacedLine(HWND hwnd, HDC dc, RECT& box) const;
  // A mouse point on the drawn text moved to the same character in the edit control's.
  LPARAM editPoint(HWND hwnd, LPARAM lParam) const;
  // Puts the caret where it lies in the drawn text.
  void placeCaret(HWND hwnd);
  void changed();
  // Gives the edit control what the logic changed since it last showed the text.
  void flush();

  // The edit control's own edits are UTF-16 units with "\r\n" as two.
  TextBuffer buffer_{LineEndUnits::Two};
  WNDPROC editProc_ = nullptr;
  // Set when the face's stand-in needs room between letters that the edit
  // control cannot give: the box then draws its text itself.
  bool spaced_ = false;
  std::pair<DWORD, DWORD> selection_{0, 0};
  DWORD caretAt_ = 0;
  bool flushPosted_ = false;
  bool updating_ = false;
  HBRUSH brush_ = nullptr;
  COLORREF brushColour_ = CLR_INVALID;
};

}  // namespace toolkit::win32
