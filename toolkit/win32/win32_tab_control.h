#pragma once

#include <vector>

#include "toolkit/win32/win32_control.h"

namespace toolkit::win32 {

// The system's tab control with a page area below its row of tabs. The page
// area holds the members of every page; those of the page shown are visible,
// the others hidden, each keeping its own visibility flag.
class Win32TabControl : public Win32Control<TabControl> {
 public:
  Win32TabControl(const ControlLayout& layout, ControlContext context, Container& pages);

  int currentPage() const override;
  void setCurrentPage(int page) override;
  int pageCount() const override;

  void addMember(int page, ControlHooks& member);
  bool takesFocus() const override { return true; }
  LRESULT onNotify(const NMHDR& header) override;
  void onDrawItem(const DRAWITEMSTRUCT& item) override;

 protected:
  void fontChanged() override;

 private:
  const DrawnFont& tabFont() const;
  // Sizes the tabs and places the page area under them, at the window's dpi.
  void layOut();
  void showPage(int page);
  Container& pages_;
  std::vector<std::pair<int, ControlHooks*>> members_;
};

}  // namespace toolkit::win32
