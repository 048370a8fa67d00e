#pragma once

#include <QTabBar>
#include <functional>
#include <vector>

#include "toolkit/qt/qt_control.h"

namespace toolkit::qt {

// A row of tabs over a panel; the members of the page shown are visible, the
// others hidden, each keeping its own visibility flag. Ctrl+Tab and Ctrl+PgDn
// show the next page, Ctrl+Shift+Tab and Ctrl+PgUp the one before.
class QtTabControl : public QtControl<TabControl> {
 public:
  QtTabControl(const ControlLayout& layout, QWidget* parent, ControlContext context);

  int currentPage() const override { return tabs_->currentIndex(); }
  void setCurrentPage(int page) override;
  int pageCount() const override { return tabs_->count(); }

  // Called for each member with its page; the callback shows or hides it.
  void addMember(int page, std::function<void(bool)> setPageActive);
  QTabBar* tabBar() const { return tabs_; }

 private:
  void showPage(int page);
  void turnPage(int step);

  QTabBar* tabs_;
  std::vector<std::pair<int, std::function<void(bool)>>> members_;
};

}  // namespace toolkit::qt
