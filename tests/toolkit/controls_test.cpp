#include <gtest/gtest.h>

#include <QApplication>
#include <QWidget>

#include "tests/toolkit/test_form.h"
#include "toolkit/qt/qt_convert.h"
#include "toolkit/qt/qt_window.h"

namespace toolkit_tests {
namespace {

using toolkit::ControlKind;

class Controls : public ::testing::Test {
 protected:
  toolkit::qt::QtBackend backend{true};
  toolkit::Application app{backend, "Test App"};
};

TEST_F(Controls, TimerTicksOnlyWhenEnabledWithAnInterval) {
  toolkit::WindowLayout w;
  w.clientWidth = w.clientHeight = 1500;
  auto zero = entry(ControlKind::Timer, "zero", 0, 0, 0, 0);
  auto off = entry(ControlKind::Timer, "off", 0, 0, 0, 0);
  off.interval = 10;
  off.enabled = false;
  auto on = entry(ControlKind::Timer, "on", 0, 0, 0, 0);
  on.interval = 10;
  w.controls = {zero, off, on};
  TestForm form(app, w);
  form.load();
  pump(200);
  const auto ticks = [&](const std::string& name) {
    return std::count(form.events.begin(), form.events.end(), "Timer " + name);
  };
  EXPECT_EQ(ticks("zero"), 0);
  EXPECT_EQ(ticks("off"), 0);
  EXPECT_GT(ticks("on"), 2);

  form.timer("on").setEnabled(false);
  form.events.clear();
  pump(100);
  EXPECT_EQ(ticks("on"), 0);
  form.unload();  // a loaded window's timers die with it
  pump(50);
}

TEST_F(Controls, NestedGeometryKeepsSharedEdgesAndOverlaps) {
  toolkit::WindowLayout w;
  w.clientWidth = 5490;
  w.clientHeight = 2940;
  auto picture = entry(ControlKind::PictureBox, "pic", 0, 360, 5520, 2625);
  picture.border = toolkit::Border::Flat;
  auto a = entry(ControlKind::CommandButton, "a", 1580, 2040, 350, 340);
  a.parent = "pic";
  auto b = entry(ControlKind::CommandButton, "b", 1920, 2040, 350, 340);  // overlaps a by 10
  b.parent = "pic";
  auto c = entry(ControlKind::CheckBox, "c", 240, 2040, 1335, 340);  // ends 5 before a
  c.parent = "pic";
  w.controls = {a, b, c, picture};
  TestForm form(app, w);
  form.show();
  QWidget* top = nullptr;
  for (QWidget* widget : QApplication::topLevelWidgets()) {
    if (widget->isVisible() && widget->findChild<QWidget*>("pic")) top = widget;
  }
  ASSERT_NE(top, nullptr);
  const auto rectOf = [&](const char* name) {
    QWidget* child = top->findChild<QWidget*>(name);
    return child ? QRect(child->mapTo(top, QPoint(0, 0)), child->size()) : QRect();
  };
  // Children of a bordered picture box sit inside its one-pixel border.
  EXPECT_EQ(rectOf("pic"), QRect(0, 24, 368, 175));
  EXPECT_EQ(rectOf("a"), QRect(1 + 105, 1 + 24 + 136, 24, 23));
  EXPECT_EQ(rectOf("b").left(), 1 + 128);
  EXPECT_LT(rectOf("c").right(), rectOf("a").left()) << "a 5-twip gap stays a gap";
  EXPECT_LT(rectOf("b").left(), rectOf("a").right() + 1) << "a 10-twip overlap stays an overlap";
  // Front to back: the first listed child is drawn above the others.
  EXPECT_EQ(top->childAt(rectOf("a").right(), rectOf("a").center().y())->objectName(), "a");
  EXPECT_EQ(form.control("b").left(), 1920);
  form.control("b").setTop(1710);
  EXPECT_EQ(form.control("b").top(), 1710) << "what the logic sets is what it reads back";
  form.unload();
}

TEST_F(Controls, EdgesAreRoundedNotWidths) {
  // 1580+350 = 1930 and 1920: the two boxes overlap in pixels too.
  const QRect a = toolkit::qt::toPixels(1580, 2040, 350, 340);
  const QRect b = toolkit::qt::toPixels(1920, 2040, 350, 340);
  EXPECT_GE(a.right() + 1, b.left());
  const QRect left = toolkit::qt::toPixels(0, 0, 2250, 10);
  const QRect right = toolkit::qt::toPixels(2250, 0, 100, 10);
  EXPECT_EQ(left.right() + 1, right.left()) << "adjoining boxes stay adjoining";
}

TEST_F(Controls, SystemColoursComeFromThePalette) {
  QPalette p;
  p.setColor(QPalette::Base, QColor(1, 2, 3));
  p.setColor(QPalette::WindowText, QColor(4, 5, 6));
  p.setColor(QPalette::Text, QColor(7, 8, 9));
  p.setColor(QPalette::Button, QColor(10, 11, 12));
  struct Case {
    toolkit::Colour colour;
    QColor expected;
  } cases[] = {
      {0x80000005, QColor(1, 2, 3)},   {0x80000007, QColor(4, 5, 6)},
      {0x80000008, QColor(7, 8, 9)},   {0x8000000F, QColor(10, 11, 12)},
      {0x0000FF00, QColor(0, 255, 0)}, {0x000000FF, QColor(255, 0, 0)},
      {0x00FF0000, QColor(0, 0, 255)},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(toolkit::qt::toQColor(c.colour, p), c.expected) << std::hex << c.colour;
  }
}

}  // namespace
}  // namespace toolkit_tests
