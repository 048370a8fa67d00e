#include <gtest/gtest.h>

#include <QColor>
#include <QFontDatabase>
#include <QImage>
#include <string>
#include <string_view>
#include <vector>

#include "main_window/form1_layout.h"
#include "main_window/resources.h"

namespace main_window {
namespace {

const toolkit::ControlLayout& find(const toolkit::WindowLayout& window, const char* name) {
  for (const auto& c : window.controls) {
    if (c.name == name) return c;
  }
  ADD_FAILURE() << name;
  static const toolkit::ControlLayout none;
  return none;
}

QImage load(const char* path) {
  QImage image(path);
  EXPECT_FALSE(image.isNull()) << path;
  return image.convertToFormat(QImage::Format_ARGB32);
}

TEST(Form1Pictures, HaveTheSizesTheirHoldersExpect) {
  const auto window = Form1Layout(BuiltInMakerInfo());
  struct Row {
    const char* path;
    int width, height;
    const char* holder;  // shown at its natural size in this control, or none
  };
  const Row rows[] = {
      {kIconPicture, 16, 16, nullptr},      {kPanelPicture, 400, 200, nullptr},
      {kLegendPicture, 372, 178, "Image1"}, {kLogoPicture, 60, 55, "Picture4"},
      {kHandPointer, 32, 32, nullptr},
  };
  for (const auto& row : rows) {
    const QImage image = load(row.path);
    EXPECT_EQ(image.width(), row.width) << row.path;
    EXPECT_EQ(image.height(), row.height) << row.path;
    if (row.holder) {
      const auto& holder = find(window, row.holder);
      EXPECT_EQ(holder.picture, row.path);
      EXPECT_EQ(holder.width, row.width * toolkit::kTwipsPerPixel) << row.holder;
      EXPECT_EQ(holder.height, row.height * toolkit::kTwipsPerPixel) << row.holder;
    }
  }
  EXPECT_EQ(window.icon, kIconPicture);
  EXPECT_EQ(find(window, "Picture1").picture, kPanelPicture);
}

TEST(Form1Pictures, PanelIsBlackAllOver) {
  const QImage panel = load(kPanelPicture);
  for (int y = 0; y < panel.height(); ++y) {
    for (int x = 0; x < panel.width(); ++x) {
      ASSERT_EQ(panel.pixel(x, y), qRgb(0, 0, 0)) << x << "," << y;
    }
  }
}

// Three bars 14 pixels wide, 2, 3 and 4 high, on a transparent ground.
TEST(Form1Pictures, IconIsThreeStackedBars) {
  const QImage icon = load(kIconPicture);
  std::vector<int> runs;
  int run = 0;
  for (int y = 0; y < 16; ++y) {
    if (qAlpha(icon.pixel(8, y)) != 0) {
      ++run;
    } else if (run > 0) {
      runs.push_back(run);
      run = 0;
    }
  }
  if (run > 0) runs.push_back(run);
  EXPECT_EQ(runs, (std::vector<int>{2, 3, 4}));
  int widest = 0;
  for (int y = 0; y < 16; ++y) {
    int width = 0;
    for (int x = 0; x < 16; ++x) width += qAlpha(icon.pixel(x, y)) != 0;
    widest = std::max(widest, width);
  }
  EXPECT_EQ(widest, 14);
  EXPECT_EQ(qAlpha(icon.pixel(0, 0)), 0);
}

TEST(Form1Pictures, HandPointsAtItsHotSpot) {
  const toolkit::PointerPicture pointer = WindowResources().handPointer;
  const QImage hand = load(std::string(pointer.picture).c_str());
  EXPECT_NE(qAlpha(hand.pixel(pointer.hotX, pointer.hotY)), 0);
  for (int x = 0; x < 32; ++x) EXPECT_EQ(qAlpha(hand.pixel(x, 0)), 0) << x;
  EXPECT_EQ(qAlpha(hand.pixel(0, 31)), 0);
}

// The rows of bars begin where the Legend page's sentences end, and run green,
// yellow, red from left to right.
TEST(Form1Pictures, LegendRowsLieUnderTheirSentences) {
  const QImage legend = load(kLegendPicture);
  const int middles[] = {119, 186, 253};
  const QRgb hues[] = {qRgb(0, 255, 0), qRgb(255, 255, 0), qRgb(255, 0, 0)};
  for (int top : {27, 67, 107, 147}) {
    for (int i = 0; i < 3; ++i) {
      EXPECT_EQ(legend.pixel(middles[i], top - 1), qRgb(0, 0, 0)) << top;
      EXPECT_NE(legend.pixel(middles[i], top), qRgb(0, 0, 0)) << top;
      EXPECT_EQ(legend.pixel(middles[i] - 25, top + 17), hues[i]) << top << " bar " << i;
    }
  }
}

TEST(Form1Pictures, LogoIsGreyOnBlack) {
  const QImage logo = load(kLogoPicture);
  EXPECT_EQ(logo.pixel(0, 0), qRgb(0, 0, 0));
  EXPECT_EQ(logo.pixel(59, 0), qRgb(0, 0, 0));
  int grey = 0;
  for (int y = 0; y < logo.height(); ++y) {
    for (int x = 0; x < logo.width(); ++x) {
      const QColor c(logo.pixel(x, y));
      EXPECT_TRUE(c.red() == c.green() && c.green() == c.blue()) << x << "," << y;
      grey += c.red() > 100;
    }
  }
  EXPECT_GT(grey, 600);
}

// The bundled font files are the family the stand-in table names.
TEST(Form1BundledFonts, AreTheDigitalStandIn) {
  const toolkit::Resources resources = WindowResources();
  const auto* digital = toolkit::findFontStandIn(resources.fontStandIns, kD14.face);
  ASSERT_NE(digital, nullptr);
  ASSERT_FALSE(resources.fontFiles.empty());
  for (std::string_view path : resources.fontFiles) {
    const int id = QFontDatabase::addApplicationFont(QString::fromUtf8(path.data(), path.size()));
    ASSERT_GE(id, 0) << path;
    const QStringList families = QFontDatabase::applicationFontFamilies(id);
    ASSERT_FALSE(families.isEmpty()) << path;
    EXPECT_EQ(families.front().toStdString(), digital->standIn) << path;
  }
}

}  // namespace
}  // namespace main_window
