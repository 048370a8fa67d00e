#pragma once

// The Qt side of every control: the state (layout values, flags, twips
// geometry) lives in toolkit/control_state.h; this template gives it a widget
// and draws what the state holds: visibility, enabled, geometry in pixels, and
// the layout's font, tool tip, accessible name and pointer once at creation.

#include <QPointer>
#include <QWidget>
#include <memory>

#include "toolkit/control_state.h"
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

// `State` is the toolkit's state for the kind (ControlState<Interface> or one
// of control_values.h); a control that is not drawn has no widget.
template <class Interface, class State = ControlState<Interface>>
class QtControl : public State {
 public:
  QtControl(const ControlLayout& layout, QWidget* widget, ControlContext context)
      : State(layout, context.windowFont), widget_(widget), context_(std::move(context)) {}

  QWidget* widget() const { return widget_; }

  // Applies the layout's common widget properties; called once after creation.
  void initialise() {
    if (!widget_) return;
    const ControlLayout& layout = this->layout();
    // Tests and tools find a control's widget by its name: "WAN", "lblYourOnline(1)".
    widget_->setObjectName(QString::fromStdString(
        layout.index >= 0 ? layout.name + "(" + std::to_string(layout.index) + ")" : layout.name));
    widget_->setFont(toQFont(this->font(), context_.resources.fontStandIns));
    if (!layout.toolTip.empty()) widget_->setToolTip(QString::fromStdString(layout.toolTip));
    if (!layout.accessibleName.empty()) {
      widget_->setAccessibleName(QString::fromStdString(layout.accessibleName));
    }
    if (layout.pointer == MousePointer::Hand) {
      widget_->setCursor(loadHandCursor(context_.resources.handPointer));
    }
    applyEnabled();
    applyGeometry();
    applyVisibility();
  }

 protected:
  const ControlContext& context() const { return context_; }
  Form* form() const { return context_.link->form; }

  void applyVisibility() override {
    if (widget_) widget_->setVisible(this->shown());
  }
  void applyEnabled() override {
    if (widget_) widget_->setEnabled(this->enabled());
  }
  void applyGeometry() override {
    if (widget_) {
      widget_->setGeometry(toPixels(this->left(), this->top(), this->width(), this->height())
                               .translated(context_.origin));
    }
  }

 private:
  QPointer<QWidget> widget_;
  ControlContext context_;
};

}  // namespace toolkit::qt
