#pragma once

#include <QPointer>
#include <QWidget>
#include <memory>

#include "toolkit/controls.h"
#include "toolkit/error.h"
#include "toolkit/qt/qt_convert.h"

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
};

// Common part of every Qt control: the spec's values, the control's own
// visibility flag (a tab page hides its members without touching it) and
// geometry kept in twips, so what the logic sets is what it reads back.
template <class Interface>
class QtControl : public Interface {
 public:
  QtControl(const ControlSpec& spec, QWidget* widget, ControlContext context)
      : spec_(spec),
        widget_(widget),
        context_(std::move(context)),
        font_(spec.font.value_or(context_.windowFont)),
        visible_(spec.visible),
        enabled_(spec.enabled),
        left_(spec.left),
        top_(spec.top),
        width_(spec.width),
        height_(spec.height) {}

  ControlKind kind() const override { return spec_.kind; }
  const std::string& name() const override { return spec_.name; }
  int index() const override { return spec_.index; }

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

  int tabIndex() const override { return spec_.tabIndex; }
  std::string toolTip() const override { return spec_.toolTip; }
  Font font() const override { return font_; }
  Colour foreColour() const override {
    return spec_.foreColour.value_or(system_colour::kWindowText);
  }
  Colour backColour() const override {
    return spec_.backColour.value_or(system_colour::kButtonFace);
  }

  // Set by a tab control for the members of its pages.
  void setPageActive(bool active) {
    pageActive_ = active;
    applyVisibility();
  }

  QWidget* widget() const { return widget_; }
  const ControlSpec& spec() const { return spec_; }

  // Applies the spec's common widget properties; called once after creation.
  void initialise() {
    if (!widget_) return;
    // Tests and tools find a control's widget by its name: "WAN", "lblYourOnline(1)".
    widget_->setObjectName(QString::fromStdString(
        spec_.index >= 0 ? spec_.name + "(" + std::to_string(spec_.index) + ")" : spec_.name));
    widget_->setFont(toQFont(font_));
    if (!spec_.toolTip.empty()) widget_->setToolTip(QString::fromStdString(spec_.toolTip));
    if (spec_.pointer == MousePointer::Hand) widget_->setCursor(handCursor());
    widget_->setEnabled(enabled_);
    applyGeometry();
    applyVisibility();
  }

 protected:
  virtual void enabledChanged() {}
  const ControlContext& context() const { return context_; }
  Form* form() const { return context_.link->form; }
  static QCursor handCursor();

 private:
  void applyVisibility() {
    if (widget_) widget_->setVisible(visible_ && pageActive_);
  }
  void applyGeometry() {
    if (widget_)
      widget_->setGeometry(toPixels(left_, top_, width_, height_).translated(context_.origin));
  }

  ControlSpec spec_;
  QPointer<QWidget> widget_;
  ControlContext context_;
  Font font_;
  bool visible_;
  bool enabled_;
  bool pageActive_ = true;
  Twips left_, top_, width_, height_;
};

// The pointing hand: the bundled cursor picture when there is one.
QCursor loadHandCursor();

template <class Interface>
QCursor QtControl<Interface>::handCursor() {
  return loadHandCursor();
}

}  // namespace toolkit::qt
