// What screen readers and the keyboard meet in the main window, on either
// toolkit: each control called, described and given the role of what a
// sighted user sees, nothing the user cannot see, every command reached and
// worked from the keyboard with its focus in sight, and texts that keep their
// contrast when the system's colours turn dark.

#include <gtest/gtest.h>

#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "main_window/form1_layout.h"
#include "main_window/resources.h"
#include "tests/main_window_layout/layout_only_form.h"
#include "tests/support/contrast.h"
#include "tests/support/test_backend.h"
#include "toolkit/application.h"

namespace main_window {
namespace {

using tests_support::SystemColours;

class AccessibleWindow : public ::testing::Test {
 protected:
  void SetUp() override { open(); }
  void TearDown() override {
    close();
    tests_support::setSystemColours(SystemColours::Standard);
  }
  void open() {
    form.show();
    screen = std::make_unique<tests_support::Screen>(form);
  }
  void close() {
    screen.reset();
    form.unload();
    tests_support::flushClosedWindows();
  }

  const toolkit::WindowLayout layout =
      Form1Layout(MakerInfo{"http://maker.example.test", "mail@maker.example.test", "Someone"});
  std::unique_ptr<toolkit::Backend> backend =
      tests_support::makeTestBackend(main_window::WindowResources());
  toolkit::Application app{*backend, "Tarnwick test"};
  LayoutOnlyForm form{app, layout};
  std::unique_ptr<tests_support::Screen> screen;
};

// The window as it is once the gathering is done: the bar and the banner gone
// from over the command row and the first label.
void showTheResults(toolkit::Form& form) {
  form.control("lblWorking").setVisible(false);
  form.control("ProgressBar1").setVisible(false);
}

TEST_F(AccessibleWindow, ScreenReadersHearWhatASightedUserSees) {
  struct Expected {
    const char* control;
    int index;
    const char* role;
    const char* name;
    const char* description;
  };
  const Expected table[] = {
      {"WAN", -1, "edit", "Your Wan Ip Is:", ""},
      {"LAN", -1, "edit", "Your Lan Ip Is:", ""},
      {"txtLocal", -1, "edit", "Localhost:", ""},
      {"chkstatus", -1, "status", "Online Status:", ""},
      {"chkgreen", -1, "status", "Green light", ""},
      {"chkred", -1, "status", "Red light", ""},
      {"chkAdp", -1, "text", "Adapter Info", ""},
      {"chkReload", -1, "push button", "Reload", ""},
      {"Ainfo1", -1, "push button", "1", "Adapter Info"},
      {"Ainfo2", -1, "push button", "2", "Additional Adapter Info"},
      {"WAN2", -1, "link", "Your Wan Ip Is:", "WAN IP NOT SHOWING UP - CLICK HERE."},
      {"Brevan", -1, "link", "Visit http://maker.example.test", "Click to visit Quillsey"},
      {"ProgressBar1", -1, "progress bar", "Gathering Information...", ""},
      {"lblLocal", -1, "text", "Localhost:", ""},
      {"lblYourOnline", 0, "text", "Your online with modem only.",
       "Green light: Online, yellow light: WAN Only, red light pressed."},
      {"lblYourOffline", 1, "text", "Your offline.",
       "Green light pressed, yellow light pressed, red light: Offline."},
      {"Image1", -1, "picture", "Legend of the status light", ""},
  };
  for (const Expected& e : table) {
    SCOPED_TRACE(std::string(e.control) + "(" + std::to_string(e.index) + ")");
    EXPECT_EQ(screen->accessibleRole(e.control, e.index), e.role);
    EXPECT_EQ(screen->accessibleName(e.control, e.index), e.name);
    EXPECT_EQ(screen->accessibleDescription(e.control, e.index), e.description);
    EXPECT_TRUE(screen->accessible(e.control, e.index));
  }
  // Nothing the user cannot see: the marker box lies outside the window.
  EXPECT_FALSE(screen->accessible("txtStatus2"));

  // A light says its caption with its colour and reads pressed in, never checked.
  auto& green = form.checkBox("chkgreen");
  green.setCaption("Online");
  EXPECT_EQ(screen->accessibleName("chkgreen"), "Green light: Online");
  EXPECT_FALSE(screen->accessiblePressed("chkgreen"));
  green.setValue(toolkit::kChecked);
  EXPECT_TRUE(screen->accessiblePressed("chkgreen"));
  EXPECT_EQ(screen->checked("chkgreen"), std::nullopt);
  // The status box and the progress bar carry what they show as values.
  form.checkBox("chkstatus").setAccessibleValue("LAN Only - Offline");
  EXPECT_EQ(screen->accessibleValue("chkstatus"), "LAN Only - Offline");
  form.progressBar("ProgressBar1").setValue(35);
  EXPECT_NE(screen->accessibleValue("ProgressBar1").find("35"), std::string::npos);
}

TEST_F(AccessibleWindow, TheKeyboardWorksEveryCommand) {
  showTheResults(form);
  const std::pair<const char*, const char*> presses[] = {
      {"chkReload", "Enter"}, {"Ainfo1", "Enter"}, {"Ainfo2", "Space"},
      {"WAN2", "Enter"},      {"WAN2", "Space"},
  };
  for (const auto& [control, key] : presses) {
    screen->focus(control);
    ASSERT_EQ(screen->focusedControl(), control);
    screen->pressKey(key);
  }
  EXPECT_EQ(form.clicks,
            (std::vector<std::string>{"chkReload", "Ainfo1", "Ainfo2", "WAN2", "WAN2"}));

  // The pages turn from anywhere in the window; the row of tabs then has the
  // focus and says which page shows.
  auto& tabs = form.tabControl("SSTTab0");
  screen->focus("WAN");
  const std::pair<const char*, int> turns[] = {
      {"Ctrl+Tab", kLegendPage},      {"Ctrl+PgDn", kAboutPage},  {"Ctrl+Tab", kWanLanPage},
      {"Ctrl+Shift+Tab", kAboutPage}, {"Ctrl+PgUp", kLegendPage}, {"Ctrl+PgDn", kAboutPage},
  };
  for (const auto& [key, page] : turns) {
    screen->pressKey(key);
    EXPECT_EQ(tabs.currentPage(), page) << key;
    EXPECT_EQ(screen->focusedControl(), "SSTTab0") << key;
  }
  form.clicks.clear();
  screen->focus("txtText1");
  screen->pressKey("Tab");
  EXPECT_EQ(screen->focusedControl(), "Brevan");
  screen->pressKey("Space");
  EXPECT_EQ(form.clicks, (std::vector<std::string>{"Brevan"}));
}

TEST_F(AccessibleWindow, TheFocusShowsOnEveryControlTheKeyboardReaches) {
  showTheResults(form);
  for (const char* control : {"chkReload", "Ainfo1", "Ainfo2", "WAN2"}) {
    SCOPED_TRACE(control);
    screen->focus("WAN");
    int width = 0;
    const std::vector<std::uint32_t> unfocused = screen->pixels(control, &width);
    if (unfocused.empty()) continue;  // drawn by its container, with no window of its own
    // Reached by the keyboard, so the system shows focus rectangles too.
    screen->focus(control);
    screen->pressKey("Shift+Tab");
    screen->pressKey("Tab");
    ASSERT_EQ(screen->focusedControl(), control);
    const std::vector<std::uint32_t> focused = screen->pixels(control);
    ASSERT_EQ(focused.size(), unfocused.size());
    int changed = 0;
    for (std::size_t i = 0; i < focused.size(); ++i) changed += focused[i] != unfocused[i];
    // A ring two pixels wide inside the edge, more than a thin dotted line.
    const int height = static_cast<int>(focused.size()) / width;
    const int ring = 4 * (width + height) - 64;
    EXPECT_GE(changed, ring * 3 / 4) << changed << " pixels changed; a ring has " << ring;
  }
}

// No text falls below 4.5:1 because a system colour changed under a fixed
// one: measured from the pixels drawn, in the standard colours and in dark
// ones, in a window made under them and in one that follows the change.
TEST_F(AccessibleWindow, TextsKeepTheirContrastWhenTheColoursTurnDark) {
  const auto fill = [&] {
    showTheResults(form);
    form.textBox("WAN").setText("203.0.113.7");
    form.textBox("LAN").setText("192.168.0.5");
    form.textBox("txtLocal").setText("127.0.0.1");
    form.checkBox("chkgreen").setCaption("Online");
    form.checkBox("chkyellow").setCaption("WAN Only");
    form.checkBox("chkred").setCaption("Offline");
  };
  struct Box {
    const char* control;
    int margin;             // bevel or border
    bool readableByDesign;  // the default look keeps the light captions' disabled grey
  };
  const Box boxes[] = {{"WAN", 2, true},       {"LAN", 2, true},        {"txtLocal", 2, true},
                       {"chkstatus", 3, true}, {"chkReload", 3, true},  {"chkAdp", 3, true},
                       {"chkgreen", 3, false}, {"chkyellow", 3, false}, {"chkred", 3, false}};
  const auto measure = [&](const char* scheme) {
    for (const Box& box : boxes) {
      int width = 0;
      const auto pixels = screen->pixels(box.control, &width);
      const auto contrast = tests_support::measureTextContrast(pixels, width, box.margin);
      ASSERT_TRUE(contrast.has_value()) << box.control << " " << scheme;
      std::printf("[ CONTRAST ] %-9s %-10s %5.2f:1 (text %06x on %06x)\n", scheme, box.control,
                  contrast->ratio, contrast->text, contrast->background);
      if (std::string(scheme) != "standard" || box.readableByDesign) {
        EXPECT_GE(contrast->ratio, 4.5) << box.control << " in the " << scheme << " colours";
      }
    }
  };
  fill();
  measure("standard");
  tests_support::setSystemColours(SystemColours::Dark);
  measure("followed");
  close();
  open();
  fill();
  measure("dark");
}

}  // namespace
}  // namespace main_window
