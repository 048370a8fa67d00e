#pragma once

// The Win32 side of every control. Its state (layout values, flags, twips
// geometry) is the toolkit's (control_state.h); here it gets a child window or
// is drawn by its container, and the hooks its window calls for messages.

#include <windows.h>

#include <algorithm>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "basics/error.h"
#include "toolkit/accessible_text.h"
#include "toolkit/control_state.h"
#include "toolkit/controls.h"
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
// members (labels, images) and passes its children's messages on. Screen
// readers find the windowless members as parts of its accessible object, and
// a windowless link holds the keyboard focus through it (win32_container.cpp).
struct Container : AccessibleSource {
  Win32Window* window = nullptr;
  HWND hwnd = nullptr;
  POINT origin{0, 0};  // where a member's (0, 0) lies in the client area, in pixels
  Colour fill = 0;     // a system colour is looked up as it is drawn
  std::unique_ptr<ScaledPicture> picture;  // drawn from the client area's corner
  std::vector<ControlHooks*> members;      // front to back
  ControlHooks* pressed = nullptr;         // windowless member the mouse went down on
  ControlHooks* focused = nullptr;         // windowless member the keyboard is on
  ControlHooks* owner = nullptr;           // the picture box whose window it is, if any

  // The windowless members, as parts of the accessible object, front to back.
  std::vector<ControlHooks*> parts() const;
  // Which part a member is, if it is one.
  std::optional<std::size_t> partOf(const ControlHooks* member) const;
  // Whether the keyboard is on this windowless member now.
  bool hasFocusOn(const ControlHooks* member) const;

  // AccessibleSource
  std::optional<AccessibleFacts> selfFacts() const override;
  std::size_t partCount() const override;
  AccessibleFacts partFacts(std::size_t part) const override;
  bool partShown(std::size_t part) const override;
  bool partFocused(std::size_t part) const override;
  RECT partRect(std::size_t part) const override;
  void pressPart(std::size_t part) override;
  void focusPart(std::size_t part) override;
};

// Posted to a container to press its part wParam, once the asking call has returned.
constexpr UINT kPressPartMessage = WM_APP + 0x50;

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
  // What a screen reader is told of the control now.
  virtual AccessibleFacts accessibleFacts() const = 0;
  // The colours and font changed under the control (a theme change): drop what
  // was made from the old ones.
  virtual void coloursChanged() {}

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
// A control has come into sight: the focus a reload gives back may be waiting for it.
void controlShown(Win32Window* window, ControlHooks& control);
// Has screen readers say `text` for the window `hwnd`, wherever the focus is
// (win32_announce.cpp).
void announce(HWND hwnd, const std::string& text);
int dpiOf(Win32Window* window);
FontCache& fontsOf(Win32Window* window);
void addToolTip(Win32Window* window, ControlHooks& control, const std::string& text);
void updateToolTip(Win32Window* window, ControlHooks& control);
void setToolTipText(Win32Window* window, ControlHooks& control, const std::string& text);
void removeToolTip(Win32Window* window, ControlHooks& control);
HWND createChild(const ControlContext& context, const wchar_t* windowClass, DWORD style,
                 DWORD exStyle, const std::wstring& text);

// The Win32 side of every control: the state (layout values, flags, twips
// geometry) lives in toolkit/control_state.h; this template gives it a child
// window, or none for a control its container draws, and draws what the state
// holds. `State` is ControlState<Interface> or one of control_values.h.
template <class Interface, class State = ControlState<Interface>>
class Win32Control : public State, public ControlHooks, public AccessibleSource {
 public:
  Win32Control(const ControlLayout& layout, ControlContext context)
      : State(layout, context.windowFont), context_(context) {}
  ~Win32Control() override { exposeWindow(hwnd_, nullptr, false); }

  // AccessibleSource: a control window speaks for itself.
  std::optional<AccessibleFacts> selfFacts() const override { return accessibleFacts(); }
  // A press by a screen reader is a click, made once the asking call has returned.
  void press() override {
    if (hwnd_) PostMessageW(hwnd_, BM_CLICK, 0, 0);
  }

  // ControlHooks
  const ControlLayout& controlLayout() const override { return this->layout(); }
  HWND hwnd() const override { return hwnd_; }
  Container* home() const override { return context_.container; }
  bool shown() const override { return State::shown(); }
  bool isEnabled() const override { return this->enabled(); }
  RECT pixelRect() const override {
    RECT r = toPixelRect(this->left(), this->top(), this->width(), this->height(),
                         dpiOf(context_.window));
    const POINT origin = context_.container ? context_.container->origin : POINT{0, 0};
    OffsetRect(&r, origin.x, origin.y);
    return r;
  }
  void setPageActive(bool active) override { State::setPageActive(active); }
  AccessibleFacts accessibleFacts() const override {
    return basicFacts(this->layout(), shownCaption(), this->accessibleDescription(),
                      this->accessibleValue());
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
      EnableWindow(hwnd_, this->enabled() ? TRUE : FALSE);
      exposeWindow(hwnd_, this, true);
    }
    made_ = true;
    applyToolTip();
    applyGeometry();
    applyVisibility();
  }

  // After a dpi change, once the control has its new font and place.
  virtual void fontChanged() {}
  // The caption a screen reader hears, for the kinds that have one.
  std::string shownCaption() const {
    if constexpr (requires(const State& s) { s.caption(); }) {
      return this->caption();
    } else {
      return {};
    }
  }
  // Tells screen readers a windowless control changed; `event` an EVENT_OBJECT_ value.
  void notifyPart(DWORD event) {
    if (!context_.container) return;
    if (const auto part = context_.container->partOf(this)) {
      NotifyWinEvent(event, context_.container->hwnd, OBJID_CLIENT, partChildId(*part));
    }
  }
  const ControlContext& context() const { return context_; }
  Form* form() const { return formOf(context_.window); }
  const DrawnFont& drawnFont() const { return fontsOf(context_.window).get(this->font()); }

  void invalidate() {
    if (hwnd_) {
      InvalidateRect(hwnd_, nullptr, TRUE);
    } else if (context_.container && context_.container->hwnd) {
      const RECT r = pixelRect();
      InvalidateRect(context_.container->hwnd, &r, TRUE);
    }
  }

  void applyVisibility() override {
    if (hwnd_) {
      ShowWindow(hwnd_, shown() ? SW_SHOWNA : SW_HIDE);
    } else {
      invalidate();
      if (windowless()) notifyPart(shown() ? EVENT_OBJECT_SHOW : EVENT_OBJECT_HIDE);
    }
    if (hasTip_) updateToolTip(context_.window, *this);
    if (shown()) controlShown(context_.window, *this);
  }
  void applyAccessibleText() override {
    if (hwnd_) {
      NotifyWinEvent(EVENT_OBJECT_DESCRIPTIONCHANGE, hwnd_, OBJID_CLIENT, CHILDID_SELF);
      NotifyWinEvent(EVENT_OBJECT_VALUECHANGE, hwnd_, OBJID_CLIENT, CHILDID_SELF);
    } else if (windowless()) {
      notifyPart(EVENT_OBJECT_DESCRIPTIONCHANGE);
    }
  }
  void raiseAnnouncement() override {
    announce(hwnd_ ? hwnd_ : (context_.container ? context_.container->hwnd : nullptr),
             announcementOf(accessibleFacts()));
  }
  // The tip is the control's tool in the window's tip control: added with the
  // first text, its text replaced after, taken away with an empty one.
  void applyToolTip() override {
    if (!made_) return;  // initialise() adds it
    const std::string text = this->toolTip();
    if (text.empty()) {
      if (hasTip_) removeToolTip(context_.window, *this);
      hasTip_ = false;
    } else if (hasTip_) {
      setToolTipText(context_.window, *this, text);
    } else {
      addToolTip(context_.window, *this, text);
      hasTip_ = true;
    }
  }
  void applyEnabled() override {
    if (hwnd_) EnableWindow(hwnd_, this->enabled() ? TRUE : FALSE);
    if (windowless()) invalidate();
  }
  void geometryChanging() override {
    if (windowless()) invalidate();  // where it stood
  }
  void applyGeometry() override {
    if (hwnd_) {
      const RECT r = pixelRect();
      SetWindowPos(hwnd_, nullptr, r.left, r.top, r.right - r.left, r.bottom - r.top,
                   SWP_NOZORDER | SWP_NOACTIVATE);
    } else {
      invalidate();
    }
    if (hasTip_) updateToolTip(context_.window, *this);
  }

 private:
  ControlContext context_;
  HWND hwnd_ = nullptr;
  bool made_ = false;    // initialise() has run
  bool hasTip_ = false;  // the control has a tool in the window's tip control
};

}  // namespace toolkit::win32
