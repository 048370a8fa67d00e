#include <gtest/gtest.h>

#include <algorithm>

#include "tests/toolkit/test_form.h"
#include "toolkit/display.h"

namespace toolkit_tests {
namespace {

using toolkit::ControlKind;

class TextAndPages : public ::testing::Test {
 protected:
  std::unique_ptr<toolkit::Backend> backend = tests_support::makeTestBackend();
  toolkit::Application app{*backend, "Test App"};
};

TEST_F(TextAndPages, InsertAtCaretAppendsPiecesAndKeepsLineEnds) {
  toolkit::WindowLayout w;
  w.clientWidth = w.clientHeight = 3000;
  auto multi = entry(ControlKind::TextBox, "out", 0, 0, 3000, 3000);
  multi.multiLine = true;
  multi.scrollBars = toolkit::ScrollBars::Both;
  auto single = entry(ControlKind::TextBox, "one", 0, 0, 3000, 300);
  w.controls = {multi, single};
  TestForm form(app, w);
  form.load();
  for (auto* name : {"out", "one"}) {
    auto& box = form.textBox(name);
    box.setText("");
    EXPECT_EQ(box.caret(), 0);
    const char* pieces[] = {"3 adapter(s) found.", "\r\n\r\n", "\tName = ", "été", "\r\n"};
    std::string expected;
    for (const char* piece : pieces) {
      box.insertAtCaret(piece);
      expected += piece;
      EXPECT_EQ(box.text(), expected) << name;
      // In characters, as the control counts them: "été" is three.
      const auto characters = std::count_if(expected.begin(), expected.end(), [](char c) {
        return (static_cast<unsigned char>(c) & 0xC0) != 0x80;
      });
      EXPECT_EQ(box.caret(), static_cast<int>(characters)) << name;
    }
    box.setText("abc");
    box.insertAtCaret("X");  // caret is at 0 after setting the text
    EXPECT_EQ(box.text(), "Xabc") << name;
  }
}

// A multi-line box's control gets the pieces once per event. Writing a report
// in one event must leave the same text and caret, in the box and in its
// control, as handing the control every piece on its own, wherever the caret
// or selection stood and whatever the pieces hold (line ends, accents, a
// character outside the basic plane).
TEST_F(TextAndPages, ThousandPiecesInOneEventMatchPieceByPiece) {
  struct Case {
    const char* what;
    std::string initial;
    bool select;
    std::size_t from, to;  // bytes of the shown text ("\n" line breaks)
  } cases[] = {
      {"empty box", "", false, 0, 0},
      {"caret at the start", "head\r\ntail", false, 0, 0},
      {"selection across a line end",
       "h\xc3\xa9"
       "ad\r\ntail",
       true, 3, 8},
      {"caret after an astral character", "\xf0\x9d\x84\x9e\r\nend", true, 4, 4},
  };
  const std::string pieces[] = {"\tName = ", "\xc3\xa9t\xc3\xa9", "\r\n", "\xf0\x9d\x84\x9e", "x"};
  const auto shown = [](std::string s) {
    for (auto at = s.find("\r\n"); at != std::string::npos; at = s.find("\r\n", at)) s.erase(at, 1);
    return s;
  };
  toolkit::WindowLayout w;
  w.clientWidth = w.clientHeight = 3000;
  auto old = entry(ControlKind::TextBox, "old", 0, 0, 3000, 1500);
  old.multiLine = true;
  auto now = entry(ControlKind::TextBox, "now", 0, 1500, 3000, 1500);
  now.multiLine = true;
  w.controls = {old, now};
  TestForm form(app, w);
  form.show();
  tests_support::Screen screen(form);
  for (const auto& c : cases) {
    std::string inserted;
    for (int i = 0; i < 1000; ++i) inserted += pieces[i % 5];
    for (const char* name : {"old", "now"}) {
      auto& box = form.textBox(name);
      box.setText(c.initial);
      tests_support::processEvents();
      if (c.select) screen.select(name, c.from, c.to);
      for (int i = 0; i < 1000; ++i) {
        box.insertAtCaret(pieces[i % 5]);
        if (std::string(name) == "old") tests_support::processEvents();
      }
      tests_support::processEvents();
    }
    auto& a = form.textBox("old");
    auto& b = form.textBox("now");
    EXPECT_EQ(b.text(), a.text()) << c.what;
    EXPECT_EQ(b.caret(), a.caret()) << c.what;
    EXPECT_EQ(screen.shownText("now"), screen.shownText("old")) << c.what;
    EXPECT_EQ(screen.shownCaret("now"), screen.shownCaret("old")) << c.what;
    // And both are the initial text with its selection replaced by the pieces.
    const std::string before = shown(c.initial);
    const std::string expected = before.substr(0, c.from) + shown(inserted) + before.substr(c.to);
    EXPECT_EQ(screen.shownText("now"), expected) << c.what;
    EXPECT_EQ(screen.shownCaret("now"), c.from + shown(inserted).size()) << c.what;
    EXPECT_EQ(shown(b.text()), expected) << c.what;
  }
  form.unload();
}

TEST_F(TextAndPages, SwitchingPagesKeepsEveryControlsOwnValues) {
  toolkit::WindowLayout w;
  w.clientWidth = 3000;
  w.clientHeight = 3000;
  auto tabs = entry(ControlKind::TabControl, "tabs", 0, 0, 3000, 3000);
  tabs.tabCaptions = {"A", "B"};
  tabs.tabHeight = 300;
  auto first = entry(ControlKind::TextBox, "first", 0, 360, 1000, 300);
  first.parent = "tabs";
  first.page = 0;
  auto hidden = entry(ControlKind::Label, "hidden", 0, 800, 1000, 300);
  hidden.parent = "tabs";
  hidden.page = 0;
  auto second = entry(ControlKind::Label, "second", 0, 360, 1000, 300);
  second.parent = "tabs";
  second.page = 1;
  w.controls = {first, hidden, second, tabs};
  TestForm form(app, w);
  form.show();
  form.textBox("first").setText("kept");
  form.label("hidden").setVisible(false);
  auto& pages = form.tabControl("tabs");
  EXPECT_EQ(pages.currentPage(), 0);
  pages.setCurrentPage(1);
  pages.setCurrentPage(0);
  EXPECT_EQ(form.textBox("first").text(), "kept");
  EXPECT_TRUE(form.textBox("first").visible());
  EXPECT_FALSE(form.label("hidden").visible()) << "page switching must not show a hidden control";
  form.unload();
}

TEST(Display, IsDetectedFromEitherVariable) {
  EXPECT_FALSE(toolkit::hasDisplay(nullptr, nullptr));
  EXPECT_FALSE(toolkit::hasDisplay("", ""));
  EXPECT_TRUE(toolkit::hasDisplay(":0", nullptr));
  EXPECT_TRUE(toolkit::hasDisplay(nullptr, "wayland-0"));
}

}  // namespace
}  // namespace toolkit_tests
