// The main window's layout as the toolkit draws it at the screen's dpi (the
// Windows build runs these at 96, 144 and 192): every control where its twips
// put it, the pictures grown with it, stacked and tab-ordered as laid out, the pages
// switching without touching values, clicks reaching only enabled controls,
// the progress bar drawn in the colours it is sent. What screen readers and
// the keyboard meet is in accessibility_test.cpp.

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "main_window/form1_layout.h"
#include "main_window/resources.h"
#include "tests/main_window_layout/layout_only_form.h"
#include "tests/support/test_backend.h"
#include "toolkit/application.h"
#include "toolkit/form.h"
#include "toolkit/in_view.h"

namespace main_window {
namespace {

using tests_support::ScreenRect;
using toolkit::ControlKind;
using toolkit::ControlLayout;

std::string nameOf(const ControlLayout& c) {
  return c.index >= 0 ? c.name + "(" + std::to_string(c.index) + ")" : c.name;
}

bool drawn(const ControlLayout& c) {
  return c.kind != ControlKind::Timer && c.kind != ControlKind::InternetTransfer &&
         c.kind != ControlKind::Winsock;
}

class RenderedLayout : public ::testing::Test {
 protected:
  void SetUp() override {
    form.load();
    screen = std::make_unique<tests_support::Screen>(form);
  }

  void TearDown() override {
    screen.reset();
    form.unload();
    tests_support::flushClosedWindows();
  }

  bool shown(const std::string& name) const { return screen->shown(name); }

  const ControlLayout& entry(const std::string& name, int index = -1) const {
    for (const auto& c : layout.controls) {
      if (c.name == name && c.index == index) return c;
    }
    ADD_FAILURE() << name;
    return layout.controls.front();
  }

  void showPage(int page) {
    screen->clickTab("SSTTab0", page);
    tests_support::pump(20);
  }

  // Where a control's box lies in the window, in pixels at the window's dpi,
  // from the layout alone: a picture box's children start inside its
  // one-pixel border, which stays one pixel at any dpi.
  ScreenRect expectedRect(const ControlLayout& c) const {
    const double pixel = screen->dpi() / 1440.0;  // per twip
    double x = 0, y = 0;
    for (const ControlLayout* p = &c; !p->parent.empty();) {
      p = &entry(p->parent);
      x += p->left * pixel;
      y += p->top * pixel;
      if (p->kind == ControlKind::PictureBox && p->border != toolkit::Border::None) {
        x += 1;
        y += 1;
      }
    }
    const int left = static_cast<int>(std::lround(x + c.left * pixel));
    const int top = static_cast<int>(std::lround(y + c.top * pixel));
    const int right = static_cast<int>(std::lround(x + (c.left + c.width) * pixel));
    const int bottom = static_cast<int>(std::lround(y + (c.top + c.height) * pixel));
    return ScreenRect{left, top, right - left, bottom - top};
  }

  void expectEveryControlWhereItsTwipsPutIt() const {
    const double scale = screen->dpi() / 96.0;
    EXPECT_NEAR(screen->clientWidth(), 366 * scale, 1) << screen->dpi() << " dpi";
    EXPECT_NEAR(screen->clientHeight(), 196 * scale, 1) << screen->dpi() << " dpi";
    for (const auto& c : layout.controls) {
      if (!drawn(c)) continue;
      const auto actual = screen->rectOf(c.name, c.index);
      if (!toolkit::liesInWindow(layout, c)) {
        // It could never be seen: it is not in the window at all.
        EXPECT_FALSE(actual.has_value()) << nameOf(c);
        EXPECT_FALSE(screen->shown(c.name, c.index)) << nameOf(c);
        continue;
      }
      ASSERT_TRUE(actual.has_value()) << nameOf(c);
      const ScreenRect expected = expectedRect(c);
      EXPECT_NEAR(actual->left, expected.left, 1) << nameOf(c);
      EXPECT_NEAR(actual->top, expected.top, 1) << nameOf(c);
      EXPECT_NEAR(actual->right(), expected.right(), 1) << nameOf(c);
      EXPECT_NEAR(actual->bottom(), expected.bottom(), 1) << nameOf(c);
    }
    // What lies past the client area is cut off by the frame.
    EXPECT_GT(screen->rectOf("SSTTab0")->right(), screen->clientWidth());
    EXPECT_GT(screen->rectOf("SSTTab0")->bottom(), screen->clientHeight());
  }

  // The pictures of the black pages reach their boxes' far edges at any dpi:
  // a picture drawn at its 96-dpi size leaves the page's light button face
  // showing along the right and bottom, and the legend's rows below their labels.
  void expectPicturesFillTheirBoxes() {
    form.show();
    const std::pair<const char*, int> pictures[] = {
        {"Picture1", kWanLanPage}, {"Image1", kLegendPage}, {"Picture4", kAboutPage}};
    for (const auto& [name, page] : pictures) {
      showPage(page);
      for (const auto& [x, y] : {std::pair{0.95, 0.5}, {0.95, 0.96}, {0.05, 0.96}}) {
        const std::uint32_t colour = screen->colourAt(name, x, y);
        const std::uint32_t brightest =
            std::max({colour & 0xFF, (colour >> 8) & 0xFF, (colour >> 16) & 0xFF});
        EXPECT_LT(brightest, 0x80u) << name << " at " << x << "," << y << ": " << std::hex << colour
                                    << std::dec << " at " << screen->dpi() << " dpi";
      }
    }
    showPage(kWanLanPage);
  }

  const toolkit::WindowLayout layout =
      Form1Layout(MakerInfo{"http://maker.example.test", "mail@maker.example.test", "Someone"});
  std::unique_ptr<toolkit::Backend> backend =
      tests_support::makeTestBackend(main_window::WindowResources());
  toolkit::Application app{*backend, "Tarnwick test"};
  LayoutOnlyForm form{app, layout};
  std::unique_ptr<tests_support::Screen> screen;
};

TEST_F(RenderedLayout, EveryControlLiesWhereItsTwipsPutIt) {
  expectEveryControlWhereItsTwipsPutIt();
  expectPicturesFillTheirBoxes();
}

// A monitor of another scale (or the user's new setting) lays the window out
// again from the twips, the pictures grown with it.
TEST_F(RenderedLayout, ADpiChangeLaysTheWindowOutAgain) {
  const int before = screen->dpi();
  for (int dpi : {before * 2, before}) {
    if (!screen->changeDpi(dpi)) GTEST_SKIP() << "the toolkit scales the window itself";
    ASSERT_EQ(screen->dpi(), dpi);
    expectEveryControlWhereItsTwipsPutIt();
  }
  screen->changeDpi(before * 3 / 2);
  expectPicturesFillTheirBoxes();
}

// The title bar's icon and the task switcher's are made for the window's
// scale: on a monitor of twice the scale, of twice the pixels.
TEST_F(RenderedLayout, TheIconsFollowTheWindowsScale) {
  const auto before = screen->iconWidths();
  if (!before) GTEST_SKIP() << "the toolkit leaves the icons to the system";
  const int dpi = screen->dpi();
  ASSERT_TRUE(screen->changeDpi(dpi * 2));
  const auto twice = screen->iconWidths();
  EXPECT_NEAR(twice->first, 2 * before->first, 1);
  EXPECT_NEAR(twice->second, 2 * before->second, 1);
  screen->changeDpi(dpi);
  EXPECT_EQ(screen->iconWidths(), before);
}

// A seven-segment box reads the same while the user edits it: its face's
// stand-in needs room between the letters that an edit control does not give.
TEST_F(RenderedLayout, AFocusedSevenSegmentBoxReadsAsUnfocused) {
  form.show();
  // LAN: no sibling overlaps it (txtStatus covers WAN's last column).
  form.textBox("LAN").setText("192.0.2.10");
  const std::vector<std::uint32_t> unfocused = screen->pixels("LAN");
  if (!screen->focusForReading("LAN")) GTEST_SKIP() << "drawn the same focused or not";
  const std::vector<std::uint32_t> focused = screen->pixels("LAN");
  ASSERT_EQ(focused.size(), unfocused.size());
  EXPECT_EQ(std::count(focused.begin(), focused.end(), 0x0000FF00u),
            std::count(unfocused.begin(), unfocused.end(), 0x0000FF00u))
      << "green segments";
  EXPECT_TRUE(focused == unfocused);
}

// Siblings that overlap are stacked as listed: the earlier one in front.
TEST_F(RenderedLayout, OverlappingControlsAreStackedFrontToBack) {
  int pairs = 0;
  for (std::size_t i = 0; i < layout.controls.size(); ++i) {
    const auto& front = layout.controls[i];
    if (!drawn(front)) continue;
    for (std::size_t j = i + 1; j < layout.controls.size(); ++j) {
      const auto& back = layout.controls[j];
      if (!drawn(back) || back.parent != front.parent || front.page != back.page) continue;
      if (!expectedRect(front).intersects(expectedRect(back))) continue;
      EXPECT_TRUE(screen->stackedAbove(front.name, front.index, back.name, back.index))
          << nameOf(front) << " over " << nameOf(back);
      ++pairs;
    }
  }
  EXPECT_GE(pairs, 10);
}

// Tab visits the shown, enabled controls of the page in the layout's tab order.
TEST_F(RenderedLayout, TabKeyFollowsTheTabOrder) {
  form.show();
  std::map<std::string, int> tabIndex;
  for (const auto& c : layout.controls) tabIndex[nameOf(c)] = c.tabIndex;
  std::vector<std::string> visited = {"WAN"};
  for (int guard = 0; guard < 40; ++guard) {
    const std::string next = screen->focusAfterTab(visited.back());
    ASSERT_FALSE(next.empty()) << "after " << visited.back();
    if (next == visited.front()) break;
    visited.push_back(next);
  }
  int wraps = 0;
  for (std::size_t i = 1; i < visited.size(); ++i) {
    if (tabIndex[visited[i]] < tabIndex[visited[i - 1]]) ++wraps;
  }
  EXPECT_LE(wraps, 1) << testing::PrintToString(visited);
  for (const char* name :
       {"WAN", "LAN", "txtStatus", "WAN2", "txtLocal", "chkReload", "Ainfo1", "Ainfo2"}) {
    EXPECT_NE(std::find(visited.begin(), visited.end(), name), visited.end()) << name;
  }
  for (const char* name :
       {"chkAdp", "chkgreen", "chkstatus", "txtText1", "Brevan", "lblLocal", "txtStatus2"}) {
    EXPECT_EQ(std::find(visited.begin(), visited.end(), name), visited.end())
        << name << " is disabled, on a hidden page, outside the window or takes no focus";
  }
  showPage(kAboutPage);
  EXPECT_EQ(screen->focusAfterTab("txtText1"), "Brevan");
}

TEST_F(RenderedLayout, SwitchingPagesKeepsTheFirstPagesValues) {
  form.textBox("WAN").setText("203.0.113.7");
  form.textBox("LAN").setText("192.0.2.10");
  form.textBox("txtStatus").setText("LAN And WAN - Online");
  form.checkBox("chkred").setValue(toolkit::kChecked);
  form.checkBox("chkyellow").setCaption("WAN/LAN");
  form.progressBar("ProgressBar1").setValue(35);
  form.control("txtStatus").setVisible(false);
  const std::vector<std::string> firstPage = {"WAN", "LAN", "Picture1", "chkred", "lblWorking"};

  for (int page : {kLegendPage, kAboutPage}) {
    showPage(page);
    EXPECT_EQ(form.tabControl("SSTTab0").currentPage(), page);
    for (const auto& name : firstPage) EXPECT_FALSE(shown(name)) << name;
  }
  EXPECT_TRUE(shown("txtText1"));
  showPage(kWanLanPage);

  EXPECT_EQ(form.textBox("WAN").text(), "203.0.113.7");
  EXPECT_EQ(form.textBox("LAN").text(), "192.0.2.10");
  EXPECT_EQ(form.textBox("txtStatus").text(), "LAN And WAN - Online");
  EXPECT_EQ(form.checkBox("chkred").value(), toolkit::kChecked);
  EXPECT_EQ(form.checkBox("chkyellow").caption(), "WAN/LAN");
  EXPECT_EQ(form.progressBar("ProgressBar1").value(), 35);
  for (const auto& name : firstPage) EXPECT_TRUE(shown(name)) << name;
  // A control hidden by the program stays hidden when its page comes back.
  EXPECT_FALSE(form.control("txtStatus").visible());
  EXPECT_FALSE(shown("txtStatus"));
  EXPECT_FALSE(shown("txtText1"));
}

TEST_F(RenderedLayout, AboutTextScrollsVertically) {
  form.show();
  showPage(kAboutPage);
  EXPECT_EQ(form.textBox("txtText1").text(), entry("txtText1").text);
  EXPECT_TRUE(screen->scrolls("txtText1", true));
  EXPECT_FALSE(screen->scrolls("txtText1", false));
}

// A click where a control lies raises its event only while it is enabled; a
// disabled light or heading lets the click fall through to nothing.
TEST_F(RenderedLayout, ClicksReachOnlyEnabledControls) {
  form.show();
  form.control("lblWorking").setVisible(false);  // it lies over "Your Wan Ip Is:"
  for (const char* name : {"Ainfo1", "Ainfo2", "chkReload", "WAN2", "chkAdp", "chkgreen"}) {
    screen->click(name);
  }
  EXPECT_EQ(form.clicks, (std::vector<std::string>{"Ainfo1", "Ainfo2", "chkReload", "WAN2"}));
  form.clicks.clear();
  form.control("Ainfo1").setEnabled(false);
  form.control("WAN2").setEnabled(false);
  form.control("chkAdp").setEnabled(true);
  for (const char* name : {"Ainfo1", "WAN2", "chkAdp"}) screen->click(name);
  EXPECT_EQ(form.clicks, (std::vector<std::string>{"chkAdp"}));
  EXPECT_EQ(form.checkBox("chkAdp").value(), toolkit::kChecked) << "a click toggles a check box";
  EXPECT_TRUE(screen->accessiblePressed("chkAdp")) << "and screen readers read it pressed in";
}

// The colour messages reach the bar itself: it draws green on black.
TEST_F(RenderedLayout, ProgressBarDrawsTheColoursItIsSent) {
  form.show();
  auto& bar = form.progressBar("ProgressBar1");
  bar.sendMessage(toolkit::kSetBackgroundColourMessage, 0, 0x00000000);
  bar.sendMessage(toolkit::kSetBarColourMessage, 0, 0x0000FF00);
  tests_support::pump(20);
  EXPECT_EQ(screen->colourAt("ProgressBar1", 0.5, 0.5), 0x00000000u) << "empty bar";
  bar.setValue(100);
  tests_support::pump(20);
  int green = 0;
  for (int i = 1; i < 10; ++i) {
    if (screen->colourAt("ProgressBar1", i / 10.0, 0.5) == 0x0000FF00u) ++green;
  }
  EXPECT_GE(green, 5) << "a full bar is drawn in the bar colour";
}

}  // namespace
}  // namespace main_window
