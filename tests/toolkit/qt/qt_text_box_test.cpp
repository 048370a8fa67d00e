#include <gtest/gtest.h>

#include <QApplication>
#include <QPlainTextEdit>

#include "tests/toolkit/test_form.h"

namespace toolkit_tests {
namespace {

using toolkit::ControlKind;

class QtTextBox : public ::testing::Test {
 protected:
  std::unique_ptr<toolkit::Backend> backend = tests_support::makeTestBackend();
  toolkit::Application app{*backend, "Test App"};
};

// The widget gets a multi-line box's pieces once per event. Writing a report
// in one event must leave the same text and caret, in the box and in its
// widget, as handing the widget every piece on its own, wherever the caret or
// selection stood and whatever the pieces hold (line ends, accents, a
// character outside the basic plane).
TEST_F(QtTextBox, ThousandPiecesInOneEventMatchPieceByPiece) {
  struct Case {
    const char* what;
    std::string initial;
    int selectFrom, selectTo;  // in the widget's characters; -1: leave the caret alone
  } cases[] = {
      {"empty box", "", -1, -1},
      {"caret at the start", "head\r\ntail", -1, -1},
      {"selection across a line end",
       "h\xc3\xa9"
       "ad\r\ntail",
       2, 7},
      {"caret after an astral character", "\xf0\x9d\x84\x9e\r\nend", 2, 2},
  };
  const std::string pieces[] = {"\tName = ", "\xc3\xa9t\xc3\xa9", "\r\n", "\xf0\x9d\x84\x9e", "x"};
  toolkit::WindowLayout w;
  w.clientWidth = w.clientHeight = 3000;
  auto old = entry(ControlKind::TextBox, "old", 0, 0, 3000, 1500);
  old.multiLine = true;
  auto now = entry(ControlKind::TextBox, "now", 0, 1500, 3000, 1500);
  now.multiLine = true;
  w.controls = {old, now};
  TestForm form(app, w);
  form.show();
  const auto widget = [](const char* name) {
    for (QWidget* top : QApplication::topLevelWidgets()) {
      if (auto* found = top->findChild<QPlainTextEdit*>(name)) return found;
    }
    return static_cast<QPlainTextEdit*>(nullptr);
  };
  for (const auto& c : cases) {
    std::string inserted;
    for (int i = 0; i < 1000; ++i) inserted += pieces[i % 5];
    for (const char* name : {"old", "now"}) {
      auto& box = form.textBox(name);
      box.setText(c.initial);
      QCoreApplication::processEvents();
      if (c.selectFrom >= 0) {
        QTextCursor cursor = widget(name)->textCursor();
        cursor.setPosition(c.selectFrom);
        cursor.setPosition(c.selectTo, QTextCursor::KeepAnchor);
        widget(name)->setTextCursor(cursor);
      }
      for (int i = 0; i < 1000; ++i) {
        box.insertAtCaret(pieces[i % 5]);
        if (std::string(name) == "old") QCoreApplication::processEvents();
      }
      QCoreApplication::processEvents();
    }
    auto& a = form.textBox("old");
    auto& b = form.textBox("now");
    EXPECT_EQ(b.text(), a.text()) << c.what;
    EXPECT_EQ(b.caret(), a.caret()) << c.what;
    EXPECT_EQ(widget("now")->toPlainText().toStdString(),
              widget("old")->toPlainText().toStdString())
        << c.what;
    EXPECT_EQ(widget("now")->textCursor().position(), widget("old")->textCursor().position())
        << c.what;
    // And both are the initial text with its selection replaced by the pieces.
    const QString before = QString::fromStdString(c.initial).replace("\r\n", "\n");
    const int from = std::max(c.selectFrom, 0);
    const int to = std::max(c.selectTo, 0);
    const QString expected =
        before.left(from) + QString::fromStdString(inserted).replace("\r\n", "\n") + before.mid(to);
    EXPECT_EQ(widget("now")->toPlainText().toStdString(), expected.toStdString()) << c.what;
    EXPECT_EQ(widget("now")->textCursor().position(),
              from + QString::fromStdString(inserted).replace("\r\n", "\n").size())
        << c.what;
    EXPECT_EQ(QString::fromStdString(b.text()).replace("\r\n", "\n").toStdString(),
              expected.toStdString())
        << c.what;
  }
  form.unload();
}

}  // namespace
}  // namespace toolkit_tests
