#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <set>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "main_window/about_text.h"
#include "main_window/form1_layout.h"
#include "main_window/resources.h"

namespace main_window {
namespace {

using toolkit::ControlKind;
using toolkit::ControlLayout;

const MakerInfo kMaker{"http://maker.example.test", "mail@maker.example.test", "Someone"};

class Form1LayoutTable : public ::testing::Test {
 protected:
  const toolkit::WindowLayout window = Form1Layout(kMaker);

  const ControlLayout& find(const std::string& name, int index = -1) const {
    for (const auto& c : window.controls) {
      if (c.name == name && c.index == index) return c;
    }
    ADD_FAILURE() << "no control " << name << "(" << index << ")";
    static const ControlLayout none;
    return none;
  }
  // Position of a control in its container's front-to-back list.
  int depth(const std::string& name, int index = -1) const {
    const auto& parent = find(name, index).parent;
    int at = 0;
    for (const auto& c : window.controls) {
      if (c.parent != parent) continue;
      if (c.name == name && c.index == index) return at;
      ++at;
    }
    return -1;
  }
};

TEST_F(Form1LayoutTable, NamesAreUniqueAndParentsAreContainers) {
  std::set<std::pair<std::string, int>> seen;
  std::map<std::string, ControlKind> kinds;
  for (const auto& c : window.controls) {
    EXPECT_TRUE(seen.emplace(c.name, c.index).second) << c.name << "(" << c.index << ")";
    kinds[c.name] = c.kind;
  }
  for (const auto& c : window.controls) {
    if (c.parent.empty()) {
      EXPECT_EQ(c.page, -1) << c.name;
      continue;
    }
    ASSERT_TRUE(kinds.contains(c.parent)) << c.name << " in " << c.parent;
    const ControlKind parentKind = kinds[c.parent];
    EXPECT_TRUE(parentKind == ControlKind::TabControl || parentKind == ControlKind::PictureBox)
        << c.name;
    if (parentKind == ControlKind::TabControl) {
      EXPECT_GE(c.page, 0) << c.name;
      EXPECT_LT(c.page, 3) << c.name;
    } else {
      EXPECT_EQ(c.page, -1) << c.name;
    }
  }
  // Control arrays are complete.
  for (const char* array : {"lblYourOnline", "lblYourOffline"}) {
    EXPECT_TRUE(seen.contains({array, 0}) && seen.contains({array, 1})) << array;
  }
}

TEST_F(Form1LayoutTable, PageMembersAreOnTheirPages) {
  const std::vector<std::pair<std::vector<std::pair<std::string, int>>, int>> pages = {
      {{{"Picture1", -1}, {"WAN", -1}, {"LAN", -1}, {"txtStatus", -1}}, kWanLanPage},
      {{{"lblYourOffline", 1},
        {"lblYourOffline", 0},
        {"lblYourOnline", 1},
        {"lblYourOnline", 0},
        {"Image1", -1}},
       kLegendPage},
      {{{"Brevan", -1}, {"Picture4", -1}, {"txtText1", -1}}, kAboutPage},
  };
  std::size_t members = 0;
  for (const auto& [names, page] : pages) {
    for (const auto& [name, index] : names) {
      EXPECT_EQ(find(name, index).parent, "SSTTab0") << name;
      EXPECT_EQ(find(name, index).page, page) << name;
      ++members;
    }
  }
  EXPECT_EQ(std::count_if(window.controls.begin(), window.controls.end(),
                          [](const ControlLayout& c) { return c.parent == "SSTTab0"; }),
            static_cast<long>(members));
}

// One tab order over all containers: no index twice, none left out (where
// the order leads the keyboard is checked on the shown window).
TEST_F(Form1LayoutTable, TabIndicesRunFromZeroWithoutGaps) {
  std::vector<int> all;
  for (const auto& c : window.controls) {
    if (c.tabIndex >= 0) all.push_back(c.tabIndex);
  }
  std::sort(all.begin(), all.end());
  ASSERT_FALSE(all.empty());
  for (std::size_t i = 0; i < all.size(); ++i) EXPECT_EQ(all[i], static_cast<int>(i));
}

// Neighbours overlap a little so that the status light and the command row read
// as bars; where they overlap, the control listed first is drawn in front.
TEST_F(Form1LayoutTable, NeighboursOverlapAsDesigned) {
  struct Pair {
    const char* left;
    const char* right;
    int overlap;        // twips; negative: a gap
    const char* front;  // which of the two covers the overlap
  };
  const Pair rows[] = {
      {"chkstatus", "chkgreen", 45, "chkgreen"}, {"chkgreen", "chkyellow", 30, "chkyellow"},
      {"chkyellow", "chkred", 30, "chkred"},     {"chkAdp", "Ainfo1", -5, nullptr},
      {"Ainfo1", "Ainfo2", 10, "Ainfo1"},        {"Ainfo2", "chkReload", 30, "chkReload"},
  };
  for (const auto& row : rows) {
    const auto& l = find(row.left);
    const auto& r = find(row.right);
    EXPECT_EQ(l.top, r.top) << row.left;
    EXPECT_EQ(l.left + l.width - r.left, row.overlap) << row.left << " / " << row.right;
    if (row.front) {
      const char* back = std::string_view(row.front) == row.left ? row.right : row.left;
      EXPECT_LT(depth(row.front), depth(back)) << row.front << " over " << back;
    }
  }
  const auto& reload = find("chkReload");
  const auto& red = find("chkred");
  EXPECT_EQ(reload.left + reload.width, 5270);
  EXPECT_EQ(red.left + red.width, 5270);
  // The progress bar lies over the command row; the address boxes over the panel;
  // the logo and the Visit button over the About text.
  for (const char* below : {"chkReload", "chkAdp", "Ainfo1", "Ainfo2"}) {
    EXPECT_LT(depth("ProgressBar1"), depth(below)) << below;
  }
  for (const char* above : {"WAN", "LAN", "txtStatus"}) {
    EXPECT_LT(depth(above), depth("Picture1")) << above;
  }
  EXPECT_LT(depth("Picture4"), depth("txtText1"));
  EXPECT_LT(depth("Brevan"), depth("txtText1"));
}

TEST_F(Form1LayoutTable, TheFrameCutsOffWhatLiesPastTheClientArea) {
  EXPECT_EQ(window.clientWidth, 5490);
  EXPECT_EQ(window.clientHeight, 2940);
  const auto& tab = find("SSTTab0");
  EXPECT_EQ(tab.left + tab.width - window.clientWidth, 45);
  EXPECT_EQ(tab.top + tab.height - window.clientHeight, 75);
  const auto& marker = find("txtStatus2");
  EXPECT_TRUE(marker.parent.empty());
  EXPECT_GE(marker.left, window.clientWidth);
  const auto& status = find("txtStatus");
  EXPECT_EQ(tab.width - status.left, 255);
  const auto& visit = find("Brevan");
  const auto& text = find("txtText1");
  EXPECT_EQ(visit.top + visit.height - window.clientHeight, 40);
  EXPECT_EQ(text.top + text.height - visit.top, 20);
  EXPECT_EQ(visit.width, tab.width);
}

// Each Legend sentence stands right above the row of the picture it explains.
TEST_F(Form1LayoutTable, LegendSentencesStandAboveTheirRows) {
  const auto& image = find("Image1");
  const std::pair<std::pair<const char*, int>, int> rows[] = {
      {{"lblYourOnline", 0}, 27},
      {{"lblYourOnline", 1}, 67},
      {{"lblYourOffline", 0}, 107},
      {{"lblYourOffline", 1}, 147},
  };
  for (const auto& [label, rowTop] : rows) {
    const auto& c = find(label.first, label.second);
    const int bottomPx = (c.top + c.height - image.top) / toolkit::kTwipsPerPixel;
    EXPECT_NEAR(bottomPx, rowTop, 1) << label.first << "(" << label.second << ")";
    EXPECT_EQ(c.alignment, toolkit::Alignment::Center);
    EXPECT_NEAR(c.left + c.width / 2.0, 2770, 45) << label.first;
  }
}

TEST_F(Form1LayoutTable, CarriesTheMakersDetailsAndTheAboutText) {
  EXPECT_EQ(find("Brevan").text, "Visit http://maker.example.test");
  EXPECT_EQ(find("txtText1").text, AboutText(kMaker));
  EXPECT_TRUE(find("txtText1").multiLine);
  EXPECT_EQ(find("txtText1").scrollBars, toolkit::ScrollBars::Vertical);
}

TEST_F(Form1LayoutTable, EveryNamedFaceHasAStandIn) {
  std::vector<toolkit::Font> fonts = {window.font};
  for (const auto& c : window.controls) {
    if (c.font) fonts.push_back(*c.font);
    if (c.tabFont) fonts.push_back(*c.tabFont);
  }
  const auto standIns = WindowResources().fontStandIns;
  for (const auto& font : fonts) {
    EXPECT_NE(toolkit::findFontStandIn(standIns, font.face), nullptr) << font.face;
  }
  EXPECT_NE(toolkit::findFontStandIn(standIns, "TAHOMA"), nullptr);
  EXPECT_EQ(toolkit::findFontStandIn(standIns, "Tahoma Bold"), nullptr);
}

// What the layout sets against the controls' defaults: the lights only show,
// the timer waits for the start-up, and a request has 60 s.
TEST_F(Form1LayoutTable, LightsAreDisplaysAndTheGatheringWaitsForTheStartUp) {
  for (const char* light : {"chkgreen", "chkyellow", "chkred"}) {
    EXPECT_FALSE(find(light).enabled) << light;
  }
  EXPECT_TRUE(find("Timer1").enabled);
  EXPECT_EQ(find("Timer1").interval, 0);
  EXPECT_EQ(find("Inet1").requestTimeout, 60);
}

}  // namespace
}  // namespace main_window
