// When the gathering ends a screen reader hears the status wherever the focus
// is, and the focus stays where it was; a reload from the keyboard gives the
// focus back to Reload once it shows again, and is announced the same way.

#include "tests/main_window/main_window_fixture.h"

namespace main_window_tests {
namespace {

TEST_F(MainWindowTest, TheStatusIsAnnouncedAndTheFocusStaysWhereItWas) {
  internet.defaultReply = fakes::FakeInternetTransfer::ok("203.0.113.7");
  startUp();
  auto screen = std::make_unique<tests_support::Screen>(form());
  if (!screen->focus("SSTTab0")) GTEST_SKIP() << "this display gives no window the keyboard";
  for (int i = 0; i < 20; ++i) tick();
  EXPECT_EQ(screen->accessibleValue("chkstatus"), "LAN And WAN - Online");
  EXPECT_EQ(form().controls().chkstatus.toolTip(), "The internet answers.");
  EXPECT_EQ(
      screen->announcements(),
      (std::vector<std::string>{"Online Status: LAN And WAN - Online. The internet answers."}));
  EXPECT_EQ(screen->focusedControl(), "SSTTab0");

  screen->focus("chkReload");
  screen->pressKey("Enter");
  screen.reset();  // that window is gone
  startUp();
  screen = std::make_unique<tests_support::Screen>(form());
  EXPECT_NE(screen->focusedControl(), "chkReload") << "hidden while gathering";
  for (int i = 0; i < 20; ++i) tick();
  EXPECT_EQ(screen->focusedControl(), "chkReload");
  EXPECT_EQ(
      screen->announcements(),
      (std::vector<std::string>{"Online Status: LAN And WAN - Online. The internet answers."}));
}

}  // namespace
}  // namespace main_window_tests
