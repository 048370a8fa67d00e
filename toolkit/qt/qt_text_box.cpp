#include "toolkit/qt/qt_text_box.h"

#include <QFontMetricsF>
#include <QScrollBar>
#include <QTextCursor>

namespace toolkit::qt {
namespace {

QWidget* makeWidget(const ControlLayout& layout, QWidget* parent) {
  if (layout.multiLine) return new QPlainTextEdit(parent);
  return new QLineEdit(parent);
}

// "\r\n" to "\n" for the widget; a lone "\r" is shown as a line break too.
QString toWidgetText(const std::string& text) {
  std::string out;
  out.reserve(text.size());
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\r') {
      out += '\n';
      if (i + 1 < text.size() && text[i + 1] == '\n') ++i;
    } else {
      out += text[i];
    }
  }
  return QString::fromStdString(out);
}

std::string fromWidgetText(const QString& text, bool multiLine) {
  std::string s = text.toStdString();
  if (!multiLine) return s;
  std::string out;
  out.reserve(s.size() + s.size() / 16);
  for (char c : s) {
    if (c == '\n')
      out += "\r\n";
    else
      out += c;
  }
  return out;
}

}  // namespace

QtTextBox::QtTextBox(const ControlLayout& layout, QWidget* parent, ControlContext context)
    : QtControl<TextBox>(layout, makeWidget(layout, parent), std::move(context)) {
  line_ = qobject_cast<QLineEdit*>(widget());
  multi_ = qobject_cast<QPlainTextEdit*>(widget());
  text_ = layout.text;
  styleWidget();
  showText();
  if (line_) {
    QObject::connect(line_, &QLineEdit::textEdited, line_, [this] { takeUserEdit(); });
  } else {
    QObject::connect(multi_, &QPlainTextEdit::textChanged, multi_, [this] {
      if (!updating_) takeUserEdit();
    });
  }
  initialise();
  if (multi_) {
    // Tab stops every eight average characters, as edit controls set them;
    // report lines start with a tab.
    multi_->setTabStopDistance(8 * QFontMetricsF(multi_->font()).averageCharWidth());
  }
}

void QtTextBox::styleWidget() {
  const ControlLayout& s = layout();
  QPalette palette = widget()->palette();
  const QColor fore = toQColor(s.foreColour.value_or(system_colour::kWindowText), palette);
  const QColor back = toQColor(s.backColour.value_or(system_colour::kWindowBackground), palette);
  palette.setColor(QPalette::Text, fore);
  palette.setColor(QPalette::Base, back);
  widget()->setPalette(palette);
  if (line_) {
    line_->setAlignment(toQtAlignment(s.alignment));
    const QString border = s.border == Border::Flat
                               ? "1px solid palette(shadow)"
                               : (s.border == Border::None ? "none" : "2px inset palette(mid)");
    line_->setStyleSheet(
        QString("QLineEdit { border: %1; padding: 0px; color: %2; background: %3; }")
            .arg(border, fore.name(), back.name()));
  } else {
    multi_->setLineWrapMode(QPlainTextEdit::NoWrap);
    multi_->setFrameStyle(s.border == Border::Flat   ? (QFrame::Box | QFrame::Plain)
                          : s.border == Border::None ? QFrame::NoFrame
                                                     : (QFrame::StyledPanel | QFrame::Sunken));
    const bool horizontal =
        s.scrollBars == ScrollBars::Horizontal || s.scrollBars == ScrollBars::Both;
    const bool vertical = s.scrollBars == ScrollBars::Vertical || s.scrollBars == ScrollBars::Both;
    multi_->setHorizontalScrollBarPolicy(horizontal ? Qt::ScrollBarAsNeeded
                                                    : Qt::ScrollBarAlwaysOff);
    multi_->setVerticalScrollBarPolicy(vertical ? Qt::ScrollBarAsNeeded : Qt::ScrollBarAlwaysOff);
  }
}

void QtTextBox::showText() {
  updating_ = true;
  if (line_) {
    line_->setText(QString::fromStdString(text_));
    line_->setCursorPosition(0);
  } else {
    multi_->setPlainText(toWidgetText(text_));
  }
  updating_ = false;
  caret_ = 0;
  lastWidgetCaret_ = -1;
}

void QtTextBox::setText(const std::string& text) {
  text_ = text;
  showText();
}

std::size_t QtTextBox::widgetToModel(int widgetPosition) const {
  // Walk the text counting widget characters: "\r\n" is one, a UTF-8 sequence is
  // one (two for characters outside the basic plane, as in UTF-16).
  std::size_t i = 0;
  int counted = 0;
  while (i < text_.size() && counted < widgetPosition) {
    const unsigned char c = static_cast<unsigned char>(text_[i]);
    if (c == '\r' && i + 1 < text_.size() && text_[i + 1] == '\n') {
      i += 2;
    } else if (c >= 0xF0) {
      i += 4;
      ++counted;
    } else if (c >= 0xE0) {
      i += 3;
    } else if (c >= 0xC0) {
      i += 2;
    } else {
      ++i;
    }
    ++counted;
  }
  return std::min(i, text_.size());
}

void QtTextBox::insertAtCaret(const std::string& text) {
  updating_ = true;
  if (line_) {
    const int start = line_->hasSelectedText() ? line_->selectionStart() : line_->cursorPosition();
    const int length =
        line_->hasSelectedText() ? static_cast<int>(line_->selectedText().size()) : 0;
    const std::size_t from = widgetToModel(start);
    const std::size_t to = widgetToModel(start + length);
    text_.replace(from, to - from, text);
    line_->insert(QString::fromStdString(text));
    caret_ = from + text.size();
  } else {
    QTextCursor cursor = multi_->textCursor();
    std::size_t from;
    std::size_t to;
    if (!cursor.hasSelection() && cursor.position() == lastWidgetCaret_) {
      from = to = caret_;
    } else {
      from = widgetToModel(cursor.selectionStart());
      to = widgetToModel(cursor.selectionEnd());
    }
    text_.replace(from, to - from, text);
    cursor.insertText(toWidgetText(text));
    multi_->setTextCursor(cursor);
    caret_ = from + text.size();
    lastWidgetCaret_ = cursor.position();
  }
  updating_ = false;
}

void QtTextBox::setFocus() {
  widget()->setFocus(Qt::OtherFocusReason);
}

void QtTextBox::takeUserEdit() {
  if (line_) {
    text_ = line_->text().toStdString();
  } else {
    text_ = fromWidgetText(multi_->toPlainText(), true);
  }
  caret_ = text_.size();
  lastWidgetCaret_ = -1;
}

}  // namespace toolkit::qt
