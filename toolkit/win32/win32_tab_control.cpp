// Win32 tab control: the system's control keeps the page shown; the members'
// page flags are the toolkit's (ControlState::setPageActive).

#include "toolkit/win32/win32_tab_control.h"

#include <commctrl.h>

#include <algorithm>

#include "toolkit/control_values.h"
#include "toolkit/win32/win32_text.h"

namespace toolkit::win32 {

Win32TabControl::Win32TabControl(const ControlLayout& layout, ControlContext context,
                                 Container& pages)
    : Win32Control<TabControl>(layout, context), pages_(pages) {
  // The captions are drawn here: the tab font's stand-in needs the spacing
  // between letters that the system would leave out ("WANLAN").
  HWND tabs = createChild(context, WC_TABCONTROLW,
                          WS_TABSTOP | WS_CLIPCHILDREN | TCS_FIXEDWIDTH | TCS_OWNERDRAWFIXED,
                          WS_EX_CONTROLPARENT, L"");
  initialise(tabs);
  for (std::size_t i = 0; i < layout.tabCaptions.size(); ++i) {
    std::wstring caption = widen(layout.tabCaptions[i]);
    TCITEMW item{};
    item.mask = TCIF_TEXT;
    item.pszText = caption.data();
    SendMessageW(tabs, TCM_INSERTITEMW, i, reinterpret_cast<LPARAM>(&item));
  }
  pages.window = context.window;
  pages.fill = layout.backColour.value_or(system_colour::kButtonFace);
  pages.hwnd = CreateWindowExW(WS_EX_CONTROLPARENT, L"TarnwickPanel", L"",
                               WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN | WS_CLIPSIBLINGS, 0, 0, 0,
                               0, tabs, nullptr, GetModuleHandleW(nullptr), nullptr);
  SetWindowLongPtrW(pages.hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(&pages));
  exposeWindow(pages.hwnd, &pages, false);  // the pages' labels and pictures, to screen readers
  layOut();
}

const DrawnFont& Win32TabControl::tabFont() const {
  return fontsOf(context().window).get(controlLayout().tabFont.value_or(font()));
}

void Win32TabControl::layOut() {
  HWND tabs = hwnd();
  const ControlLayout& layout = controlLayout();
  SendMessageW(tabs, WM_SETFONT, reinterpret_cast<WPARAM>(tabFont().handle), FALSE);
  const RECT box = pixelRect();
  const int width = box.right - box.left;
  const int height = box.bottom - box.top;
  const int count = static_cast<int>(layout.tabCaptions.size());
  const int perRow = layout.tabsPerRow > 0 ? layout.tabsPerRow : std::max(1, count);
  const int rowHeight = std::max(1, toPixels(layout.tabHeight, dpiOf(context().window)));
  // The row keeps two pixels free at each end; wider tabs would bring scroll arrows.
  SendMessageW(tabs, TCM_SETITEMSIZE, 0, MAKELPARAM((width - 4) / perRow, rowHeight));
  RECT first{0, 0, 0, rowHeight};
  if (count > 0) SendMessageW(tabs, TCM_GETITEMRECT, 0, reinterpret_cast<LPARAM>(&first));
  // The page area starts under the tabs; members keep the tab control's
  // coordinates, so their origin lies that far above the area.
  const int pageTop = static_cast<int>(first.bottom) + 1;
  pages_.origin = POINT{0, -pageTop};
  SetWindowPos(pages_.hwnd, nullptr, 0, pageTop, width, std::max(0, height - pageTop),
               SWP_NOZORDER | SWP_NOACTIVATE);
}

// The window lays out the members after their tab control, against the new origin.
void Win32TabControl::fontChanged() {
  layOut();
}

void Win32TabControl::onDrawItem(const DRAWITEMSTRUCT& item) {
  if (item.itemID >= controlLayout().tabCaptions.size()) return;
  const DrawnFont& font = tabFont();
  HDC dc = item.hDC;
  HGDIOBJ old = SelectObject(dc, font.handle);
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, GetSysColor(isEnabled() ? COLOR_BTNTEXT : COLOR_GRAYTEXT));
  drawSpacedText(dc, widen(controlLayout().tabCaptions[item.itemID]), item.rcItem,
                 Alignment::Center, true, font);
  SelectObject(dc, old);
}

int Win32TabControl::currentPage() const {
  return static_cast<int>(SendMessageW(hwnd(), TCM_GETCURSEL, 0, 0));
}

int Win32TabControl::pageCount() const {
  return static_cast<int>(SendMessageW(hwnd(), TCM_GETITEMCOUNT, 0, 0));
}

void Win32TabControl::setCurrentPage(int page) {
  if (page < 0 || page >= pageCount()) throwInvalidPropertyValue();
  SendMessageW(hwnd(), TCM_SETCURSEL, static_cast<WPARAM>(page), 0);
  showPage(page);
}

void Win32TabControl::addMember(int page, ControlHooks& member) {
  member.setPageActive(page == currentPage());
  members_.emplace_back(page, &member);
}

LRESULT Win32TabControl::onNotify(const NMHDR& header) {
  if (header.code == TCN_SELCHANGE) showPage(currentPage());
  return 0;
}

void Win32TabControl::showPage(int page) {
  for (auto& [memberPage, member] : members_) member->setPageActive(memberPage == page);
}

}  // namespace toolkit::win32
