#include <gtest/gtest.h>

#include <QFont>
#include <QFontDatabase>
#include <QFontInfo>
#include <QFontMetricsF>
#include <QStringList>
#include <algorithm>
#include <string>
#include <vector>

#include "main_window/about_text.h"
#include "main_window/form1_layout.h"
#include "toolkit/font_stand_ins.h"

namespace main_window {
namespace {

// Resolves a layout font as the toolkit does: the named face when installed,
// else its stand-in, scaled and narrowed as the stand-in table says.
QFont resolve(const toolkit::Font& font) {
  QString family = QString::fromStdString(font.face);
  double points = font.points;
  int stretch = 100;
  if (!QFontDatabase::families().contains(family, Qt::CaseInsensitive)) {
    if (const auto* standIn = toolkit::findFontStandIn(font.face)) {
      family = QString::fromUtf8(standIn->standIn.data(), standIn->standIn.size());
      points *= standIn->sizeScale;
      stretch = standIn->stretch;
    }
  }
  QFont f(family);
  f.setPointSizeF(points);
  f.setWeight(static_cast<QFont::Weight>(font.weight));
  f.setItalic(font.italic);
  f.setStretch(stretch);
  return f;
}

class Form1Fonts : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    for (const char* path :
         {":/fonts/DSEG14Classic-BoldItalic.ttf", ":/fonts/DSEG14Classic-Regular.ttf"}) {
      QFontDatabase::addApplicationFont(path);
    }
  }

  const toolkit::WindowSpec window = Form1Layout(BuiltInMakerInfo());

  const toolkit::ControlSpec& find(const std::string& name, int index = -1) const {
    for (const auto& c : window.controls) {
      if (c.name == name && c.index == index) return c;
    }
    ADD_FAILURE() << name;
    static const toolkit::ControlSpec none;
    return none;
  }
};

// Ink and advance, whichever reaches further: italics lean past the advance.
double drawnWidth(const QFontMetricsF& metrics, const QString& text) {
  const QRectF ink = metrics.tightBoundingRect(text);
  return std::max(metrics.horizontalAdvance(text), ink.right() - std::min(0.0, ink.left()));
}

TEST_F(Form1Fonts, StandInsAreUsedWhereTheNamedFacesAreMissing) {
  for (const auto& font : {kT8, kT8B, kD12, kD14, kD21}) {
    const QString face = QString::fromStdString(font.face);
    if (QFontDatabase::families().contains(face, Qt::CaseInsensitive)) continue;
    const auto* standIn = toolkit::findFontStandIn(font.face);
    ASSERT_NE(standIn, nullptr) << font.face;
    const QFontInfo info(resolve(font));
    EXPECT_EQ(info.family().toStdString(), standIn->standIn) << font.face;
    EXPECT_EQ(info.bold(), font.weight >= 700) << font.face;
    EXPECT_EQ(info.italic(), font.italic) << font.face;
  }
}

// The texts the window shows whole fit their boxes with the fonts that draw them.
// Room is the box less what the control draws around its text: frames and margins
// of text boxes, the bevel of push buttons.
TEST_F(Form1Fonts, TextsFitTheirBoxes) {
  struct Row {
    std::string control;
    int index;
    std::string text;  // empty: the control's own text
    int insetPx;       // per side
  };
  const std::vector<Row> rows = {
      {"lblWorking", -1, "", 0},
      {"WAN2", -1, "", 0},
      {"LAN2", -1, "", 0},
      {"lblLocal", -1, "", 0},
      {"WAN", -1, "255.255.255.255", 3},
      {"LAN", -1, "255.255.255.255", 3},
      {"LAN", -1, "Not Found", 3},
      {"txtLocal", -1, "127.0.0.1", 3},
      {"txtStatus", -1, "LAN And WAN - Online", 3},
      {"txtStatus", -1, "LAN Only - Offline", 3},
      {"txtStatus", -1, "WAN Only - Online", 3},
      {"lblYourOnline", 0, "", 0},
      {"lblYourOnline", 1, "", 0},
      {"lblYourOffline", 0, "", 0},
      {"lblYourOffline", 1, "", 0},
      {"chkstatus", -1, "", 3},
      {"chkAdp", -1, "", 3},
      {"chkReload", -1, "", 3},
      {"chkgreen", -1, "Online", 3},
      {"chkyellow", -1, "WAN/LAN", 3},
      {"chkyellow", -1, "WAN Only", 3},
      {"chkyellow", -1, "LAN Only", 3},
      {"chkred", -1, "Offline", 3},
      {"Ainfo1", -1, "", 3},
      {"Brevan", -1, "", 3},
  };
  for (const auto& row : rows) {
    const auto& c = find(row.control, row.index);
    const QFontMetricsF metrics(resolve(c.font.value_or(window.font)));
    const QString text = QString::fromStdString(row.text.empty() ? c.text : row.text);
    const double room = c.width / 15.0 - 2 * row.insetPx;
    EXPECT_LE(drawnWidth(metrics, text), room) << row.control << ": " << text.toStdString();
    EXPECT_LE(metrics.height(), c.height / 15.0) << row.control;
  }
}

TEST_F(Form1Fonts, TabCaptionsFitTheirTabs) {
  const auto& tab = find("SSTTab0");
  const QFontMetricsF metrics(resolve(*tab.tabFont));
  const double tabWidth = tab.width / 15.0 / tab.tabsPerRow;
  for (const auto& caption : tab.tabCaptions) {
    EXPECT_LE(drawnWidth(metrics, QString::fromStdString(caption)), tabWidth - 16) << caption;
  }
  EXPECT_LE(metrics.height(), tab.tabHeight / 15.0);
}

// No About line wraps: the box less its frame, its vertical scroll bar and the
// text's margins.
TEST_F(Form1Fonts, AboutLinesFitOnOneLineEach) {
  const auto& text = find("txtText1");
  const QFontMetricsF metrics(resolve(text.font.value_or(window.font)));
  const double room = text.width / 15.0 - 2 - 16 - 8;
  const QStringList lines = QString::fromStdString(text.text).split("\r\n");
  for (const auto& line : lines) {
    // A trailing space hangs past the edge without wrapping.
    const QString shown = line.endsWith(' ') ? line.chopped(1) : line;
    EXPECT_LE(metrics.horizontalAdvance(shown), room) << shown.toStdString();
  }
  EXPECT_GT(lines.size() * metrics.lineSpacing(), text.height / 15.0) << "should need scrolling";
}

}  // namespace
}  // namespace main_window
