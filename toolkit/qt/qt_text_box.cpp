#include "toolkit/qt/qt_text_box.h"

#include <QEvent>
#include <QFontMetricsF>
#include <QMetaObject>
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

void PendingTextFlush::schedule() {
  if (scheduled_) return;
  scheduled_ = true;
  // Queued on this object: dropped with it when the text box goes first.
  QMetaObject::invokeMethod(
      this,
      [this] {
        if (scheduled_) flush_();
      },
      Qt::QueuedConnection);
}

bool PendingTextFlush::eventFilter(QObject* watched, QEvent* event) {
  if (scheduled_) {
    switch (event->type()) {
      case QEvent::KeyPress:
      case QEvent::InputMethod:
      case QEvent::ShortcutOverride:
      case QEvent::MouseButtonPress:
      case QEvent::MouseButtonDblClick:
      case QEvent::ContextMenu:
      case QEvent::DragEnter:
        flush_();
        break;
      default:
        break;
    }
  }
  return QObject::eventFilter(watched, event);
}

QtTextBox::QtTextBox(const ControlLayout& layout, QWidget* parent, ControlContext context)
    : QtControl<TextBox>(layout, makeWidget(layout, parent), std::move(context)) {
  line_ = qobject_cast<QLineEdit*>(widget());
  multi_ = qobject_cast<QPlainTextEdit*>(widget());
  styleWidget();
  buffer_.setText(layout.text);
  if (line_) {
    QObject::connect(line_, &QLineEdit::textEdited, line_, [this] { takeUserEdit(); });
  } else {
    pendingFlush_ = std::make_unique<PendingTextFlush>([this] { flush(); });
    pendingFlush_->watch(multi_);
    pendingFlush_->watch(multi_->viewport());
    QObject::connect(multi_, &QPlainTextEdit::textChanged, multi_, [this] {
      if (!updating_) takeUserEdit();
    });
  }
  flush();  // the layout's text is there from the first paint
  initialise();
  if (multi_) {
    // Tab stops every eight average characters, as edit controls set them;
    // report lines start with a tab.
    multi_->setTabStopDistance(8 * QFontMetricsF(multi_->font()).averageCharWidth());
    // The Tab key moves on along the tab order, as in every other control.
    multi_->setTabChangesFocus(true);
  }
}

void QtTextBox::styleWidget() {
  const ControlLayout& s = layout();
  QPalette palette = widget()->palette();
  const TextColours colours = textColours(s, true, currentScheme());
  const QColor fore = toQColor(colours.text);
  const QColor back = toQColor(colours.face.value_or(system_colour::kWindowBackground));
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

void QtTextBox::setText(const std::string& text) {
  buffer_.setText(text);
  changed();
}

void QtTextBox::insertAtCaret(const std::string& text) {
  std::size_t start = 0;
  std::size_t end = 0;
  if (buffer_.pending() == TextBuffer::Pending::None && widget()) {
    if (line_) {
      const bool selected = line_->hasSelectedText();
      start =
          static_cast<std::size_t>(selected ? line_->selectionStart() : line_->cursorPosition());
      end = start + (selected ? static_cast<std::size_t>(line_->selectedText().size()) : 0);
    } else {
      const QTextCursor cursor = multi_->textCursor();
      start = static_cast<std::size_t>(cursor.selectionStart());
      end = static_cast<std::size_t>(cursor.selectionEnd());
    }
  }
  buffer_.insertAtCaret(text, start, end);
  changed();
}

void QtTextBox::changed() {
  // A line edit is cheap to update and is read back at once by the main
  // window's users; a multi-line box waits for the end of the event.
  if (pendingFlush_)
    pendingFlush_->schedule();
  else
    flush();
}

void QtTextBox::flush() {
  if (pendingFlush_) pendingFlush_->cancel();
  if (buffer_.pending() == TextBuffer::Pending::None || !widget()) return;
  updating_ = true;
  if (line_) {
    if (buffer_.pending() == TextBuffer::Pending::Whole) {
      line_->setText(QString::fromStdString(buffer_.text()));
      line_->setCursorPosition(static_cast<int>(buffer_.nativeCaret()));
    } else {
      line_->setSelection(static_cast<int>(buffer_.nativeFrom()),
                          static_cast<int>(buffer_.nativeLength()));
      line_->insert(QString::fromStdString(std::string(buffer_.spanText())));
    }
    buffer_.markApplied(static_cast<std::size_t>(line_->cursorPosition()));
  } else {
    const std::size_t caret = buffer_.nativeCaret();
    QTextCursor cursor = multi_->textCursor();
    if (buffer_.pending() == TextBuffer::Pending::Whole) {
      multi_->setPlainText(toWidgetText(buffer_.text()));
      cursor = multi_->textCursor();
    } else {
      cursor.setPosition(static_cast<int>(buffer_.nativeFrom()));
      cursor.setPosition(static_cast<int>(buffer_.nativeFrom() + buffer_.nativeLength()),
                         QTextCursor::KeepAnchor);
      cursor.insertText(toWidgetText(std::string(buffer_.spanText())));
    }
    cursor.setPosition(std::min(static_cast<int>(caret), multi_->document()->characterCount() - 1));
    multi_->setTextCursor(cursor);
    buffer_.markApplied(static_cast<std::size_t>(cursor.position()));
  }
  updating_ = false;
}

void QtTextBox::setFocus() {
  widget()->setFocus(Qt::OtherFocusReason);
}

void QtTextBox::takeUserEdit() {
  if (line_) {
    buffer_.takeEdit(line_->text().toStdString());
  } else {
    buffer_.takeEdit(fromWidgetText(multi_->toPlainText(), true));
  }
}

}  // namespace toolkit::qt
