#pragma once

#include <QLineEdit>
#include <QPlainTextEdit>
#include <functional>

#include "toolkit/qt/qt_control.h"
#include "toolkit/text_buffer.h"

namespace toolkit::qt {

// Hands a multi-line box's pending text to its widget once the event that
// wrote it has ended (before the window paints), or sooner when the user
// reaches for the widget. Without a display the program prints the text and
// ends within that event, so the widget is never filled at all.
class PendingTextFlush : public QObject {
 public:
  explicit PendingTextFlush(std::function<void()> flush) : flush_(std::move(flush)) {}
  void watch(QObject* object) { object->installEventFilter(this); }
  void schedule();
  void cancel() { scheduled_ = false; }

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  std::function<void()> flush_;
  bool scheduled_ = false;
};

// A text box. Its text is kept exactly as the logic set it ("\r\n" line ends
// in a multi-line box) in a TextBuffer; the widget shows it with plain line
// feeds, and the user's edits flow back. A multi-line widget gets the logic's
// changes once per event, however many pieces were inserted.
class QtTextBox : public QtControl<TextBox> {
 public:
  QtTextBox(const ControlLayout& layout, QWidget* parent, ControlContext context);

  std::string text() const override { return buffer_.text(); }
  void setText(const std::string& text) override;
  void insertAtCaret(const std::string& text) override;
  int caret() const override { return buffer_.caretCharacters(); }
  void setFocus() override;

  // Gives the widget what the logic changed since it last showed the text.
  void flush();

 private:
  void styleWidget();
  void changed();
  void takeUserEdit();

  QLineEdit* line_ = nullptr;
  QPlainTextEdit* multi_ = nullptr;
  TextBuffer buffer_{LineEndUnits::One};
  std::unique_ptr<PendingTextFlush> pendingFlush_;
  bool updating_ = false;
};

}  // namespace toolkit::qt
