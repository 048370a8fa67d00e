#pragma once

#include <QLineEdit>
#include <QPlainTextEdit>

#include "toolkit/qt/qt_control.h"

namespace toolkit::qt {

// A text box. Its text is kept exactly as the logic set it ("\r\n" line ends
// in a multi-line box); the widget shows it with plain line feeds, and the
// user's edits flow back.
class QtTextBox : public QtControl<TextBox> {
 public:
  QtTextBox(const ControlLayout& layout, QWidget* parent, ControlContext context);

  std::string text() const override { return text_; }
  void setText(const std::string& text) override;
  void insertAtCaret(const std::string& text) override;
  int caret() const override { return static_cast<int>(caret_); }
  void setFocus() override;

 private:
  void styleWidget();
  void showText();
  void takeUserEdit();
  std::size_t widgetToModel(int widgetPosition) const;

  QLineEdit* line_ = nullptr;
  QPlainTextEdit* multi_ = nullptr;
  std::string text_;
  std::size_t caret_ = 0;
  // Where the last insertion left the widget's caret, and the same place in
  // text_: appending piece after piece then needs no rescan of the text.
  int lastWidgetCaret_ = -1;
  bool updating_ = false;
};

}  // namespace toolkit::qt
