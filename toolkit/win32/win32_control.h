#pragma once

#include <windows.h>

#include <algorithm>
#include <memory>
#include <string>

#include "toolkit/controls.h"
#include "toolkit/error.h"
#include "toolkit/win32/win32_accessible.h"
#include "toolkit/win32/win32_drawing.h"
#include "toolkit/win32/win32_resources.h"

namespace toolkit {
class Form;
}

namespace toolkit::win32 {

class Win32Window;
class ControlHooks;

// A window that holds controls: the form itself, a picture box, or the page
// area of a tab control. It draws its fill, its picture and its windowless
// members (labels, images) and passes its children's messages on.
struct Container {
  Win32Window* window = nullptr;
  HWND hwnd = nullptr;
  POINT origin{0, 0};  // where a member's (0, 0) lies in the client area, in pixels
  COLORREF fill = 0;
  std::unique_ptr<ScaledPicture> picture;  // drawn from the client area's corner
  std::vector<ControlHooks*> members;      // front to back
  ControlHooks* pressed = nullptr;         // windowless member the mouse went down on
};

// What a container and the window need from every control, whatever its kind.
class ControlHooks {
 public:
  virtual ~ControlHooks() = default;
  virtual const ControlLayout& controlLayout() const = 0;
  virtual HWND hwnd() const = 0;  // nullptr: windowless or not drawn
  virtual Container* home() const = 0;
  virtual bool shown() const = 0;  // its own flag, and its page when on a tab control
  virtual bool isEnabled() const = 0;
  virtual RECT pixelRect() const = 0;  // in the container's client area
  virtual void setPageActive(bool active) = 0;
  // The window's dpi changed: take the fonts made for it and lay out again.
  virtual void dpiChanged() = 0;
  virtual bool takesFocus() const { return false; }
  virtual bool windowless() const { return false; }

  virtual void onCommand(WORD code) { (void)code; }
  virtual LRESULT onNotify(const NMHDR& header) {
    (void)header;
    return 0;
  }
  virtual HBRUSH onColour(HDC dc) {
    (void)dc;
    return nullptr;
  }
  virtual void onDrawItem(const DRAWITEMSTRUCT& item) { (void)item; }
  virtual void paintWindowless(HDC dc) { (void)dc; }
  virtual void onWindowlessClick() {}
};

// Where a control is made: its window, its container and the window's font.
struct ControlContext {
  Win32Window* window = nullptr;
  Container* container = nullptr;
  Font windowFont;
  int id = 0;  // the child window's control identifier
};

// Hooks into the window that the controls need, kept out of the window's header.
Form* formOf(Win32Window* window);
int dpiOf(Win32Window* window);
FontCache& fontsOf(Win32Window* window);
void addToolTip(Win32Window* window, ControlHooks& control, const std::string& text);
void updateToolTip(Win32Window* window, ControlHooks& control);
HWND createChild(const ControlContext& context, const wchar_t* windowClass, DWORD style,
                 DWORD exStyle, const std::wstring& text);

// The common part of every control: the layout's values, the control's own
// visibility flag (a tab page hides its members without touching it) and its
// geometry in twips, so what the logic sets is what it reads back.
template <class Interface>
class Win32Control : public Interface, public ControlHooks {
 public:
  Win32Control(const ControlLayout& layout, ControlContext context)
      : layout_(layout),
        context_(context),
        font_(layout.font.value_or(context.windowFont)),
        visible_(layout.visible),
        enabled_(layout.enabled),
        left_(layout.left),
        top_(layout.top),
        width_(layout.width),
        height_(layout.height) {}

  ControlKind kind() const override { return layout_.kind; }
  const std::string& name() const override { return layout_.name; }
  int index() const override { return layout_.index; }

  bool visible() const override { return visible_; }
  void setVisible(bool visible) override {
    visible_ = visible;
    applyVisibility();
  }
  bool enabled() const override { return enabled_; }
  void setEnabled(bool enabled) override {
    enabled_ = enabled;
    if (hwnd_) EnableWindow(hwnd_, enabled ? TRUE : FALSE);
    if (windowless()) invalidate();
    enabledChanged();
  }

  Twips left() const override { return left_; }
  Twips top() const override { return top_; }
  Twips width() const override { return width_; }
  Twips height() const override { return height_; }
  void move(Twips left, Twips top, Twips width, Twips height) override {
    if (windowless()) invalidate();
    left_ = left;
    top_ = top;
    width_ = std::max<Twips>(0, width);
    height_ = std::max<Twips>(0, height);
    applyGeometry();
  }

  int tabIndex() const override { return layout_.tabIndex; }
  std::string toolTip() const override { return layout_.toolTip; }
  Font font() const override { return font_; }
  Colour foreColour() const override {
    return layout_.foreColour.value_or(system_colour::kWindowText);
  }
  Colour backColour() const override {
    return layout_.backColour.value_or(system_colour::kButtonFace);
  }

  // ControlHooks
  const ControlLayout& controlLayout() const override { return layout_; }
  HWND hwnd() const override { return hwnd_; }
  Container* home() const override { return context_.container; }
  bool shown() const override { return visible_ && pageActive_; }
  bool isEnabled() const override { return enabled_; }
  RECT pixelRect() const override {
    RECT r = toPixelRect(left_, top_, width_, height_, dpiOf(context_.window));
    const POINT origin = context_.container ? context_.container->origin : POINT{0, 0};
    OffsetRect(&r, origin.x, origin.y);
    return r;
  }
  void setPageActive(bool active) override {
    pageActive_ = active;
    applyVisibility();
  }
  void dpiChanged() override {
    if (hwnd_) SendMessageW(hwnd_, WM_SETFONT, reinterpret_cast<WPARAM>(drawnFont().handle), FALSE);
    applyGeometry();
    fontChanged();
  }

 protected:
  // Applies the layout's common properties; called once the control is made.
  void initialise(HWND hwnd) {
    hwnd_ = hwnd;
    if (hwnd_) {
      SendMessageW(hwnd_, WM_SETFONT, reinterpret_cast<WPARAM>(drawnFont().handle), FALSE);
      EnableWindow(hwnd_, enabled_ ? TRUE : FALSE);
      const bool checkBox = layout_.kind == ControlKind::CheckBox;
      if (checkBox || !layout_.accessibleName.empty()) {
        makeAccessible(hwnd_, layout_.accessibleName, checkBox);
      }
    }
    if (!layout_.toolTip.empty()) addToolTip(context_.window, *this, layout_.toolTip);
    applyGeometry();
    applyVisibility();
  }

  virtual void enabledChanged() {}
  // After a dpi change, once the control has its new font and place.
  virtual void fontChanged() {}
  const ControlContext& context() const { return context_; }
  Form* form() const { return formOf(context_.window); }
  const DrawnFont& drawnFont() const { return fontsOf(context_.window).get(font_); }

  void invalidate() {
    if (hwnd_) {
      InvalidateRect(hwnd_, nullptr, TRUE);
    } else if (context_.container && context_.container->hwnd) {
      const RECT r = pixelRect();
      InvalidateRect(context_.container->hwnd, &r, TRUE);
    }
  }

 private:
  void applyVisibility() {
    if (hwnd_) {
      ShowWindow(hwnd_, shown() ? SW_SHOWNA : SW_HIDE);
    } else {
      invalidate();
    }
    if (!layout_.toolTip.empty()) updateToolTip(context_.window, *this);
  }
  void applyGeometry() {
    if (hwnd_) {
      const RECT r = pixelRect();
      SetWindowPos(hwnd_, nullptr, r.left, r.top, r.right - r.left, r.bottom - r.top,
                   SWP_NOZORDER | SWP_NOACTIVATE);
    } else {
      invalidate();
    }
    if (!layout_.toolTip.empty()) updateToolTip(context_.window, *this);
  }

  ControlLayout layout_;
  ControlContext context_;
  HWND hwnd_ = nullptr;
  Font font_;
  bool visible_;
  bool enabled_;
  bool pageActive_ = true;
  Twips left_, top_, width_, height_;
};

}  // namespace toolkit::win32
