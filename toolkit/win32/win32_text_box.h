#pragma once

#include "toolkit/win32/win32_control.h"

namespace toolkit::win32 {

// An edit control. The text is kept exactly as the logic set it (UTF-8, "\r\n"
// line ends, which the edit control shows as line breaks); the user's edits
// flow back.
class Win32TextBox : public Win32Control<TextBox> {
 public:
  Win32TextBox(const ControlLayout& layout, ControlContext context);
  ~Win32TextBox() override;

  std::string text() const override { return text_; }
  void setText(const std::string& text) override;
  void insertAtCaret(const std::string& text) override;
  int caret() const override { return static_cast<int>(caret_); }
  void setFocus() override;

  bool takesFocus() const override { return true; }
  void onCommand(WORD code) override;
  HBRUSH onColour(HDC dc) override;

 private:
  static LRESULT CALLBACK spacedProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
  void paintSpaced(HWND hwnd);

  std::string text_;
  // Set when the face's stand-in needs room between letters that the edit
  // control cannot give: the box then draws its text itself while it has no
  // focus, and the edit control draws it while the user edits.
  WNDPROC editProc_ = nullptr;
  std::size_t caret_ = 0;
  // Where the last insertion left the edit's caret (UTF-16 units): appending
  // piece after piece then needs no rescan of the text.
  long lastWidgetCaret_ = -1;
  bool updating_ = false;
  HBRUSH brush_;
};

}  // namespace toolkit::win32
