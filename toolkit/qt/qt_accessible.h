#pragma once

// What the program's own widgets tell assistive technology. Qt reads a plain
// widget as a filler and a check box drawn as a push button as a check box;
// the widgets that draw such controls answer instead with what the toolkit
// says of their control (accessible_text.h): a command is a push button, a
// light a status whose pressed face reads as pressed, a page opener a link,
// the progress bar a progress bar with its value.

#include <QObject>
#include <QString>
#include <QWidget>
#include <optional>
#include <string>

#include "toolkit/accessible_text.h"

namespace toolkit::qt {

class AccessibleSource {
 public:
  virtual ~AccessibleSource() = default;
  virtual AccessibleFacts accessibleFacts() const = 0;
  // The press action of a push button or link: what a click does.
  virtual void press() {}
};

// Makes `widget` answer screen readers for `source`; nullptr stops it (the
// control goes before its widget, which Qt deletes later).
void exposeAs(QWidget* widget, AccessibleSource* source);

// Tells screen readers that the widget's name or description has changed.
void notifyTextChanged(QWidget* widget);
// ... that its progress value has changed.
void notifyValueChanged(QWidget* widget, double value);
// ... that it is pressed in or out.
void notifyPressedChanged(QWidget* widget);

// A window's announcements: an object of the notification role, the window's
// last accessible child, whose name is the last announcement. Showing it asks screen readers to
// say it wherever the focus is, as a live region does; the focus stays put.
// Qt 6.4 has no announcement event of its own.
class Announcer : public QObject {
 public:
  explicit Announcer(QWidget* window);
  void announce(const QString& text);
  const QString& text() const { return text_; }
  QWidget* window() const { return window_; }

 private:
  QWidget* window_;
  QString text_;
};

}  // namespace toolkit::qt
