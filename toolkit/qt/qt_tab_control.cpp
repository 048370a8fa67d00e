// Qt tab control: the native tab bar keeps the page shown; the members'
// page flags are the toolkit's (ControlState::setPageActive).

#include "toolkit/qt/qt_tab_control.h"
#include "toolkit/control_values.h"

namespace toolkit::qt {

QtTabControl::QtTabControl(const ControlLayout& layout, QWidget* parent, ControlContext context)
    : QtControl<TabControl>(layout, new QWidget(parent), std::move(context)) {
  QWidget* panel = widget();
  panel->setAutoFillBackground(true);
  QPalette palette = panel->palette();
  palette.setColor(QPalette::Window,
                   toQColor(layout.backColour.value_or(system_colour::kButtonFace), palette));
  panel->setPalette(palette);

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
  initialise();
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
