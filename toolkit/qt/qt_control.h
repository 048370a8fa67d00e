#pragma once

#include <QPointer>
#include <QWidget>
#include <memory>

#include "toolkit/controls.h"
#include "toolkit/error.h"
#include "toolkit/qt/qt_convert.h"
#include "toolkit/resources.h"

namespace toolkit {
class Form;
}

namespace toolkit::qt {

// Connects a window's widgets to its form. Cleared when the window is
// unloaded, so that an event a dying widget still delivers goes nowhere.
struct EventLink {
  Form* form = nullptr;
};

// What every control's backend needs to know about its surroundings.
struct ControlContext {
  std::shared_ptr<EventLink> link;
  Font windowFont;
  QPoint origin;  // the container's client origin inside its widget, in pixels
  Resources resources;
};

// Common part of every Qt control: the layout's values, the control's own
// visibility flag (a tab page hides its members without touching it) and
// geometry kept in twips, so what the logic sets is what it reads back.
template <class Interface>
class QtControl : public Interface {
 public:
  QtControl(const ControlLayout& layout, QWidget* widget, ControlContext context)
      : layout_(layout),
        widget_(widget),
        context_(std::move(context)),
        font_(layout.font.value_or(context_.windowFont)),
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
    if (widget_) widget_->setEnabled(enabled);
    enabledChanged();
  }

  Twips left() const override { return left_; }
  Twips top() const override { return top_; }
  Twips width() const override { return width_; }
  Twips height() const override { return height_; }
  void move(Twips left, Twips top, Twips width, Twips height) override {
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

  // Set by a tab control for the members of its pages.
  void setPageActive(bool active) {
    pageActive_ = active;
    applyVisibility();
  }

  QWidget* widget() const { return widget_; }
  const ControlLayout& layout() const { return layout_; }

  // Applies the layout's common widget properties; called once after creation.
  void initialise() {
    if (!widget_) return;
    // Tests and tools find a control's widget by its name: "WAN", "lblYourOnline(1)".
    widget_->setObjectName(QString::fromStdString(
        layout_.index >= 0 ? layout_.name + "(" + std::to_string(layout_.index) + ")"
                           : layout_.name));
    widget_->setFont(toQFont(font_, context_.resources.fontStandIns));
    if (!layout_.toolTip.empty()) widget_->setToolTip(QString::fromStdString(layout_.toolTip));
    if (!layout_.accessibleName.empty()) {
      widget_->setAccessibleName(QString::fromStdString(layout_.accessibleName));
    }
    if (layout_.pointer == MousePointer::Hand) {
      widget_->setCursor(loadHandCursor(context_.resources.handPointer));
    }
    widget_->setEnabled(enabled_);
    applyGeometry();
    applyVisibility();
  }

 protected:
  virtual void enabledChanged() {}
  const ControlContext& context() const { return context_; }
  Form* form() const { return context_.link->form; }

 private:
  void applyVisibility() {
    if (widget_) widget_->setVisible(visible_ && pageActive_);
  }
  void applyGeometry() {
    if (widget_)
      widget_->setGeometry(toPixels(left_, top_, width_, height_).translated(context_.origin));
  }

  ControlLayout layout_;
  QPointer<QWidget> widget_;
  ControlContext context_;
  Font font_;
  bool visible_;
  bool enabled_;
  bool pageActive_ = true;
  Twips left_, top_, width_, height_;
};

}  // namespace toolkit::qt
