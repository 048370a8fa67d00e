// The main window's texts as Qt draws them on the offscreen platform: drawn
// whole in the faces that stand in for missing ones.

#include <gtest/gtest.h>

#include <QApplication>
#include <QFontDatabase>
#include <QFontInfo>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTabBar>
#include <QWidget>
#include <string>
#include <vector>

#include "main_window/form1_layout.h"
#include "main_window/resources.h"
#include "toolkit/application.h"
#include "toolkit/form.h"
#include "toolkit/qt/qt_backend.h"
#include "toolkit/qt/qt_window.h"

namespace main_window {
namespace {

using toolkit::ControlKind;
using toolkit::ControlLayout;

class LayoutOnlyForm : public toolkit::Form {
 public:
  LayoutOnlyForm(toolkit::Application& app, toolkit::WindowLayout entry)
      : Form(app), layout_(std::move(entry)) {}
  toolkit::WindowLayout layout() const override { return layout_; }

 private:
  toolkit::WindowLayout layout_;
};

bool drawn(const ControlLayout& c) {
  return c.kind != ControlKind::Timer && c.kind != ControlKind::InternetTransfer &&
         c.kind != ControlKind::Winsock;
}

class RenderedTexts : public ::testing::Test {
 protected:
  void SetUp() override {
    form.load();
    window = dynamic_cast<toolkit::qt::QtWindow*>(form.nativeWindow());
    ASSERT_NE(window, nullptr);
    tabBar = widget("SSTTab0")->findChild<QTabBar*>();
    ASSERT_NE(tabBar, nullptr);
  }

  void TearDown() override {
    form.unload();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  }

  QWidget* widget(const ControlLayout& c) const { return window->widgetOf(c.name, c.index); }
  QWidget* widget(const std::string& name) const {
    QWidget* w = window->widgetOf(name, -1);
    EXPECT_NE(w, nullptr) << name;
    return w;
  }

  const ControlLayout& entry(const std::string& name, int index = -1) const {
    for (const auto& c : layout.controls) {
      if (c.name == name && c.index == index) return c;
    }
    ADD_FAILURE() << name;
    return layout.controls.front();
  }

  void showPage(int page) {
    tabBar->setCurrentIndex(page);
    QApplication::processEvents();
  }

  const toolkit::WindowLayout layout =
      Form1Layout(MakerInfo{"http://maker.example.test", "mail@maker.example.test", "Someone"});
  toolkit::qt::QtBackend backend{true, WindowResources()};
  toolkit::Application app{backend, "Tarnwick test"};
  LayoutOnlyForm form{app, layout};
  toolkit::qt::QtWindow* window = nullptr;
  QTabBar* tabBar = nullptr;
};

TEST_F(RenderedTexts, MissingFacesAreDrawnWithTheirStandIns) {
  int checked = 0;
  for (const auto& c : layout.controls) {
    if (!drawn(c)) continue;
    const toolkit::Font font = c.font.value_or(layout.font);
    const QString face = QString::fromStdString(font.face);
    if (QFontDatabase::families().contains(face, Qt::CaseInsensitive)) continue;
    const auto* standIn = toolkit::findFontStandIn(WindowResources().fontStandIns, font.face);
    ASSERT_NE(standIn, nullptr) << font.face;
    const QFontInfo info(widget(c)->font());
    EXPECT_EQ(info.family().toStdString(), standIn->standIn) << c.name;
    EXPECT_EQ(info.bold(), font.weight >= 700) << c.name;
    EXPECT_EQ(info.italic(), font.italic) << c.name;
    ++checked;
  }
  EXPECT_EQ(QFontInfo(tabBar->font()).family().toStdString(),
            toolkit::findFontStandIn(WindowResources().fontStandIns, kD12.face)->standIn);
  if (checked == 0) GTEST_SKIP() << "every named face is installed";
}

// Ink and advance, whichever reaches further: italics lean past the advance.
double drawnWidth(const QFontMetricsF& metrics, const QString& text) {
  const QRectF ink = metrics.tightBoundingRect(text);
  return std::max(metrics.horizontalAdvance(text), ink.right() - std::min(0.0, ink.left()));
}

TEST_F(RenderedTexts, CheckedTextsAreDrawnWhole) {
  // Labels wrap what does not fit; a wrapped label would lose its second line.
  for (const auto& c : layout.controls) {
    if (c.kind != ControlKind::Label) continue;
    auto* label = qobject_cast<QLabel*>(widget(c));
    ASSERT_NE(label, nullptr) << c.name;
    const QFontMetricsF metrics(label->font());
    EXPECT_LE(drawnWidth(metrics, label->text()), label->contentsRect().width())
        << c.name << ": " << c.text;
    EXPECT_LE(metrics.height(), label->contentsRect().height()) << c.name;
  }
  // Single-line boxes: the frame, and the line edit's two-pixel text margin.
  const std::vector<std::pair<std::string, std::string>> boxes = {
      {"WAN", "255.255.255.255"},
      {"LAN", "255.255.255.255"},
      {"txtLocal", "127.0.0.1"},
      {"LAN", "Not Found"},
      {"txtStatus", "LAN And WAN - Online"},
      {"txtStatus", "LAN Only - Offline"},
      {"txtStatus", "WAN Only - Online"},
  };
  for (const auto& [name, text] : boxes) {
    auto* edit = qobject_cast<QLineEdit*>(widget(name));
    ASSERT_NE(edit, nullptr) << name;
    const QFontMetricsF metrics(edit->font());
    const QRect room = edit->contentsRect().adjusted(2, 0, -2, 0);
    EXPECT_LE(drawnWidth(metrics, QString::fromStdString(text)), room.width())
        << name << ": " << text;
    EXPECT_LE(metrics.height(), room.height()) << name;
  }
  // Light and button captions, inside the bevel (pressed lights shift by one).
  const std::vector<std::pair<std::string, std::string>> captions = {
      {"chkstatus", "Online Status:"}, {"chkAdp", "Adapter Info"}, {"chkReload", "Reload"},
      {"chkgreen", "Online"},          {"chkyellow", "WAN/LAN"},   {"chkyellow", "WAN Only"},
      {"chkyellow", "LAN Only"},       {"chkred", "Offline"},      {"Brevan", ""},
  };
  for (const auto& [name, text] : captions) {
    QWidget* w = widget(name);
    const QFontMetricsF metrics(w->font());
    const QString caption = QString::fromStdString(text.empty() ? entry(name).text : text);
    EXPECT_LE(drawnWidth(metrics, caption), w->width() - 5) << name << ": " << text;
  }
  // Tab captions within their tabs.
  const QFontMetricsF tabMetrics(tabBar->font());
  for (int i = 0; i < tabBar->count(); ++i) {
    EXPECT_LE(drawnWidth(tabMetrics, tabBar->tabText(i)), tabBar->tabRect(i).width() - 8)
        << tabBar->tabText(i).toStdString();
  }
  // About lines within the text box's viewport, so none is cut off at the right.
  showPage(kAboutPage);
  form.show();
  auto* about = qobject_cast<QPlainTextEdit*>(widget("txtText1"));
  const QFontMetricsF aboutMetrics(about->font());
  const double room = about->viewport()->width() - 2 * about->document()->documentMargin();
  for (const QString& line : about->toPlainText().split('\n')) {
    const QString shown = line.endsWith(' ') ? line.chopped(1) : line;
    EXPECT_LE(aboutMetrics.horizontalAdvance(shown), room) << shown.toStdString();
  }
}

}  // namespace
}  // namespace main_window
