// Qt tab control: the native tab bar keeps the page shown; the members'
// page flags are the toolkit's (ControlState::setPageActive).

#include "toolkit/qt/qt_tab_control.h"

#include <QEvent>
#include <QShortcut>

#include "toolkit/control_values.h"

namespace toolkit::qt {
namespace {

// The page area in its background colour, a system colour looked up again
// when the palette changes, so the page and its tabs' captions change together.
class PagePanel : public QWidget {
 public:
  PagePanel(QWidget* parent, Colour background) : QWidget(parent), background_(background) {
    setAutoFillBackground(true);
    fill();
  }

 protected:
  void changeEvent(QEvent* event) override {
    if (event->type() == QEvent::ApplicationPaletteChange) fill();
    QWidget::changeEvent(event);
  }

 private:
  void fill() {
    QPalette own = palette();
    own.setColor(QPalette::Window, toQColor(background_));
    setPalette(own);
  }
  Colour background_;
};

}  // namespace

QtTabControl::QtTabControl(const ControlLayout& layout, QWidget* parent, ControlContext context)
    : QtControl<TabControl>(
          layout, new PagePanel(parent, layout.backColour.value_or(system_colour::kButtonFace)),
          std::move(context)) {
  QWidget* panel = widget();

  tabs_ = new QTabBar(panel);
  tabs_->setExpanding(true);
  tabs_->setDrawBase(true);
  tabs_->setUsesScrollButtons(false);
  tabs_->setFont(toQFont(layout.tabFont.value_or(font()), this->context().resources.fontStandIns));
  for (const auto& caption : layout.tabCaptions) tabs_->addTab(QString::fromStdString(caption));
  const QRect box = toPixels(layout.left, layout.top, layout.width, layout.height);
  const int perRow = layout.tabsPerRow > 0 ? layout.tabsPerRow : std::max(1, tabs_->count());
  const int tabHeight = std::max(1, twipsToPixels(layout.tabHeight));
  tabs_->setStyleSheet(QString("QTabBar::tab { height: %1px; width: %2px; }")
                           .arg(tabHeight - 2)
                           .arg(box.width() / perRow - 2));
  tabs_->setGeometry(0, 0, box.width(), tabHeight);
  tabs_->lower();
  QObject::connect(tabs_, &QTabBar::currentChanged, tabs_, [this](int page) { showPage(page); });
  // The keyboard keys of every tabbed window, wherever the focus is in it.
  const std::pair<QKeySequence, int> steps[] = {
      {QKeySequence(Qt::CTRL | Qt::Key_Tab), 1},
      {QKeySequence(Qt::CTRL | Qt::Key_PageDown), 1},
      {QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Backtab), -1},
      {QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Tab), -1},
      {QKeySequence(Qt::CTRL | Qt::Key_PageUp), -1},
  };
  for (const auto& [keys, step] : steps) {
    auto* shortcut = new QShortcut(keys, panel);
    QObject::connect(shortcut, &QShortcut::activated, panel,
                     [this, step = step] { turnPage(step); });
  }
  panel->setFocusProxy(tabs_);  // focus given to the control goes to its row of tabs
  initialise();
}

void QtTabControl::turnPage(int step) {
  const int count = tabs_->count();
  if (count == 0) return;
  tabs_->setCurrentIndex(((tabs_->currentIndex() + step) % count + count) % count);
  // The focus may have been on the page just hidden; the row of tabs says
  // which page is shown now.
  tabs_->setFocus(Qt::ShortcutFocusReason);
}

void QtTabControl::setCurrentPage(int page) {
  if (page < 0 || page >= tabs_->count()) throwInvalidPropertyValue();
  tabs_->setCurrentIndex(page);
  showPage(page);
}

void QtTabControl::addMember(int page, std::function<void(bool)> setPageActive) {
  setPageActive(page == tabs_->currentIndex());
  members_.emplace_back(page, std::move(setPageActive));
}

void QtTabControl::showPage(int page) {
  for (auto& [memberPage, setActive] : members_) setActive(memberPage == page);
}

}  // namespace toolkit::qt
