#include <gtest/gtest.h>

#include "toolkit/qt/qt_convert.h"
#include "toolkit/qt/qt_platform.h"

namespace toolkit_tests {
namespace {

TEST(QtConvert, EdgesAreRoundedNotWidths) {
  // 1580+350 = 1930 and 1920: the two boxes overlap in pixels too.
  const QRect a = toolkit::qt::toPixels(1580, 2040, 350, 340);
  const QRect b = toolkit::qt::toPixels(1920, 2040, 350, 340);
  EXPECT_GE(a.right() + 1, b.left());
  const QRect left = toolkit::qt::toPixels(0, 0, 2250, 10);
  const QRect right = toolkit::qt::toPixels(2250, 0, 100, 10);
  EXPECT_EQ(left.right() + 1, right.left()) << "adjoining boxes stay adjoining";
}

TEST(QtConvert, SystemColoursComeFromThePalette) {
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

TEST(QtPlatform, WaylandWithXWaylandRunsOnX11UnlessTheUserChoseAndEveryDisplayFallsBack) {
  struct Case {
    const char* display;
    const char* wayland;
    const char* chosen;
    const char* expected;
  } cases[] = {
      {nullptr, nullptr, nullptr, "offscreen"},
      {"", "", "xcb", "offscreen"},
      {":0", nullptr, nullptr, "xcb;offscreen"},
      {nullptr, "wayland-0", nullptr, "wayland;offscreen"},
      {":0", "wayland-0", nullptr, "xcb;wayland;offscreen"},
      {":0", "wayland-0", "", "xcb;wayland;offscreen"},
      {":0", "wayland-0", "wayland", "wayland;offscreen"},
      {":0", nullptr, "wayland;offscreen;xcb", "wayland;offscreen;xcb"},
      {":0", nullptr, "offscreenish", "offscreenish;offscreen"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(toolkit::qt::qtPlatformsFor(c.display, c.wayland, c.chosen), c.expected)
        << (c.display ? c.display : "-") << " " << (c.wayland ? c.wayland : "-") << " "
        << (c.chosen ? c.chosen : "-");
  }
}

}  // namespace
}  // namespace toolkit_tests
