#pragma once

// What every control keeps, whatever draws it. The state lives here once: the
// layout's values, the control's own visibility flag (a tab page hides its
// members without touching it), its enabled flag and its geometry in twips, so
// what the logic sets is what it reads back. A backend derives from this (or
// from one of the kinds' states in control_values.h), draws the control and takes
// its events: it only implements the apply… hooks, which run after the state
// has changed, to bring the drawn control in line with it.

#include <algorithm>
#include <string>

#include "toolkit/accessible_text.h"
#include "toolkit/controls.h"

namespace toolkit {

template <class Interface>
class ControlState : public Interface {
 public:
  ControlState(const ControlLayout& layout, const Font& windowFont)
      : layout_(layout),
        font_(layout.font.value_or(windowFont)),
        visible_(layout.visible),
        enabled_(layout.enabled),
        left_(layout.left),
        top_(layout.top),
        width_(layout.width),
        height_(layout.height),
        toolTip_(layout.toolTip),
        description_(accessibleDescriptionOf(layout)) {}

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
    applyEnabled();
    enabledChanged();
  }

  Twips left() const override { return left_; }
  Twips top() const override { return top_; }
  Twips width() const override { return width_; }
  Twips height() const override { return height_; }
  void move(Twips left, Twips top, Twips width, Twips height) override {
    geometryChanging();
    left_ = left;
    top_ = top;
    width_ = std::max<Twips>(0, width);
    height_ = std::max<Twips>(0, height);
    applyGeometry();
  }

  int tabIndex() const override { return layout_.tabIndex; }
  std::string toolTip() const override { return toolTip_; }
  void setToolTip(const std::string& text) override {
    toolTip_ = text;
    applyToolTip();
  }
  Font font() const override { return font_; }
  Colour foreColour() const override {
    return layout_.foreColour.value_or(system_colour::kWindowText);
  }
  Colour backColour() const override {
    return layout_.backColour.value_or(system_colour::kButtonFace);
  }

  std::string accessibleValue() const override { return value_; }
  void setAccessibleValue(const std::string& value) override {
    value_ = value;
    applyAccessibleText();
  }
  std::string accessibleDescription() const override { return description_; }
  void setAccessibleDescription(const std::string& text) override {
    description_ = text;
    applyAccessibleText();
  }
  void announce() override { raiseAnnouncement(); }

  // Set by a tab control for the members of its pages.
  void setPageActive(bool active) {
    pageActive_ = active;
    applyVisibility();
  }
  // Its own flag, and its page when it is on a tab control.
  bool shown() const { return visible_ && pageActive_; }
  const ControlLayout& layout() const { return layout_; }

 protected:
  // Drawing hooks: the state has already changed when they run.
  virtual void applyVisibility() {}
  virtual void applyEnabled() {}
  virtual void applyGeometry() {}
  // Before the geometry changes, for a control whose container draws it.
  virtual void geometryChanging() {}
  // What a kind of control does when it is enabled or disabled (a timer ticks).
  virtual void enabledChanged() {}
  // The tip shown when the pointer rests on the control has changed.
  virtual void applyToolTip() {}
  // The value or description a screen reader reads has changed.
  virtual void applyAccessibleText() {}
  // Tells screen readers to say the control now.
  virtual void raiseAnnouncement() {}

 private:
  ControlLayout layout_;
  Font font_;
  bool visible_;
  bool enabled_;
  bool pageActive_ = true;
  Twips left_, top_, width_, height_;
  std::string toolTip_;
  std::string value_;
  std::string description_;
};

}  // namespace toolkit
