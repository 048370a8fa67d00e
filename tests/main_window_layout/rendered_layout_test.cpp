// The main window's layout as the Qt toolkit draws it on the offscreen platform
// at 96 dpi: every control where its twips put it, stacked and tab-ordered as
// laid out, the pages switching without touching values, and the texts drawn
// whole in the faces that stand in for missing ones.

#include <gtest/gtest.h>

#include <QApplication>
#include <QFontDatabase>
#include <QFontInfo>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QScreen>
#include <QScrollBar>
#include <QTabBar>
#include <QWidget>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "main_window/form1_layout.h"
#include "toolkit/application.h"
#include "toolkit/font_stand_ins.h"
#include "toolkit/form.h"
#include "toolkit/qt/qt_backend.h"

namespace main_window {
namespace {

using toolkit::ControlKind;
using toolkit::ControlLayout;

// Form1's layout without its start-up, so every control keeps its layout values.
class LayoutOnlyForm : public toolkit::Form {
 public:
  LayoutOnlyForm(toolkit::Application& app, toolkit::WindowLayout entry)
      : Form(app), layout_(std::move(entry)) {}
  toolkit::WindowLayout layout() const override { return layout_; }

 private:
  toolkit::WindowLayout layout_;
};

std::string widgetName(const ControlLayout& c) {
  return c.index >= 0 ? c.name + "(" + std::to_string(c.index) + ")" : c.name;
}

bool drawn(const ControlLayout& c) {
  return c.kind != ControlKind::Timer && c.kind != ControlKind::InternetTransfer &&
         c.kind != ControlKind::Winsock;
}

class RenderedLayout : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_EQ(QGuiApplication::primaryScreen()->logicalDotsPerInch(), 96);
    form.load();
    for (QWidget* top : QApplication::topLevelWidgets()) {
      if (top->windowTitle() == kForm1Caption) window = top;
    }
    ASSERT_NE(window, nullptr);
    tabBar = widget("SSTTab0")->findChild<QTabBar*>();
    ASSERT_NE(tabBar, nullptr);
  }

  void TearDown() override {
    form.unload();
    // The window widget goes away later; let it, so the next test finds only its own.
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  }

  bool shown(const std::string& name) const { return widget(name)->isVisibleTo(window); }

  QWidget* widget(const ControlLayout& c) const { return widget(widgetName(c)); }
  QWidget* widget(const std::string& name) const {
    auto* w = window->findChild<QWidget*>(QString::fromStdString(name));
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

  // Where a control's box lies in the window, in pixels, from the layout alone:
  // a picture box's children start inside its one-pixel border.
  QRect expectedRect(const ControlLayout& c) const {
    QPointF origin(0, 0);
    for (const ControlLayout* p = &c; !p->parent.empty();) {
      p = &entry(p->parent);
      origin += QPointF(p->left / 15.0, p->top / 15.0);
      if (p->kind == ControlKind::PictureBox && p->border != toolkit::Border::None) {
        origin += QPointF(1, 1);
      }
    }
    return QRectF(origin + QPointF(c.left / 15.0, c.top / 15.0),
                  QSizeF(c.width / 15.0, c.height / 15.0))
        .toRect();
  }

  const toolkit::WindowLayout layout =
      Form1Layout(MakerInfo{"http://maker.example.test", "mail@maker.example.test", "Someone"});
  toolkit::qt::QtBackend backend{true};
  toolkit::Application app{backend, "Tarnwick test"};
  LayoutOnlyForm form{app, layout};
  QWidget* window = nullptr;
  QTabBar* tabBar = nullptr;
};

TEST_F(RenderedLayout, EveryControlLiesWhereItsTwipsPutIt) {
  EXPECT_EQ(window->size(), QSize(366, 196));
  for (const auto& c : layout.controls) {
    if (!drawn(c)) continue;
    QWidget* w = widget(c);
    if (!w) continue;
    const QRect actual(w->mapTo(window, QPoint(0, 0)), w->size());
    const QRect expected = expectedRect(c);
    EXPECT_NEAR(actual.left(), expected.left(), 1) << c.name;
    EXPECT_NEAR(actual.top(), expected.top(), 1) << c.name;
    EXPECT_NEAR(actual.right(), expected.right(), 1) << c.name;
    EXPECT_NEAR(actual.bottom(), expected.bottom(), 1) << c.name;
  }
  // What lies past the client area is cut off by the frame.
  EXPECT_GE(widget("txtStatus2")->x(), window->width());
  EXPECT_GT(widget("SSTTab0")->geometry().right(), window->rect().right());
  EXPECT_GT(widget("SSTTab0")->geometry().bottom(), window->rect().bottom());
}

// Siblings that overlap are stacked as listed: the earlier one in front.
TEST_F(RenderedLayout, OverlappingControlsAreStackedFrontToBack) {
  int pairs = 0;
  for (std::size_t i = 0; i < layout.controls.size(); ++i) {
    const auto& front = layout.controls[i];
    if (!drawn(front)) continue;
    for (std::size_t j = i + 1; j < layout.controls.size(); ++j) {
      const auto& back = layout.controls[j];
      if (!drawn(back) || back.parent != front.parent) continue;
      if (front.page != back.page) continue;
      if (!expectedRect(front).intersects(expectedRect(back))) continue;
      QWidget* f = widget(front);
      QWidget* b = widget(back);
      if (!f || !b) continue;
      const auto siblings = f->parentWidget()->children();
      EXPECT_GT(siblings.indexOf(f), siblings.indexOf(b)) << front.name << " over " << back.name;
      ++pairs;
    }
  }
  EXPECT_GE(pairs, 10);
}

// The focus chain visits the controls that take focus in the layout's tab order.
TEST_F(RenderedLayout, TabKeyFollowsTheTabOrder) {
  std::map<int, QWidget*> byTab;
  for (const auto& c : layout.controls) {
    if (!drawn(c) || c.tabIndex < 0) continue;
    QWidget* w = widget(c);
    if (w && w->focusPolicy() != Qt::NoFocus) byTab[c.tabIndex] = w;
  }
  for (const char* name :
       {"WAN", "LAN", "txtStatus", "txtLocal", "txtText1", "Brevan", "Ainfo1", "chkReload"}) {
    EXPECT_TRUE(byTab.contains(entry(name).tabIndex)) << name << " takes no focus";
  }
  // Between two controls the chain may pass widgets that take no focus (a text
  // box's viewport and scroll bars); Tab skips those.
  std::set<QWidget*> focusable;
  for (const auto& entry : byTab) focusable.insert(entry.second);
  QWidget* previous = nullptr;
  for (const auto& [tab, w] : byTab) {
    if (previous) {
      QWidget* next = previous->nextInFocusChain();
      for (int guard = 0; next != previous && !focusable.contains(next) && guard < 1000; ++guard) {
        next = next->nextInFocusChain();
      }
      EXPECT_EQ(next, w) << "tab index " << tab << ": after "
                         << previous->objectName().toStdString() << " comes "
                         << next->objectName().toStdString();
    }
    previous = w;
  }
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
  auto* text = qobject_cast<QPlainTextEdit*>(widget("txtText1"));
  ASSERT_NE(text, nullptr);
  EXPECT_EQ(form.textBox("txtText1").text(), entry("txtText1").text);
  QScrollBar* bar = text->verticalScrollBar();
  EXPECT_TRUE(bar->isVisible());
  EXPECT_GT(bar->maximum(), 0);
  EXPECT_FALSE(text->horizontalScrollBar()->isVisible());
}

TEST_F(RenderedLayout, MissingFacesAreDrawnWithTheirStandIns) {
  int checked = 0;
  for (const auto& c : layout.controls) {
    if (!drawn(c)) continue;
    const toolkit::Font font = c.font.value_or(layout.font);
    const QString face = QString::fromStdString(font.face);
    if (QFontDatabase::families().contains(face, Qt::CaseInsensitive)) continue;
    const auto* standIn = toolkit::findFontStandIn(font.face);
    ASSERT_NE(standIn, nullptr) << font.face;
    const QFontInfo info(widget(c)->font());
    EXPECT_EQ(info.family().toStdString(), standIn->standIn) << c.name;
    EXPECT_EQ(info.bold(), font.weight >= 700) << c.name;
    EXPECT_EQ(info.italic(), font.italic) << c.name;
    ++checked;
  }
  EXPECT_EQ(QFontInfo(tabBar->font()).family().toStdString(),
            toolkit::findFontStandIn(kD12.face)->standIn);
  if (checked == 0) GTEST_SKIP() << "every named face is installed";
}

// Ink and advance, whichever reaches further: italics lean past the advance.
double drawnWidth(const QFontMetricsF& metrics, const QString& text) {
  const QRectF ink = metrics.tightBoundingRect(text);
  return std::max(metrics.horizontalAdvance(text), ink.right() - std::min(0.0, ink.left()));
}

TEST_F(RenderedLayout, CheckedTextsAreDrawnWhole) {
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
